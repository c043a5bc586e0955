#include "mainwindow/copy_window.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include "core/files.h"
#include "core/messages.h"
#include "ui/desktop.h"
#include "ui/view_state.h"
#include "ui/texts_qt.h"
#include "platform/text_encoding.h"
#include "ui/scenario_editor_port.h"

namespace quilor::ui {

namespace {
constexpr int kMsgCopy = 579;
constexpr int kMsgExit = 608;
constexpr int kMsgSearch = 520;
constexpr int kMsgAddInScenario = 6013;
constexpr int kMsgInsertInScenario = 525;
constexpr int kMsgHelp = 616;
constexpr int kCopyWindowHelp = 834;

}  // namespace

CopyWindow::CopyWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      edit_(new QTextEdit),
      copyButton_(new QPushButton(MessageText(kMsgCopy))),
      exitButton_(new QPushButton(MessageText(kMsgExit))),
      helpButton_(new QPushButton(MessageText(kMsgHelp))) {
  setObjectName("TFormCopierTexte");
  setWindowTitle(MessageText(kMsgCopy));
  edit_->setObjectName("RichEdit1");
  copyButton_->setObjectName("ButtonCopier");
  exitButton_->setObjectName("ButtonQuitter");
  helpButton_->setObjectName("ButtonAide");
  edit_->setReadOnly(true);
  edit_->setContextMenuPolicy(Qt::CustomContextMenu);
  copy_ = new QAction(MessageText(kMsgCopy), this);
  copy_->setShortcut(QKeySequence::Copy);
  search_ = new QAction(MessageText(kMsgSearch), this);
  search_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  search_->setEnabled(false);  // until the word search is there (SetSearchWord)
  add_ = new QAction(MessageText(kMsgAddInScenario), this);
  add_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  insert_ = new QAction(MessageText(kMsgInsertInScenario), this);
  insert_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
  for (QAction* a : {copy_, search_, add_, insert_}) addAction(a);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(copyButton_);
  buttons->addStretch();
  buttons->addWidget(exitButton_);
  buttons->addWidget(helpButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(edit_, 1);
  resize(600, 450);

  connect(copyButton_, &QPushButton::clicked, this, [this] { Copy(); });
  connect(copy_, &QAction::triggered, this, [this] { Copy(); });
  connect(exitButton_, &QPushButton::clicked, this, [this] { close(); });
  connect(helpButton_, &QPushButton::clicked, this, [] { ShowHelpContext(kCopyWindowHelp); });
  // The selected text, at most 78 characters, goes into the word search.
  connect(search_, &QAction::triggered, this, [this] {
    if (searchWord_) searchWord_(SelectedText().substr(0, 78));
  });
  connect(add_, &QAction::triggered, this, [this] { AddToScenario(); });
  connect(insert_, &QAction::triggered, this, [this] { InsertIntoScenario(); });
  connect(edit_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    UpdateCommands();
    QMenu menu;
    menu.addAction(copy_);
    menu.addAction(search_);
    menu.addAction(add_);
    menu.addAction(insert_);
    menu.exec(edit_->mapToGlobal(at));
  });
  UpdateCommands();
}

void CopyWindow::SetSearchWord(std::function<void(const std::string&)> f) {
  searchWord_ = std::move(f);
  search_->setEnabled(static_cast<bool>(searchWord_));
}

void CopyWindow::ChargerTexteSelectionne(bool selection) {
  text_ = BuildCopyText(chosen_, selection && ViewState.ExtractMode);
  edit_->setUpdatesEnabled(false);
  edit_->clear();
  QString all;
  for (size_t i = 0; i < text_.paragraphs.size(); ++i) {
    if (i) all += QChar::ParagraphSeparator;
    all += QString::fromStdString(Cp1252ToUtf8(text_.paragraphs[i]));
  }
  edit_->setPlainText(all);
  QTextCharFormat mark;
  mark.setFontWeight(QFont::Bold);
  mark.setBackground(QColor(255, 255, 160));
  for (const TCopySpan& span : text_.marked) {
    QTextCursor c(edit_->document());
    c.setPosition(span.start);
    c.setPosition(span.start + span.length, QTextCursor::KeepAnchor);
    c.mergeCharFormat(mark);
  }
  QTextCursor caret(edit_->document());
  caret.setPosition(std::min(text_.caretOffset, edit_->document()->characterCount() - 1));
  edit_->setTextCursor(caret);
  edit_->setUpdatesEnabled(true);
  edit_->ensureCursorVisible();
}

std::string CopyWindow::SelectedText() const {
  QString s = edit_->textCursor().selectedText();
  s.replace(QChar::ParagraphSeparator, '\n');
  return Utf8ToCp1252(s.toStdString());
}

void CopyWindow::Copy() {
  const QTextCursor c = edit_->textCursor();
  const std::string whole = Utf8ToCp1252(edit_->toPlainText().toStdString());
  bool selectAll = false;
  const std::string text = TextToCopy(whole, c.selectionStart(), c.selectionEnd() - c.selectionStart(), selectAll);
  if (selectAll) edit_->selectAll();
  if (!text.empty()) CurrentDesktop().SetClipboardText(Cp1252ToUtf8(text));
}

void CopyWindow::AddToScenario() {
  if (!editor_ || !editor_->IsOpen()) return;
  const std::string key = ScenarioKeyOf(SelectedText());
  if (key.empty()) return;
  editor_->SetPending(key, 0, '?');
  editor_->AddWordInNewGroup(key, '?');
}

void CopyWindow::InsertIntoScenario() {
  if (!editor_ || !editor_->IsOpen()) return;
  const std::string key = ScenarioKeyOf(SelectedText());
  if (key.empty()) return;
  editor_->SetPending(key, 0, '?');
  editor_->InsertWords(key, '?', false);
}

void CopyWindow::UpdateCommands() {
  const bool open = editor_ && editor_->IsOpen();
  add_->setEnabled(open);
  insert_->setEnabled(open);
}

}  // namespace quilor::ui
