#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

#include <cstdlib>
#include <cstring>

#include "core/files.h"
#include "core/messages.h"
#include "core/options.h"
#include "import/conversion_dispatch.h"
#include "ui/desktop.h"
#include "output/analysis_options_dialog.h"
#include "output/analysis_options_logic.h"
#include "output/conversion_filters_dialog.h"
#include "platform/message_ui.h"
#include "platform/settings_store.h"
#include "ui_support/engine_session.h"

namespace quilor::ui {
namespace {

// Saves a picture of the widget when QUILOR_SHOTS names a folder (to look at it).
void Shot(QWidget& widget, const char* name) {
  if (const char* folder = std::getenv("QUILOR_SHOTS")) widget.grab().save(QString(folder) + "/" + name + ".png");
}

std::vector<uint8_t> OptionsImage() { return std::vector<uint8_t>(Options->Data(), Options->Data() + Options->Size()); }

// Types into a number field as the keyboard does, over what it holds.
void Type(NumberBox* box, const char* text) {
  box->selectAll();
  QTest::keyClick(box, Qt::Key_Backspace);
  QTest::keyClicks(box, text);
}

TEST(AnalysisOptions, BadThresholdsAreRefusedNamingTheFieldAndStoreNothing) {
  Options->ResetSettings();
  for (const bool words : {true, false}) {
    for (const char* typed : {"0", "1000", ""}) {
      ScopedScriptedUi ui;
      TOptionsAnalyse dialog;
      dialog.RelationButton(4)->setChecked(true);
      const std::vector<uint8_t> before = OptionsImage();
      Type(words ? dialog.WordsEdit() : dialog.PertinenceEdit(), typed);
      EXPECT_FALSE(dialog.ButtonOkClick()) << typed;
      ASSERT_EQ(ui.ui.Shown().size(), 1u) << typed;
      EXPECT_EQ(ui.ui.Shown()[0].text,
                std::string(words ? "Number of words" : "Pertinence factor") +
                    ": Incorrect value(s). Choose number of words and pertinence between 1 and 999.");
      EXPECT_EQ(OptionsImage(), before) << typed;
    }
  }
  // Letters are not taken; the up-down buttons stay within 1..999.
  TOptionsAnalyse dialog;
  NumberBox* box = dialog.WordsEdit();
  Type(box, "12a");
  EXPECT_EQ(box->text(), "12");
  box->setValue(999);
  box->stepUp();
  EXPECT_EQ(box->value(), 999);
  box->setValue(1);
  box->stepDown();
  EXPECT_EQ(box->value(), 1);
  Type(box, "1000");
  box->stepDown();
  EXPECT_EQ(box->value(), 999);
}

TEST(AnalysisOptions, CancelLeavesTheOptionsAndAcceptStoresThem) {
  Options->ResetSettings();
  const std::vector<uint8_t> before = OptionsImage();
  {
    TOptionsAnalyse dialog;
    Type(dialog.WordsEdit(), "12");
    dialog.RelationButton(2)->setChecked(true);
    EXPECT_TRUE(dialog.Changed());
    dialog.reject();
  }
  EXPECT_EQ(OptionsImage(), before);
  // A stored level outside 1..4 shows References.
  Options->Set(opt::RelationBase, uint16_t{5});
  TOptionsAnalyse dialog;
  Shot(dialog, "analysis_options");
  EXPECT_TRUE(dialog.RelationButton(1)->isChecked());
  EXPECT_FALSE(dialog.Changed());
  Type(dialog.WordsEdit(), "12");
  dialog.RelationButton(2)->setChecked(true);
  dialog.PdfButton()->setChecked(Options->Switch(opt::ConvertPdf));
  EXPECT_TRUE(dialog.ButtonOkClick());
  EXPECT_EQ(Options->Get(opt::ClassMinWords), 12);
  EXPECT_EQ(Options->Get(opt::RelationBase), 2);
}

TEST(AnalysisOptions, TheScenarioQuestionIsAskedOnceAndCancelStoresNothing) {
  Options->ResetSettings();
  WorkContext->ScenarioOnAllCategoriesConfirmed = false;
  ScopedScriptedUi ui;
  TOptionsAnalyse dialog;
  dialog.ScenarioBox()->setChecked(true);
  const std::vector<uint8_t> before = OptionsImage();
  ui.ui.QueueAnswer(3);  // Cancel
  EXPECT_FALSE(dialog.ButtonOkClick());
  EXPECT_FALSE(dialog.ScenarioBox()->isChecked());
  EXPECT_EQ(OptionsImage(), before);
  dialog.ScenarioBox()->setChecked(true);
  ui.ui.QueueAnswer(1);  // Ok
  EXPECT_TRUE(dialog.ButtonOkClick());
  EXPECT_TRUE(Options->Switch(opt::ScenarioOnAllCategories));
  EXPECT_EQ(ui.ui.Shown().size(), 2u);
  TOptionsAnalyse again;
  EXPECT_TRUE(again.ButtonOkClick());
  EXPECT_EQ(ui.ui.Shown().size(), 2u);  // confirmed: not asked again
}

// Every value of the dialog comes from its own option and goes back to it;
// the numbers are taken at both ends of their ranges and refused past them.
TEST(AnalysisOptions, EachValueComesFromItsOptionAndGoesBack) {
  Options->ResetSettings();
  WorkContext->ScenarioOnAllCategoriesConfirmed = true;
  Options->Set(opt::ThresholdKind, uint8_t{0});
  Options->Set(opt::ClassMinWords, uint16_t{37});
  Options->Set(opt::ClassPertinence, uint16_t{250});
  Options->Set(opt::RelationBase, uint16_t{4});
  Options->Set(opt::ScenarioOnAllCategories, uint8_t{1});
  Options->Set(opt::CharacteristicParts, uint16_t{100});
  Options->Set(opt::WordDetailedReading, uint8_t{0});
  Options->Set(opt::ConvertPdf, uint8_t{0});
  AnalysisOptionsValues values = AnalysisOptionsValues::FromOptions();
  EXPECT_FALSE(values.byWords);
  EXPECT_EQ(values.wordsText, "37");
  EXPECT_EQ(values.pertinenceText, "250");
  EXPECT_EQ(values.relationLevel, 4);
  EXPECT_TRUE(values.scenarioOnAllCategories);
  EXPECT_EQ(values.quantity, 100);
  EXPECT_FALSE(values.wordDetailed);
  EXPECT_FALSE(values.convertPdf);
  // Each turned the other way (the numbers at their bounds) and stored.
  values.byWords = true;
  values.wordsText = "999";
  values.pertinenceText = "1";
  values.relationLevel = 1;
  values.scenarioOnAllCategories = false;
  values.quantity = 1;
  values.wordDetailed = true;
  AnalysisOptionsLogic logic;
  ASSERT_EQ(logic.Accept(values), AnalysisOptionsResult::kStored);
  EXPECT_EQ(Options->Get(opt::ThresholdKind), 1);
  EXPECT_EQ(Options->Get(opt::ClassMinWords), 999);
  EXPECT_EQ(Options->Get(opt::ClassPertinence), 1);
  EXPECT_EQ(Options->Get(opt::RelationBase), 1);
  EXPECT_FALSE(Options->Switch(opt::ScenarioOnAllCategories));
  EXPECT_EQ(Options->Get(opt::CharacteristicParts), 1);
  EXPECT_EQ(Options->Get(opt::WordDetailedReading), 1);
  EXPECT_FALSE(Options->Switch(opt::ConvertPdf));
  const AnalysisOptionsValues back = AnalysisOptionsValues::FromOptions();
  EXPECT_TRUE(back.byWords);
  EXPECT_EQ(back.wordsText, "999");
  EXPECT_EQ(back.quantity, 1);
  EXPECT_TRUE(back.wordDetailed);
  // Out of their ranges: the parts are brought back into 1..100, the level shows References.
  Options->Set(opt::CharacteristicParts, uint16_t{0});
  Options->Set(opt::RelationBase, uint16_t{0});
  EXPECT_EQ(AnalysisOptionsValues::FromOptions().quantity, 1);
  EXPECT_EQ(AnalysisOptionsValues::FromOptions().relationLevel, 1);
  Options->Set(opt::CharacteristicParts, uint16_t{101});
  EXPECT_EQ(AnalysisOptionsValues::FromOptions().quantity, 100);

  // The number fields: digits only, 1..999, at most five of them.
  struct Field {
    const char* text;
    bool taken;
    int value;
  };
  for (const Field& f : {Field{"1", true, 1}, Field{"999", true, 999}, Field{"00007", true, 7}, Field{"0", false, 0},
                         Field{"1000", false, 0}, Field{"000007", false, 0}, Field{"7 ", false, 0},
                         Field{"-7", false, 0}, Field{"", false, 0}}) {
    int value = -1;
    EXPECT_EQ(ParseNumberField(f.text, 1, 999, value), f.taken) << f.text;
    EXPECT_EQ(value, f.taken ? f.value : -1) << f.text;
  }
  EXPECT_EQ(NumberRangeText(3, 42), "Type a number from 3 to 42.");
  Options->ResetSettings();
}

// Without a PDF converter, asking for PDF conversion says why it cannot be
// had and leaves it off; with one, it goes on.
TEST(AnalysisOptions, PdfConversionGoesOnOnlyWithAConverter) {
  Options->ResetSettings();
  Options->Set(opt::ConvertPdf, uint8_t{0});
  auto& slot = Converters.filters[static_cast<size_t>(ConverterFormat::kPdf)];
  std::unique_ptr<DocumentFilter> saved = std::move(slot);
  {
    ScopedScriptedUi ui;
    EXPECT_FALSE(AnalysisOptionsLogic::PdfAvailable());
    ASSERT_EQ(ui.ui.Shown().size(), 1u);
    EXPECT_EQ(ui.ui.Shown()[0].text.rfind(GetMessageText(51), 0), 0u) << ui.ui.Shown()[0].text;
    TOptionsAnalyse dialog;
    dialog.PdfButton()->click();
    EXPECT_FALSE(dialog.PdfButton()->isChecked());
    EXPECT_EQ(ui.ui.Shown().size(), 2u);
  }
  ASSERT_TRUE(EnablePdfFilter(false, ""));  // the built-in converter
  {
    ScopedScriptedUi ui;
    EXPECT_TRUE(AnalysisOptionsLogic::PdfAvailable());
    TOptionsAnalyse dialog;
    dialog.PdfButton()->click();
    EXPECT_TRUE(dialog.PdfButton()->isChecked());
    EXPECT_TRUE(dialog.ButtonOkClick());
    EXPECT_TRUE(Options->Switch(opt::ConvertPdf));
    EXPECT_TRUE(ui.ui.Shown().empty());
  }
  slot = std::move(saved);
  Options->ResetSettings();
}

TEST(ConversionFilters, AnUnusableLibraryFailsAndCancelPutsTheOldOneBack) {
  testing_support::EngineSession session;
  ASSERT_TRUE(session.Started());
  const std::string before = Converter(ConverterFormat::kPdf)->LibraryPath();
  const std::string text = session.Write("notes.txt", "not a library\n");
  ScopedScriptedDesktop desktop;
  {
    TOptionsDesFiltresDeConversion dialog;
    dialog.Filters()->setCurrentRow(0);
    desktop.desktop.openAnswers.push_back({text});
    dialog.ButtonLocaliserDLLClick();
    EXPECT_EQ(dialog.Status()->text().toStdString(), GetMessageText(51));
    EXPECT_NE(Converter(ConverterFormat::kPdf)->LibraryPath(), text);
    dialog.reject();
  }
  EXPECT_EQ(Converter(ConverterFormat::kPdf)->LibraryPath(), before);
  // A failed choice then OK: the built-in converter stays, and so does PDF conversion.
  Options->Set(opt::ConvertPdf, uint8_t{1});
  {
    TOptionsDesFiltresDeConversion dialog;
    dialog.Filters()->setCurrentRow(0);
    desktop.desktop.openAnswers.push_back({text});
    dialog.ButtonLocaliserDLLClick();
    dialog.accept();
  }
  EXPECT_TRUE(Options->Switch(opt::ConvertPdf));
  EXPECT_EQ(Converter(ConverterFormat::kPdf)->LibraryPath(), before);
  EXPECT_TRUE(Converters.libraries[0].empty());
  // Restore and OK on any row: the built-in converter, and the library the
  // user had named for it leaves the settings.
  for (int row = 0; row < kConverterCount; ++row) {
    SCOPED_TRACE(row);
    ASSERT_TRUE(WriteConverterChoice(static_cast<ConverterFormat>(row), "/nonexistent/filter.so"));
    TOptionsDesFiltresDeConversion dialog;
    dialog.Filters()->setCurrentRow(row);
    dialog.ButtonValeurParDefautClick();
    dialog.accept();
    EXPECT_TRUE(Converters.libraries[row].empty());
    std::string stored;
    ReadSetting(ConversionFiltersKey(), kConverterExtensions[row], stored);
    EXPECT_EQ(stored, "");
  }
  EXPECT_TRUE(Converter(ConverterFormat::kPdf)->Available());
  // Settings that cannot be written: OK says so.
  SetSettingsFilePath("/dev/null/Quilor/settings.ini");
  {
    ScopedScriptedUi ui;
    TOptionsDesFiltresDeConversion dialog;
    dialog.Filters()->setCurrentRow(0);
    dialog.ButtonValeurParDefautClick();
    dialog.accept();
    ASSERT_EQ(ui.ui.Shown().size(), 1u);
    EXPECT_EQ(ui.ui.Shown()[0].text, GetMessageText(5805));
  }
  SetSettingsFilePath(session.Folder() + "/config/Quilor/settings.ini");
  // The grid copies as text.
  TOptionsDesFiltresDeConversion copy;
  Shot(copy, "conversion_filters");
  copy.CopyGrid();
  EXPECT_EQ(desktop.desktop.clipboard.rfind("DLL\t", 0), 0u);
}

}  // namespace
}  // namespace quilor::ui
