// The "Print" dialog: ticks from and into the options, nothing ticked prints nothing.
#include "mainwindow/print_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QListWidget>
#include <QPrinter>

#include "core/options.h"
#include "ui/desktop_qt.h"
#include "mainwindow/analysis_session.h"
#include "ui_support/engine_session.h"

namespace quilor::ui {
namespace {

TEST(PrintDialog, TicksComeFromTheOptionsAndPrintStoresThem) {
  testing_support::EngineSession session;
  ASSERT_TRUE(session.Started());
  for (size_t i = 0; i < kPrintItemCount; ++i) Options->Set(opt::PrintSwitch(i), i == kPrintGraph ? 1 : 0);
  Options->Set(opt::PrintInColour, 1);
  TFormParamImpression dialog;
  ASSERT_EQ(dialog.List()->count(), kPrintItemCount);
  EXPECT_EQ(dialog.List()->item(kPrintText)->text(), "Text");
  EXPECT_EQ(dialog.List()->item(kPrintAdjectives)->text(), "Adjectives");
  EXPECT_TRUE(dialog.Flags()[kPrintGraph]);
  EXPECT_FALSE(dialog.Flags()[kPrintText]);
  EXPECT_TRUE(dialog.Colours()->isChecked());
  // Nothing ticked: no job, the choices stored, the dialog closed.
  dialog.SetFlags({});
  dialog.Colours()->setChecked(false);
  dialog.Printer().setOutputFormat(QPrinter::PdfFormat);
  dialog.Printer().setOutputFileName(QString::fromStdString(session.Folder() + "/never.pdf"));
  const TPrintOutcome outcome = dialog.ButtonOkClick();
  EXPECT_TRUE(outcome.ok);
  EXPECT_TRUE(outcome.printed.empty());
  EXPECT_EQ(Options->Get(opt::PrintSwitch(kPrintGraph)), 0);
  EXPECT_EQ(Options->Get(opt::PrintInColour), 0);
  EXPECT_EQ(WorkContext->PrintInColour, 0);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(PrintRunning);
}

// The font dialog opens on the print font as it is, in its plain style: a
// chosen size must not turn every page italic.
TEST(PrintDialog, TheFontDialogOpensOnThePlainStyleOfTheFont) {
  for (const char* family : {"DejaVu Sans", "DejaVu Serif", "Liberation Sans"}) {
    if (!QFontDatabase::families().contains(family)) continue;
    Font font;
    font.name = family;
    font.size = 10;
    QFontDialog plain(DialogFont(font));
    EXPECT_FALSE(plain.currentFont().italic()) << family << ": " << plain.currentFont().styleName().toStdString();
    EXPECT_FALSE(plain.currentFont().bold()) << family;
    EXPECT_EQ(plain.currentFont().pointSize(), 10);
    font.bold = true;
    QFontDialog bold(DialogFont(font));
    EXPECT_TRUE(bold.currentFont().bold()) << family;
    EXPECT_FALSE(bold.currentFont().italic()) << family;
  }
}

}  // namespace
}  // namespace quilor::ui
