// quilor-render: one view of a real analysis into a PNG.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <QColor>
#include <QImage>

#include <cstdio>
#include <string>

#include "support/stream_support.h"

namespace quilor {
namespace {

using namespace testing_support;

int RunRender(const std::string& args, const std::string& errPath) {
  const std::string command = "XDG_CONFIG_HOME=" + errPath + ".config " + std::string(QUILOR_BINARY_DIR) +
                              "/tools/quilor-render --dico " + std::string(QUILOR_BINARY_DIR) + "/Dico " + args +
                              " 2>" + errPath;
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// How many pixels differ from the top-left one (the background).
int DrawnPixels(const QImage& image) {
  int drawn = 0;
  const QRgb background = image.pixel(0, 0);
  for (int y = 0; y < image.height(); y += 2)
    for (int x = 0; x < image.width(); x += 2) drawn += image.pixel(x, y) != background;
  return drawn;
}

TEST(QuilorRender, DrawsEachGraphOfTheSampleAtTheAskedSize) {
  TempFolder folder;
  const std::string sample = std::string(QUILOR_SOURCE_DIR) + "/samples/sample.txt";
  for (const char* view : {"text", "star", "area", "actors", "distribution"}) {
    const std::string png = folder.Path(std::string(view) + ".png");
    ASSERT_EQ(RunRender(std::string("--view ") + view + " --size 400x300 -o " + png + " " + sample, folder.Path("err")),
              0)
        << view << ": " << ReadFileBytes(folder.Path("err"));
    QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull()) << view;
    EXPECT_EQ(image.size(), QSize(400, 300));
    EXPECT_GT(DrawnPixels(image), 200) << view;
  }
}

TEST(QuilorRender, RefusesUnknownViewsUnknownClassesAndBadSizes) {
  TempFolder folder;
  const std::string sample = std::string(QUILOR_SOURCE_DIR) + "/samples/sample.txt";
  const std::string err = folder.Path("err");
  EXPECT_EQ(RunRender("--view star --select no-such-class -o " + folder.Path("s.png") + " " + sample, err), 64);
  EXPECT_NE(ReadFileBytes(err).find("no-such-class"), std::string::npos);
  EXPECT_EQ(RunRender("--view star --size 0x10 -o " + folder.Path("s.png") + " " + sample, err), 64);
  EXPECT_EQ(RunRender("--view star -o " + folder.Path("s.png") + " " + folder.Path("missing.txt"), err), 66);
  EXPECT_EQ(RunRender("--view pie -o " + folder.Path("s.png") + " " + sample, err), 64);
  // The help tells both uses, the print among them.
  EXPECT_EQ(RunRender("--help", err), 0);
  EXPECT_NE(ReadFileBytes(err).find("--print-pdf OUT.pdf [--sections LIST]"), std::string::npos) << ReadFileBytes(err);
  EXPECT_NE(ReadFileBytes(err).find("--view text|star"), std::string::npos);
}

TEST(QuilorRender, PrintsTheChosenSectionsToPdf) {
  TempFolder folder;
  const std::string sample = std::string(QUILOR_SOURCE_DIR) + "/samples/sample.txt";
  const std::string err = folder.Path("err");
  const std::string pdf = folder.Path("out.pdf");
  ASSERT_EQ(RunRender("--print-pdf " + pdf + " --sections level1,graph " + sample, err), 0) << ReadFileBytes(err);
  const std::string bytes = ReadFileBytes(pdf);
  EXPECT_EQ(bytes.rfind("%PDF", 0), 0u);
  EXPECT_EQ(RunRender("--print-pdf " + folder.Path("x.pdf") + " --sections nothing " + sample, err), 64);
  EXPECT_EQ(RunRender("--view star --sections text -o " + folder.Path("s.png") + " " + sample, err), 64);
  EXPECT_EQ(RunRender("--print-pdf " + folder.Path("no/such/x.pdf") + " " + sample, err), 73);
  EXPECT_NE(ReadFileBytes(err).find("The print could not be started on: " + folder.Path("no/such/x.pdf")),
            std::string::npos)
      << ReadFileBytes(err);
}

}  // namespace
}  // namespace quilor
