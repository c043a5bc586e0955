#include "import/filter_plugin.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "import/conversion_dispatch.h"
#include "platform/message_ui.h"
#include "support/fifo_guard.h"
#include "tests/platform/temp_folder.h"

namespace quilor {
namespace {

using testing::TempFolder;
using testing::WriteWholeFile;

std::string ElfHeader(unsigned char elfClass, unsigned char data, uint16_t type, uint16_t machine) {
  std::string h(64, '\0');
  h[0] = 0x7F, h[1] = 'E', h[2] = 'L', h[3] = 'F';
  h[4] = static_cast<char>(elfClass);
  h[5] = static_cast<char>(data);
  h[6] = 1;
  h[16] = static_cast<char>(type & 0xFF), h[17] = static_cast<char>(type >> 8);
  h[18] = static_cast<char>(machine & 0xFF), h[19] = static_cast<char>(machine >> 8);
  return h;
}

std::string Head(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string h(64, '\0');
  in.read(h.data(), 64);
  h.resize(static_cast<size_t>(in.gcount()));
  return h;
}

TEST(FilterPlugin, OnlySharedObjectsOfThisMachineAreLoaded) {
  const std::string good = Head(QUILOR_TEST_FILTER);
  ASSERT_TRUE(IsLoadableElfHeader(good));
  const uint16_t machine =
      static_cast<uint16_t>(static_cast<unsigned char>(good[18]) | static_cast<unsigned char>(good[19]) << 8);
  EXPECT_TRUE(IsLoadableElfHeader(ElfHeader(2, 1, 3, machine)));
  EXPECT_FALSE(IsLoadableElfHeader(ElfHeader(1, 1, 3, machine)));  // 32-bit
  EXPECT_FALSE(IsLoadableElfHeader(ElfHeader(2, 2, 3, machine)));  // big-endian
  EXPECT_FALSE(IsLoadableElfHeader(ElfHeader(2, 1, 2, machine)));  // a program, not a library
  EXPECT_FALSE(IsLoadableElfHeader(ElfHeader(2, 1, 3, static_cast<uint16_t>(machine + 1))));
  EXPECT_FALSE(IsLoadableElfHeader(good.substr(0, 19)));
  EXPECT_FALSE(IsLoadableElfHeader("MZ\x90\x00 not elf at all, a Windows library"));

  TempFolder dir;
  const std::string fake = dir / "fake.so";
  WriteWholeFile(fake, ElfHeader(1, 1, 3, machine) + std::string(4096, '\0'));
  std::string why;
  EXPECT_EQ(LoadFilterPlugin(ConverterFormat::kPdf, fake, &why), nullptr);
  EXPECT_EQ(why, "not a shared object of this machine");
  // The right header over nothing a loader can map.
  const std::string hollow = dir / "hollow.so";
  WriteWholeFile(hollow, ElfHeader(2, 1, 3, machine) + std::string(4096, '\0'));
  EXPECT_EQ(LoadFilterPlugin(ConverterFormat::kPdf, hollow, &why), nullptr);
  EXPECT_EQ(why, "cannot be loaded");
  EXPECT_EQ(LoadFilterPlugin(ConverterFormat::kPdf, QUILOR_TEST_FILTER_BARE, &why), nullptr);
  EXPECT_EQ(why, "lacks the filter entry points");
  EXPECT_EQ(LoadFilterPlugin(ConverterFormat::kPdf, dir / "none.so", &why), nullptr);
  // A FIFO, a folder or a device named as the library is refused at once.
  const std::string fifo = dir / "fifo.so";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, dir.path(), std::string("/dev/zero")}) {
    why.clear();
    EXPECT_TRUE(quilor::testing::EndsWithoutAWriter(fifo, [&] {
      EXPECT_EQ(LoadFilterPlugin(ConverterFormat::kPdf, path, &why), nullptr);
    })) << path;
    EXPECT_EQ(why, "cannot be read") << path;
  }
}

TEST(FilterPlugin, ChunksBecomeTextAndMisbehaviourIsBounded) {
  auto filter = LoadFilterPlugin(ConverterFormat::kOpenDocumentText, QUILOR_TEST_FILTER);
  ASSERT_NE(filter, nullptr);
  EXPECT_TRUE(filter->Available());
  EXPECT_EQ(filter->LibraryPath(), QUILOR_TEST_FILTER);
  TempFolder dir;
  auto doc = [&](const std::string& name, const std::string& text) {
    WriteWholeFile(dir / name, text);
    return dir / name;
  };
  ASSERT_TRUE(filter->ExtractIFilterText(doc("a.odt", "caf\xC3\xA9 one\ntwo")));
  EXPECT_EQ(filter->Text(), "caf\xE9 one\n two ");

  EXPECT_FALSE(filter->ExtractIFilterText(doc("p.odt", "password\n")));
  EXPECT_EQ(filter->LastError(), FilterError::kPassword);
  EXPECT_EQ(filter->IFilterErrorText(), "Document is password protected.");

  EXPECT_FALSE(filter->ExtractIFilterText(doc("b.odt", "badsize\n")));
  EXPECT_EQ(filter->LastError(), FilterError::kChunking);
  EXPECT_TRUE(filter->Text().empty());

  EXPECT_FALSE(filter->ExtractIFilterText(doc("f.odt", "failing\n")));
  EXPECT_EQ(filter->LastError(), FilterError::kAccess);
  EXPECT_EQ(filter->Text(), "kept ");  // the text read before the failure stays

  // A library that never ends its text stops at the chunk limit, one that
  // gives too much at the text cap.
  EXPECT_FALSE(filter->ExtractIFilterText(doc("e.odt", "endless\n")));
  EXPECT_EQ(filter->LastError(), FilterError::kTooLong);
  EXPECT_EQ(filter->Text().size(), 500000u * 5u);
  EXPECT_FALSE(filter->ExtractIFilterText(doc("h.odt", "huge\n")));
  EXPECT_EQ(filter->LastError(), FilterError::kTooLong);
  EXPECT_EQ(filter->Text().size(), DocumentFilter::kMaxTextBytes);

  EXPECT_FALSE(filter->ExtractIFilterText(dir / "missing.odt"));
  EXPECT_FALSE(filter->ExtractFromMemory("text in memory"));
}

TEST(FilterPlugin, TheUsersLibraryTakesTheFormat) {
  ScopedScriptedUi ui;
  ASSERT_TRUE(EnableOpenDocumentTextFilter(true, QUILOR_TEST_FILTER));
  EXPECT_TRUE(ui.ui.Shown().empty());
  EXPECT_EQ(Converter(ConverterFormat::kOpenDocumentText)->LibraryPath(), QUILOR_TEST_FILTER);
  // Word 97-2003 has no built-in converter: a library gives it one.
  ASSERT_TRUE(EnableOfficeFilter(true, QUILOR_TEST_FILTER));
  // A library without the entry points: message 51, the built-in converter stays.
  ASSERT_TRUE(EnableOpenDocumentTextFilter(true, QUILOR_TEST_FILTER_BARE));
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(ui.ui.Shown()[0].text, std::string("Driver loading failed \"") + QUILOR_TEST_FILTER_BARE + "\"");
  EXPECT_NE(Converter(ConverterFormat::kOpenDocumentText)->LibraryPath(), QUILOR_TEST_FILTER_BARE);
  EXPECT_FALSE(EnableOfficeFilter(true, QUILOR_TEST_FILTER_BARE));
  FreeConverters();
}

}  // namespace
}  // namespace quilor
