#include "scenario/anomaly_list_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/files.h"
#include "ui/texts_qt.h"
#include "platform/text_encoding.h"
#include "scenario/scenario_editor.h"
#include "scenario/texts.h"

namespace quilor::ui {

AnomalyListWindow::AnomalyListWindow(AnomalyList& list, std::function<ScenarioEditor*()> editor,
                                     std::function<void()> openEditor, QWidget* parent)
    : QDialog(parent), model_(list), editor_(std::move(editor)), openEditor_(std::move(openEditor)) {
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  list_ = new QListWidget(this);
  layout->addWidget(list_, 1);
  auto* buttons = new QHBoxLayout;
  auto* close = new QPushButton(FromCp1252(Msg(kMsgButtonClose)), this);
  auto* search = new QPushButton(FromCp1252(Msg(kMsgButtonSearch)), this);
  auto* help = new QPushButton(FromCp1252(Msg(kMsgButtonHelp)), this);
  help->setObjectName(QStringLiteral("ButtonAide"));
  buttons->addStretch(1);
  buttons->addWidget(search);
  buttons->addWidget(close);
  buttons->addWidget(help);
  layout->addLayout(buttons);
  layout->addWidget(new QLabel(FromCp1252(Msg(kMsgCorrectErrors)), this));
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  connect(search, &QPushButton::clicked, this, [this] { Search(); });
  connect(help, &QPushButton::clicked, this, [] { ShowHelpContext(kHelpAnomalies); });
  connect(list_, &QListWidget::itemClicked, this, [this] { Search(); });
  resize(480, 320);
  Refresh();
}

void AnomalyListWindow::Refresh() {
  setWindowTitle(FromCp1252(model_.Caption()));
  list_->clear();
  for (const AnomalyList::Entry& e : model_.Entries()) list_->addItem(FromCp1252(e.line));
}

void AnomalyListWindow::Search() {
  ScenarioEditor* editor = editor_ ? editor_() : nullptr;
  if (editor && editor->IsOpen()) {
    if (model_.SearchLine(list_->currentRow(), &editor->Tree(), {}) && editor->refreshView) editor->refreshView();
    return;
  }
  if (openEditor_) openEditor_();
}

}  // namespace quilor::ui
