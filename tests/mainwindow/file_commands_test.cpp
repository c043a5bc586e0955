// File commands, histories, the Files tab and closing during a run.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include <filesystem>
#include <fstream>

#include "core/file_queue.h"
#include "core/gauge.h"
#include "engine/analysis_results.h"
#include "core/lexicon.h"
#include "engine/word_list.h"
#include "mainwindow/files_tab.h"
#include "mainwindow/histories.h"
#include "mainwindow/main_window_layout.h"
#include "main_window_fixture.h"
#include "ui/view_state.h"

namespace quilor::ui {
namespace {

using testing_support::MainWindowTest;
namespace fs = std::filesystem;

void Touch(const std::string& path, const std::string& text = "The cat sat on the mat.\n") {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path) << text;
}

// The file history's twelve entries or the folder history's nine slots,
// newest first, as "file<n>" or "d<n>" by number (0: empty).
std::vector<std::string> History(const TOptionsRecord& options, bool files) {
  std::vector<std::string> out;
  for (int i = 1; i <= (files ? 12 : 9); ++i)
    out.push_back(files ? FileHistoryEntry(options, i) : FolderHistorySlot(options, i));
  return out;
}
std::vector<std::string> Named(bool files, std::initializer_list<int> numbers) {
  std::vector<std::string> out;
  for (int n : numbers)
    out.push_back(n == 0 ? "" : files ? "/t/file" + std::to_string(n) + ".txt" : "/d" + std::to_string(n));
  return out;
}

TEST(FileHistoryTest, PushMoveAndFindKeepTheOrder) {
  TOptionsRecord options;
  for (int i = 1; i <= 13; ++i) AddToFileHistory(options, "/t/file" + std::to_string(i) + ".txt");
  // A 13th file drops the oldest.
  EXPECT_EQ(History(options, true), Named(true, {13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2}));
  EXPECT_EQ(FindInFileHistory(options, "/t/file1.txt"), 0);
  // Opening entry 5 makes it entry 1, moves 1..4 down and keeps 6..12.
  AddToFileHistory(options, "/t/file9.txt");
  EXPECT_EQ(History(options, true), Named(true, {9, 13, 12, 11, 10, 8, 7, 6, 5, 4, 3, 2}));
  // Names that differ only in case are two files here.
  AddToFileHistory(options, "/t/File9.txt");
  EXPECT_EQ(FindInFileHistory(options, "/t/File9.txt"), 1);
  EXPECT_EQ(FindInFileHistory(options, "/t/file9.txt"), 2);
  const auto captions = FileHistoryMenuCaptions(options);
  ASSERT_EQ(captions.size(), 8u);
  EXPECT_EQ(captions[0], "1 * /t/File9.txt");
  EXPECT_EQ(captions[7], "8 * " + FileHistoryEntry(options, 8));
}

TEST(FolderHistoryTest, EightSlotsAndExactNames) {
  TOptionsRecord options;
  for (int i = 1; i <= 9; ++i) AddFolderToHistory(options, "/d" + std::to_string(i));
  EXPECT_EQ(History(options, false), Named(false, {9, 8, 7, 6, 5, 4, 3, 2, 0}));
  // Slot 3 becomes slot 1; slots 1..2 move down, 4..8 stay.
  AddFolderToHistory(options, "/d7");
  EXPECT_EQ(History(options, false), Named(false, {7, 9, 8, 6, 5, 4, 3, 2, 0}));
  AddFolderToHistory(options, "/D7");
  EXPECT_EQ(FolderHistorySlot(options, 2), "/d7");
  ClearFolderHistory(options);
  EXPECT_EQ(History(options, false), Named(false, {0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(FolderHistoryTest, StartUpRules) {
  TOptionsRecord options;
  AddToFileHistory(options, "/t/a.txt");
  options.Set(opt::LastFolder, "/t");
  options.Set(opt::KeepFileHistory, 1);
  ApplyHistoryOptionsAtStart(options);
  EXPECT_EQ(FileHistoryEntry(options, 1), "/t/a.txt");
  EXPECT_EQ(FolderHistorySlot(options, 1), "/t");
  options.Set(opt::KeepFileHistory, 0);
  ApplyHistoryOptionsAtStart(options);
  EXPECT_EQ(FileHistoryEntry(options, 1), "");
}

TEST(FilesTabTest, ListsReadableDocumentsOneLevelDown) {
  testing::TempFolder tmp;
  const std::string root = tmp.path();
  Touch(root + "/a.txt");
  Touch(root + "/b.bin");
  Touch(root + "/sub/c.htm");
  Touch(root + "/sub/deep/d.txt");
  Touch(root + "/.hidden/e.txt");
  EXPECT_EQ(ScanFolderForDocuments(root, true), (std::vector<std::string>{root + "/a.txt", root + "/sub/c.htm"}));
  EXPECT_EQ(ScanFolderForDocuments(root, false), (std::vector<std::string>{root + "/a.txt"}));
  EXPECT_EQ(FilesTabStatus(2), "2 file(s) selected");
  EXPECT_EQ(FilesTabStatus(6000), "6000 file(s) selected, maximum=10000");

  std::vector<std::string> list{root + "/a.txt"};
  EXPECT_EQ(AppendNewFiles(list, {root + "/a.txt", root + "/A.txt", root + "/b.txt"}), 2u);
  EXPECT_EQ(list.size(), 3u);
}

// The converters' status list: a heading between blank lines, each
// converter by name with its state in the list's order, and the manual.
TEST(FilesTabTest, ConverterStatusListNamesEachConverterAndItsState) {
  InitMessages();
  const std::vector<std::string> lines = ConversionFilterStatusLines({true, false, true, true, false, true});
  const std::vector<std::string> expected{" ",
                                          "External Conversion Filters Status",
                                          " ",
                                          "PDF IFilter = Active",
                                          "Microsoft Office 97-2003 = Inactive",
                                          "Microsoft Office 2007 = Active",
                                          "Microsoft Powerpoint 2007 = Active",
                                          "OpenDocument Text = Inactive",
                                          "OpenDocument Presentation = Active",
                                          " ",
                                          "Read the software User's manual for more information."};
  EXPECT_EQ(lines, expected);
}

TEST(FilesTabTest, TwelveThousandFilesQueueTenThousandAndSaySo) {
  ScopedScriptedUi ui;
  std::vector<std::string> files;
  for (int i = 0; i < 12000; ++i) files.push_back("/nowhere/f" + std::to_string(i) + ".txt");
  const QueueFilling filled = FillFileQueue(files);
  EXPECT_EQ(filled.added, 10000u);
  EXPECT_TRUE(filled.overflow);
  EXPECT_EQ(FileQueue.Count(), 10000);
  EXPECT_STREQ(FileQueue.Get(10000), "/nowhere/f9999.txt");
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(ui.ui.Shown()[0].text.rfind("10000 files scanned Overflow!", 0), 0u) << ui.ui.Shown()[0].text;
  FileQueue.Clear();
  EXPECT_FALSE(FillFileQueue({"/x/a.txt", "/x/b.txt"}).overflow);
  EXPECT_EQ(FileQueue.Count(), 2);
  EXPECT_EQ(ui.ui.Shown().size(), 1u);
  FileQueue.Clear();
}

TEST_F(MainWindowTest, HistoryMenuFollowsTheEntriesAndKeepsAMissingFile) {
  TVekEditForm& w = Start();
  const std::string a = tmp_ / "a.txt";
  const std::string b = tmp_ / "B.txt";
  const std::string b2 = tmp_ / "b.txt";
  Touch(a);
  Touch(b);
  Touch(b2);
  ASSERT_TRUE(Open(a));
  ASSERT_TRUE(Open(b));
  ASSERT_TRUE(Open(b2));
  ASSERT_TRUE(Open(a));
  // After every open the captions are the entries, in order.
  const auto items = w.FileHistoryItems();
  EXPECT_EQ(items[0]->text().toStdString(), "1 * " + a);
  EXPECT_EQ(items[1]->text().toStdString(), "2 * " + b2);
  EXPECT_EQ(items[2]->text().toStdString(), "3 * " + b);
  EXPECT_TRUE(items[2]->isVisible());
  EXPECT_FALSE(items[3]->isVisible());
  // A click on an item opens its own file.
  items[2]->trigger();
  EXPECT_EQ(w.Session().AnalysedFile(), b);
  EXPECT_EQ(items[0]->text().toStdString(), "1 * " + b);

  // A history file that is gone: message 18, the entry stays.
  fs::remove(b2);
  ui_.ui.ClearLog();
  const int n = FindInFileHistory(*Options, b2);
  ASSERT_GT(n, 0);
  EXPECT_FALSE(w.Session().OpenHistoryFile(n));
  ASSERT_EQ(ui_.ui.Shown().size(), 1u);
  EXPECT_EQ(ui_.ui.Shown()[0].text, b2 + " Empty, moved, deleted or unreadable file.");
  EXPECT_EQ(FindInFileHistory(*Options, b2), n);
  EXPECT_TRUE(w.Session().TextOpen());  // the open text was not released
  CloseWindow();
}

TEST_F(MainWindowTest, FileOpenWithTheDialog) {
  TVekEditForm& w = Start();
  desktop_.desktop.openAnswers.push_back({sample_});
  w.Command(CommandId::FichierOuvrir)->trigger();
  ASSERT_EQ(desktop_.desktop.choices.size(), 1u);
  EXPECT_TRUE(desktop_.desktop.choices[0].multiple);
  EXPECT_EQ(desktop_.desktop.choices[0].filter,
            "Text files (*.txt)|*.txt|Web pages (*.htm, *.html, *.shtml, *.txt)|*.htm;*.html;*.shtml;*.txt|"
            "XML documents (*.xml)|*.xml|RTF documents (*.rtf)|*.rtf|SGML documents (*.sgm, *.sgml)|*.sgm;*.sgml|"
            "ASCII DOS texts (*.asc, *.tx8)|*.asc;*.tx8|Macintosh texts (*.mac)|*.mac|"
            "Word documents (*.doc, *.docx)|*.doc;*.docx|PDF Documents (*.pdf)|*.pdf|"
            "PowerPoint documents (*.ppt, *.pptx, *.ppsx)|*.ppt;*.pptx;*.ppsx|"
            "OpenDocument files (*.odt, *.odp)|*.odt;*.odp|All files (*.*)|*.*");
  EXPECT_EQ(desktop_.desktop.choices[0].filterIndex, 12);
  EXPECT_TRUE(w.Session().TextOpen());
  EXPECT_EQ(FileHistoryEntry(*Options, 1), sample_);
  EXPECT_EQ(Options->Get(opt::LastFolder), std::string(QUILOR_SOURCE_DIR) + "/samples");
  // Cancelled: nothing changes.
  w.Command(CommandId::FichierOuvrir)->trigger();
  EXPECT_TRUE(w.Session().TextOpen());
  // The dialog opens on the filter last chosen, 1 to 12; on any other, all files.
  for (const auto& [stored, shown] : std::vector<std::pair<int, int>>{{0, 12}, {1, 1}, {12, 12}, {13, 12}}) {
    Options->Set(opt::OpenFilterIndex, static_cast<uint16_t>(stored));
    EXPECT_EQ(OpenDialogFilterIndex(), shown) << stored;
  }
  CloseWindow();
}

TEST_F(MainWindowTest, FolderGoesToTheFilesTabAndAnalyzeQueuesTheList) {
  TVekEditForm& w = Start();
  const std::string root = tmp_ / "docs";
  Touch(root + "/a.txt");
  Touch(root + "/b.bin");
  Touch(root + "/sub/c.htm", "<html><body><p>The dog ran home.</p></body></html>");
  Touch(root + "/sub/deep/d.txt");
  desktop_.desktop.folderAnswers.push_back(root);
  w.Command(CommandId::MenuOuvrirUnDossier)->trigger();
  EXPECT_EQ(w.FilesListLines(), (std::vector<std::string>{root + "/a.txt", root + "/sub/c.htm"}));
  EXPECT_EQ(w.StatusText(1), QStringLiteral("2 file(s) selected"));
  EXPECT_EQ(w.PageControlTexte()->currentWidget(), w.FilesTab());
  EXPECT_EQ(FolderHistorySlot(*Options, 1), root);
  EXPECT_EQ(Options->Get(opt::LastFolder), root);

  // Without sub-folders only a.txt is listed.
  w.Command(CommandId::MenuHistoDossierTraiterSousDossiers)->trigger();
  EXPECT_TRUE(Options->Switch(opt::NoSubFolders));
  w.OpenFolder(root);
  EXPECT_EQ(w.FilesListLines(), (std::vector<std::string>{root + "/a.txt"}));

  w.SetFilesListLines({root + "/a.txt", root + "/sub/c.htm"});
  w.ButtonListeFichiersAnalyserClick();
  EXPECT_TRUE(w.Session().TextOpen());
  EXPECT_EQ(FileQueue.Count(), 2);
  EXPECT_STREQ(FileQueue.Get(2), (root + "/sub/c.htm").c_str());
  EXPECT_EQ(FindInFileHistory(*Options, root + "/a.txt"), 0);  // a list gets no history entry
  CloseWindow();
}

// The Files tab's own buttons: Add appends the chosen files the list does not
// hold yet and remembers their folder, Sort puts the list in order, Delete
// takes the selected lines away and nothing else.
TEST_F(MainWindowTest, TheFilesTabAddsSortsAndDeletesItsFiles) {
  TVekEditForm& w = Start();
  const std::string root = tmp_ / "docs";
  w.SetFilesListLines({root + "/m.txt"});
  // Open and Delete need a selected line, Analyse a line.
  auto buttons = [&w] {
    std::string enabled;
    for (const char* name :
         {"ButtonListeFichiersOuvrir", "ButtonListeFichiersSupprimer", "ButtonListeFichiersAnalyser"})
      enabled += w.findChild<QPushButton*>(name)->isEnabled() ? '1' : '0';
    return enabled;
  };
  EXPECT_EQ(buttons(), "001");
  desktop_.desktop.openAnswers.push_back({root + "/z.txt", root + "/m.txt", root + "/a.txt"});
  w.ButtonListeFichiersAjouterClick();
  EXPECT_EQ(w.FilesListLines(), (std::vector<std::string>{root + "/m.txt", root + "/z.txt", root + "/a.txt"}));
  ASSERT_EQ(desktop_.desktop.choices.size(), 1u);
  EXPECT_TRUE(desktop_.desktop.choices[0].multiple);
  EXPECT_EQ(Options->Get(opt::LastFolder), root);
  // A choice given up changes nothing.
  w.ButtonListeFichiersAjouterClick();
  EXPECT_EQ(w.FilesListLines().size(), 3u);

  w.ButtonListeFichiersTrierClick();
  EXPECT_EQ(w.FilesListLines(), (std::vector<std::string>{root + "/a.txt", root + "/m.txt", root + "/z.txt"}));

  w.FilesList()->clearSelection();
  EXPECT_EQ(buttons(), "001");
  w.ButtonListeFichiersSupprimerClick();
  EXPECT_EQ(w.FilesListLines().size(), 3u);
  w.FilesList()->item(0)->setSelected(true);
  w.FilesList()->item(2)->setSelected(true);
  EXPECT_EQ(buttons(), "111");
  w.ButtonListeFichiersSupprimerClick();
  EXPECT_EQ(w.FilesListLines(), (std::vector<std::string>{root + "/m.txt"}));
  EXPECT_EQ(w.StatusText(1), QStringLiteral("1 file(s) selected"));
  EXPECT_EQ(buttons(), "001");
  w.SetFilesListLines({});
  EXPECT_EQ(buttons(), "000");
  CloseWindow();
}

TEST_F(MainWindowTest, NothingOpensOrClosesWhilePrinting) {
  TVekEditForm& w = Start();
  ASSERT_TRUE(Open(sample_));
  PrintRunning = true;
  w.Command(CommandId::Fermer1)->trigger();
  w.Session().CmFermer();
  EXPECT_TRUE(w.Session().TextOpen());
  EXPECT_FALSE(w.Session().FermerEditeur());
  // A drop waits for nothing: it is refused while busy.
  EXPECT_FALSE(HandleDrop({tmp_ / "x.txt"}, w));
  EXPECT_FALSE(w.Session().OpenChosenFiles({sample_, sample_}, 1));
  // The window does not close under a print; it closes once the print ended.
  w.close();
  EXPECT_FALSE(w.Closed());
  EXPECT_TRUE(w.Session().ClosePending());
  PrintRunning = false;
  EXPECT_TRUE(w.Session().FermerEditeur());
  CloseWindow();
}

// The relation records go with the analysis that made them: a selection's
// place in them is forgotten when the text is released or analysed again.
TEST_F(MainWindowTest, ASelectionForgetsItsRelationRecordWithTheAnalysis) {
  TVekEditForm& w = Start();
  ASSERT_TRUE(Open(sample_));
  ViewState.selection.relationRecord = 3;
  ASSERT_TRUE(w.Session().ReLancerAnalyse());
  EXPECT_EQ(ViewState.selection.relationRecord, static_cast<size_t>(-1));
  ViewState.selection.relationRecord = 3;
  ASSERT_TRUE(w.Session().FermerEditeur());
  EXPECT_EQ(ViewState.selection.relationRecord, static_cast<size_t>(-1));
  CloseWindow();
}

// A gauge whose event processing brings a close request of the window.
class ClosingGaugeView : public NullGaugeView {
 public:
  explicit ClosingGaugeView(TVekEditForm& w) : window_(w) {}
  void ProcessEvents() override {
    if (!sent_) {
      sent_ = true;
      window_.close();
    }
    QCoreApplication::processEvents();
  }

 private:
  TVekEditForm& window_;
  bool sent_ = false;
};

// A text the user stops reading at the size question is analysed as far as
// it was read, and a box says that the results cover only that part.
TEST_F(MainWindowTest, ATextStoppedAtTheSizeQuestionSaysItsResultsArePartial) {
  TVekEditForm& w = Start();
  Options->Set(opt::SizeThreshold, uint16_t{2});
  const std::string big = tmp_ / "big.txt";
  {
    std::ifstream in(sample_);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream out(big);
    for (size_t written = 0; written < 2600000; written += text.size() + 1) out << text << "\n";
  }
  ui_.ui.QueueAnswer(2);  // No: stop reading here
  ASSERT_TRUE(Open(big));
  EXPECT_TRUE(w.Session().TextOpen());
  std::vector<std::string> texts;
  for (const auto& box : ui_.ui.Shown()) texts.push_back(box.text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_NE(texts[0].find("bigger than 2 MB"), std::string::npos) << texts[0];
  EXPECT_EQ(texts[1], "The results cover only the first part of the text, read before you stopped: 2 MB.");
  // Read whole, the same text says nothing.
  ui_.ui.ClearLog();
  ASSERT_TRUE(Open(big));
  ASSERT_EQ(ui_.ui.Shown().size(), 1u);
  CloseWindow();
}

TEST_F(MainWindowTest, CloseDuringARunStopsItAndClosesAfterwards) {
  TVekEditForm& w = Start();
  SetGaugeViewFactory([&w] { return std::make_unique<ClosingGaugeView>(w); });
  EXPECT_FALSE(Open(sample_));  // the run stopped on the close request
  SetGaugeViewFactory(nullptr);
  EXPECT_FALSE(w.Closed());  // the window survived the run
  EXPECT_EQ(Progress.gauge, nullptr);
  EXPECT_EQ(AnalysisResults, nullptr);
  EXPECT_FALSE(w.Session().TextOpen());
  EXPECT_TRUE(w.Session().ClosePending());
  EXPECT_EQ(w.StatusText(1), QStringLiteral("The analysis was stopped."));
  // Once idle, the posted close runs and the engine shuts down.
  for (int i = 0; i < 10 && !w.Closed(); ++i) QCoreApplication::processEvents();
  EXPECT_TRUE(w.Closed());
  EXPECT_EQ(MainDictionary, nullptr);
  window_.reset();
}

TEST_F(MainWindowTest, FilesTabShowsTheDocumentsOfTheText) {
  TVekEditForm& w = Start();
  ASSERT_TRUE(Open(sample_));
  w.Command(CommandId::MenuAfficherFichiers)->trigger();
  EXPECT_EQ(w.PageControlTexte()->currentWidget(), w.FilesTab());
  EXPECT_EQ(w.FilesListLines(), (std::vector<std::string>{sample_}));
  EXPECT_EQ(w.StatusText(1), QStringLiteral("1 file(s) selected"));
  CloseWindow();
}

TEST_F(MainWindowTest, PdfCheckGoesByTheChosenDocumentNotTheDialogFilter) {
  TVekEditForm& w = Start();
  const std::string pdf = tmp_ / "report.pdf";
  Touch(pdf, "%PDF-1.4\n");
  // The text filter was shown, the document is a PDF: the switch applies
  // (a PDF let through may still fail for what it holds).
  for (int convert : {0, 1}) {
    Options->Set(opt::ConvertPdf, static_cast<uint8_t>(convert));
    ui_.ui.ClearLog();
    const bool opened = w.Session().OpenChosenFiles({pdf}, 1);
    bool refused = false;
    for (const auto& box : ui_.ui.Shown())
      refused = refused || box.text.find("The analysis of PDF documents is disabled") != std::string::npos;
    EXPECT_EQ(refused, convert == 0);
    if (convert == 0) {
      EXPECT_FALSE(opened);
      EXPECT_FALSE(w.Session().TextOpen());
    }
  }
  // The PDF filter was shown, the document is a text: it is analysed.
  const std::string txt = tmp_ / "notes.txt";
  Touch(txt);
  EXPECT_TRUE(w.Session().OpenChosenFiles({txt}, 9));
  EXPECT_TRUE(w.Session().TextOpen());
  CloseWindow();
}

}  // namespace
}  // namespace quilor::ui
