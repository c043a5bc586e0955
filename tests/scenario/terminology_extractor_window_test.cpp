#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QLabel>
#include <QTextBrowser>
#include <QImage>
#include <QPainter>
#include <QStyleOptionViewItem>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "../mainwindow/main_window_fixture.h"
#include "engine/word_list.h"
#include "app/install_windows_qt.h"
#include "ui/main_window_port.h"
#include "ui/texts_qt.h"
#include "ui/view_state.h"
#include "ui/scenario_editor_port.h"
#include "scenario/terminology_extractor_window.h"

namespace quilor::ui {
namespace {

QAction* PopupAction(TerminologyWindow& window, const char* name) {
  for (QAction* a : window.PopupMenu1()->actions())
    if (a->objectName() == QLatin1String(name)) return a;
  return nullptr;
}

TEST(TerminologyWindowView, ShowsTheLinesAndForwardsTheControls) {
  TOptionsRecord options;
  TOptionsRecord* saved = Options;
  Options = &options;
  {
    TWordList words;
    TWordCategoryData noun;
    noun.Category.MajorClass = kClassSubstantive;
    noun.ClassIds[0] = 3;
    TWordCategoryData verb;
    verb.Category.MajorClass = kClassVerb;
    int32_t position = 0;
    for (int i = 0; i < 3; ++i)
      for (const char* w : {"cat", "food", "runs", "dog", "runs", "Cats", "runs"}) {
        const bool isVerb = w[0] == 'r';
        words.Append(w, " ", 0, 1, ++position, isVerb ? &verb : &noun);
      }
    TermSource source;
    source.level1Occurrences = [](uint32_t) { return 10u; };
    source.scenarioEntry = [](const std::string&) { return 0u; };
    source.scenarioName = [](uint32_t) { return std::string(); };
    FakeMainWindow main;
    FakeScenarioEditor editor;
    ScopedScriptedDesktop desktop;
    TerminologyWindow window(std::make_unique<TDlgExtracteurTerminologique>(
        &main, [&editor] { return &editor; }, source, &words));
    EXPECT_TRUE(window.windowTitle().startsWith(QStringLiteral("Terminology extraction")));
    // The tests' screen, 800 by 800 pixels, is over 768 high and under 1200 wide: the window is
    // as tall as on a large screen, as narrow as on a small one.
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().size(), QSize(800, 800));
    EXPECT_EQ(window.size(), QSize(440, 680));
    EXPECT_TRUE(window.RichEdit4()->toPlainText().contains(MessageText(1240)));
    window.RunTermExtraction();
    QListWidget* list = window.ListBox1();
    ASSERT_EQ(list->count(), 3);  // cat 6, cat_food 3, dog 3
    EXPECT_EQ(window.Logic().Lines()[0], "cat\tcat\t6");
    // Each line is drawn by the list's delegate, taller with large fonts.
    QAbstractItemDelegate* delegate = list->itemDelegate();
    QStyleOptionViewItem style;
    style.rect = QRect(0, 0, 300, 18);
    const QModelIndex first = list->model()->index(0, 0);
    EXPECT_EQ(delegate->sizeHint(style, first).height(), 18);
    options.Set(opt::LargeFonts, uint8_t{1});
    EXPECT_EQ(delegate->sizeHint(style, first).height(), 24);
    options.Set(opt::LargeFonts, uint8_t{0});
    QImage drawn(300, 18, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    {
      QPainter painter(&drawn);
      delegate->paint(&painter, style, first);
      delegate->paint(&painter, style, list->model()->index(7, 0));  // no such line: nothing
    }
    int inked = 0;
    for (int x = 0; x < drawn.width(); ++x)
      for (int y = 0; y < drawn.height(); ++y) inked += drawn.pixelColor(x, y) != QColor(Qt::white) ? 1 : 0;
    EXPECT_GT(inked, 20);
    EXPECT_TRUE(window.ButtonInserer()->isEnabled());
    // Compounds only.
    window.RadioButtonAfficherExpressions()->setChecked(true);
    window.ButtonRetablir()->click();
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(window.Logic().Lines()[0], "cat\tcat_food\t3");
    EXPECT_TRUE(window.StatusBar1()->text().contains(MessageText(kMsgTermNonSignificant)));
    window.RadioButtonToutAfficher()->setChecked(true);
    window.RunTermExtraction();
    // Copy, then add the selected lines in add mode.
    PopupAction(window, "PopupMenuCopy")->trigger();
    EXPECT_EQ(desktop.desktop.clipboard, "cat\tcat\t6\r\ncat\tcat_food\t3\r\ndog\tdog\t3\r\n");
    list->item(0)->setSelected(true);
    list->item(2)->setSelected(true);
    window.RadioButtonAjouter()->setChecked(true);
    editor.failAfter = 0;  // the editor takes nothing: the lines stay, still selected
    window.ButtonInserer()->click();
    EXPECT_EQ(window.SelectedLines(), (std::vector<int>{0, 2}));
    editor.failAfter = -1;
    window.ButtonInserer()->click();
    EXPECT_EQ(editor.added, (std::vector<std::string>{"cat?", "dog?"}));
    ASSERT_EQ(list->count(), 1);
    PopupAction(window, "PopupMenuToutSelectionner")->trigger();
    EXPECT_EQ(window.SelectedLines(), std::vector<int>{0});
    // The switches go to the options at close.
    window.CheckBoxLocaliserTexte()->setChecked(false);
    window.CheckBoxSousClasserScenario()->setChecked(false);
    window.resize(520, 680);
    if (const char* shot = std::getenv("QUILOR_TERMINOLOGY_SHOT")) {
      window.RunTermExtraction();
      window.ListBox1()->item(1)->setSelected(true);
      window.grab().save(QString::fromLocal8Bit(shot));
    }
    window.close();
    EXPECT_FALSE(options.Switch(opt::TermLocateInText));
    EXPECT_TRUE(options.Switch(opt::DoNotSubclassify));
  }
  Options = saved;
}

using testing_support::MainWindowTest;

// The main window's command opens the extractor on the analysed text; it goes with the text.
TEST_F(MainWindowTest, TerminologyCommandOpensTheExtractorOnTheText) {
  TVekEditForm& w = Start();
  InstallWindows(w);
  QAction* command = w.Command(CommandId::MenuExtractionTerminologique);
  ASSERT_NE(command, nullptr);
  EXPECT_FALSE(command->isEnabled());  // no text yet
  std::string text = "The storm came in the night. ";
  for (int i = 0; i < 3; ++i) text += "The river bank broke. The mill owner ran to the village. ";
  const std::string path = tmp_ / "flood.txt";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs(text.c_str(), f);
  std::fclose(f);
  ASSERT_TRUE(Open(path));
  ASSERT_TRUE(command->isEnabled());
  command->trigger();
  TerminologyWindow* window = OpenTerminologyWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(w.PageControlTexte()->currentWidget(), w.TextContainer());
  const std::vector<std::string>& lines = window->Logic().Lines();
  ASSERT_EQ(window->ListBox1()->count(), static_cast<int>(lines.size()));
  const auto mill = std::find(lines.begin(), lines.end(), "mill\tmill_owner\t3");
  ASSERT_NE(mill, lines.end());
  // A click shows the text from the first "mill" on.
  QListWidget* list = window->ListBox1();
  const int row = static_cast<int>(mill - lines.begin());
  emit list->itemClicked(list->item(row));
  EXPECT_GT(ViewState.CurrentWordPosition, 5);
  EXPECT_EQ(window->StatusBar1()->text(), QStringLiteral("mill_owner"));
  if (const char* shot = std::getenv("QUILOR_TERMINOLOGY_MAIN_SHOT")) {
    window->ListBox1()->setCurrentRow(0);
    window->grab().save(QString::fromLocal8Bit(shot));
    w.resize(1280, 900);
    w.grab().save(QString::fromLocal8Bit(shot) + QStringLiteral(".main.png"));
  }
  // The command again brings the same window back and runs again.
  command->trigger();
  EXPECT_EQ(OpenTerminologyWindow(), window);
  w.Session().CmFermer();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(OpenTerminologyWindow(), nullptr);
  CloseWindow();
}

}  // namespace
}  // namespace quilor::ui
