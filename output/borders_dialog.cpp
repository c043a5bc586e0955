#include "output/borders_dialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

#include "core/files.h"
#include "core/options.h"
#include "ui/desktop.h"
#include "ui/texts_qt.h"
#include "generated/message_names.h"

namespace quilor::ui {

namespace {

constexpr int kHelpBorders = 880;
constexpr int kHelpBorderManagement = 882;

QPushButton* Button(QWidget* parent, int caption, int hint) {
  auto* button = new QPushButton(MessageText(caption), parent);
  button->setToolTip(MessageText(hint));
  return button;
}

}  // namespace

TDialogueDelimiteurs::TDialogueDelimiteurs(MainWindowPort* main, DroppedWord droppedWord, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      editor_(main),
      main_(main),
      droppedWord_(std::move(droppedWord)) {
  setObjectName("TDialogueDelimiteurs");
  setModal(false);
  setAcceptDrops(true);
  auto* menuBar = new QMenuBar(this);
  QMenu* file = menuBar->addMenu(MessageText(msg::kFile));
  file->addAction(MessageText(msg::kOpen), QKeySequence(Qt::CTRL | Qt::Key_O), this, [this] {
    Run([this] { editor_.Open([this] { return ChooseOpenName(); }, [this] { return ChooseSaveName(); }); });
  });
  file->addAction(MessageText(msg::kSave), QKeySequence(Qt::CTRL | Qt::Key_E), this, [this] {
    Run([this] {
      if (editor_.SaveWithName([this] { return ChooseSaveName(); })) editor_.Apply();
    });
  });
  file->addAction(MessageText(msg::kSaveAs), this, [this] {
    Run([this] {
      const std::string path = ChooseSaveName();
      if (!path.empty() && editor_.SaveAs(path)) editor_.Apply();
    });
  });
  file->addAction(MessageText(msg::kNew), this,
                  [this] { Run([this] { editor_.New([this] { return ChooseSaveName(); }); }); });
  file->addSeparator();
  file->addAction(MessageText(msg::kExit), this, [this] { close(); });
  QMenu* help = menuBar->addMenu(MessageText(msg::kHelp));
  help->addAction(MessageText(msg::kBorders), this, [] { ShowHelpContext(kHelpBorders); });
  help->addAction(MessageText(msg::kBorderManagement), this, [] { ShowHelpContext(kHelpBorderManagement); });

  auto* pages = new QTabWidget(this);
  auto* page = new QWidget(pages);
  list_ = new QListWidget(page);
  list_->setToolTip(MessageText(msg::kCheckedFilterAllText));
  edit_ = new QLineEdit(page);
  edit_->setMaxLength(static_cast<int>(BordersEditor::kMaxTyped));
  edit_->setToolTip(MessageText(msg::kTypeTextBorderPress));
  auto* add = Button(page, msg::kAdd, msg::kAddList);
  add->setDefault(true);
  auto* remove = Button(page, msg::kDelete, msg::kDeleteList);
  auto* includeAll = Button(page, msg::kIncludeAll, msg::kDoNotFilterAnything);
  auto* excludeAll = Button(page, msg::kExcludeAll, msg::kFilterEverything);
  display_ = new QCheckBox(MessageText(msg::kShowBordersText), page);
  display_->setToolTip(MessageText(msg::kBordersCanInvisibleText));
  display_->setChecked(editor_.DisplayInText());
  cancel_ = Button(page, msg::kCancel, msg::kCancelAllChanges);
  apply_ = Button(page, msg::kApply, msg::kSaveApplyBordersText);
  auto* side = new QVBoxLayout;
  for (QWidget* w :
       {static_cast<QWidget*>(edit_), static_cast<QWidget*>(add), static_cast<QWidget*>(remove),
        static_cast<QWidget*>(includeAll), static_cast<QWidget*>(excludeAll), static_cast<QWidget*>(display_)})
    side->addWidget(w);
  side->addStretch();
  side->addWidget(cancel_);
  side->addWidget(apply_);
  auto* pageLayout = new QHBoxLayout(page);
  pageLayout->addWidget(list_, 1);
  pageLayout->addLayout(side);
  pages->addTab(page, MessageText(msg::kBorders));
  auto* explain = new QTextBrowser(pages);
  QString html = "<h3>" + MessageText(msg::kBorders).toHtmlEscaped() + "</h3>";
  for (int id = msg::kBordersHelpFirst; id <= msg::kBordersHelpFirst + 3; ++id)
    html += "<p>" + MessageText(id).toHtmlEscaped() + "</p>";
  explain->setHtml(html);
  pages->addTab(explain, MessageText(msg::kExplain));
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menuBar);
  layout->addWidget(pages);

  connect(add, &QPushButton::clicked, this, [this] { ButtonAjouterClick(); });
  connect(remove, &QPushButton::clicked, this, [this] {
    if (!editor_.Delete()) CurrentDesktop().Beep();
    Refill();
  });
  connect(includeAll, &QPushButton::clicked, this, [this] {
    editor_.IncludeAll();
    Refill();
  });
  connect(excludeAll, &QPushButton::clicked, this, [this] {
    editor_.ExcludeAll();
    Refill();
  });
  connect(display_, &QCheckBox::toggled, this, [this](bool on) {
    editor_.SetDisplayInText(on);
    Changed();
  });
  connect(cancel_, &QPushButton::clicked, this, [this] {
    editor_.Cancel();
    Refill();
  });
  connect(apply_, &QPushButton::clicked, this, [this] { ButtonAppliquerClick(); });
  connect(list_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    if (filling_) return;
    editor_.SetChecked(list_->row(item), item->checkState() == Qt::Checked);
    Refill();
  });
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (filling_) return;
    editor_.Select(row);
    if (row >= 0) edit_->setText(list_->item(row)->text());
  });
  Refill();
}

void TDialogueDelimiteurs::Refill() {
  filling_ = true;
  list_->clear();
  for (const BorderItem& item : editor_.Items()) {
    auto* row = new QListWidgetItem(FromCp1252(item.text), list_);
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    row->setCheckState(item.checked ? Qt::Checked : Qt::Unchecked);
    row->setForeground(item.checked ? QColor(255, 0, 0) : QColor(0, 0, 0));
  }
  list_->setCurrentRow(editor_.Selected());
  filling_ = false;
  setWindowTitle(FromCp1252(editor_.Caption()));
  Changed();
}

void TDialogueDelimiteurs::Changed() {
  apply_->setEnabled(editor_.ApplyWouldAct());
  cancel_->setEnabled(editor_.Modified());
}

void TDialogueDelimiteurs::ButtonAjouterClick() {
  // An added term leaves the field empty for the next; a refused one stays to be corrected.
  if (editor_.Add(ToCp1252(edit_->text()))) edit_->clear();
  else CurrentDesktop().Beep();
  Refill();
}

void TDialogueDelimiteurs::ButtonAppliquerClick() {
  Run([this] { editor_.SaveAndApply([this] { return ChooseSaveName(); }); });
}

template <class Command>
void TDialogueDelimiteurs::Run(Command command) {
  // The dialog is deleted when it closes; a close that came while a chooser
  // or the analysis waited (the main window closing, a request's work) would
  // free it under the command still running.
  ++running_;
  command();
  Refill();
  if (--running_ == 0 && closeAfterCommand_) {
    closeAfterCommand_ = false;
    QTimer::singleShot(0, this, &QWidget::close);
  }
}

std::string TDialogueDelimiteurs::ChooseSaveName() {
  FileChoice choice;
  choice.title = Cp1252ToUtf8(GetMessageText(msg::kSaveAs));
  choice.folder = WorkContext->BordersFolder;
  choice.filter = "Borders (*.dlm)|*.dlm";
  return CurrentDesktop().ChooseSaveFile(choice);
}

std::string TDialogueDelimiteurs::ChooseOpenName() {
  FileChoice choice;
  choice.title = Cp1252ToUtf8(GetMessageText(msg::kOpen));
  choice.folder = WorkContext->BordersFolder;
  choice.filter = "Borders (*.dlm)|*.dlm";
  const std::vector<std::string> chosen = CurrentDesktop().ChooseOpenFiles(choice);
  return chosen.empty() ? std::string() : chosen.front();
}

void TDialogueDelimiteurs::closeEvent(QCloseEvent* event) {
  if (running_ > 0) {
    closeAfterCommand_ = true;
    event->ignore();
    return;
  }
  if (editor_.Modified()) {
    ++running_;
    editor_.SaveAndApply([this] { return ChooseSaveName(); });
    --running_;
    closeAfterCommand_ = false;  // this close is under way
  }
  QDialog::closeEvent(event);
}

void TDialogueDelimiteurs::dragEnterEvent(QDragEnterEvent* event) {
  if (main_ != nullptr && main_->TextLoaded() && droppedWord_ && event->source() != nullptr)
    event->acceptProposedAction();
}

void TDialogueDelimiteurs::dropEvent(QDropEvent* event) {
  const bool fromList =
      qobject_cast<QAbstractItemView*>(event->source()) != nullptr ||
      (event->source() != nullptr && qobject_cast<QAbstractItemView*>(event->source()->parent()) != nullptr);
  const std::string word = droppedWord_ ? droppedWord_(fromList) : std::string();
  if (word.empty()) return;
  if (!editor_.Add(word.substr(0, 80))) CurrentDesktop().Beep();
  Refill();
  event->acceptProposedAction();
}

}  // namespace quilor::ui
