#include "mainwindow/message_ui_qt.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/dialog_parent_qt.h"
#include "ui/texts_qt.h"
#include "core/messages.h"
#include "platform/text_encoding.h"

namespace quilor::ui {

void QtMessageUi::ShowList(const ListRequest& request) {
  // On the heap: the window it belongs to may be closed and deleted while
  // it is open (by a request's work, another window's command), and with
  // it its children.
  HeapDialog<QDialog> held(DialogParent());
  QDialog& dialog = *held;
  dialog.setAttribute(Qt::WA_DeleteOnClose, false);
  dialog.setWindowTitle(QStringLiteral("Quilor"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QString::fromStdString(request.heading)));
  auto* list = new QListWidget;
  for (const std::string& line : request.lines) list->addItem(QString::fromStdString(line));
  list->setMinimumSize(480, 240);
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox;
  QPushButton* ok = buttons->addButton(FromCp1252(GetMessageText(kMsgButtonOk)), QDialogButtonBox::AcceptRole);
  ok->setDefault(true);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  layout->addWidget(buttons);
  held.Run();
}

BoxAnswer QtMessageUi::ShowBox(const BoxRequest& request) {
  // On the heap, as the list above: a box whose window went while it was
  // open gives the answer of a closed box.
  HeapDialog<QMessageBox> held(DialogParent());
  QMessageBox& box = *held;
  box.setWindowTitle(QStringLiteral("Quilor"));
  box.setText(FromCp1252(request.text));
  const QString ok = FromCp1252(GetMessageText(kMsgButtonOk));
  const QString cancel = FromCp1252(GetMessageText(kMsgButtonCancel));
  const QString yes = FromCp1252(GetMessageText(kMsgButtonYes));
  const QString no = FromCp1252(GetMessageText(kMsgButtonNo));
  QAbstractButton* b1 = nullptr;  // Ok or Yes
  QAbstractButton* b2 = nullptr;  // No of kind 3, lone Ok of kind 0
  QAbstractButton* b3 = nullptr;  // Cancel, or No of kinds 4 and 5
  switch (request.kind) {
    case kBoxOkCancel:
      box.setIcon(QMessageBox::Question);
      b1 = box.addButton(ok, QMessageBox::AcceptRole);
      b3 = box.addButton(cancel, QMessageBox::RejectRole);
      box.setDefaultButton(static_cast<QPushButton*>(b3));
      break;
    case kBoxYesNoCancel:
    case kBoxSaveYesNoCancel:
      box.setIcon(QMessageBox::Question);
      b1 = box.addButton(yes, QMessageBox::YesRole);
      b2 = box.addButton(no, QMessageBox::NoRole);
      b3 = box.addButton(cancel, QMessageBox::RejectRole);
      // Enter on a save question keeps the work.
      box.setDefaultButton(static_cast<QPushButton*>(request.kind == kBoxSaveYesNoCancel ? b1 : b2));
      break;
    case kBoxYesNo:
    case kBoxYesNoDefaultYes:
      box.setIcon(QMessageBox::Question);
      b1 = box.addButton(yes, QMessageBox::YesRole);
      b3 = box.addButton(no, QMessageBox::NoRole);
      box.setDefaultButton(static_cast<QPushButton*>(request.kind == kBoxYesNo ? b3 : b1));
      break;
    default:
      // The Ok box is the error box (ShowError).
      box.setIcon(QMessageBox::Critical);
      b2 = box.addButton(ok, QMessageBox::AcceptRole);
      box.setDefaultButton(static_cast<QPushButton*>(b2));
      break;
  }
  if (request.icon == kIconError) box.setIcon(QMessageBox::Critical);
  else if (request.icon == kIconWarning) box.setIcon(QMessageBox::Warning);
  QCheckBox* dontShow = nullptr;
  if (request.withDontShow) {
    dontShow = new QCheckBox(FromCp1252(GetMessageText(kMsgDontShowAgain)));
    box.setCheckBox(dontShow);
  }
  held.Run();
  BoxAnswer answer;
  if (held.Gone()) return answer;
  QAbstractButton* clicked = box.clickedButton();
  if (clicked != nullptr && clicked == b1) answer.result = 1;
  else if (clicked != nullptr && clicked == b2) answer.result = 2;
  else if (clicked != nullptr && clicked == b3) answer.result = 3;
  answer.dontShowAgain = dontShow != nullptr && dontShow->isChecked();
  return answer;
}

void QtMessageUi::ShowSystemError(const std::string& text) {
  HeapDialog<QMessageBox> box(QMessageBox::Critical, QStringLiteral("Quilor"), FromCp1252(text), QMessageBox::Ok,
                              DialogParent());
  box.Run();
}

GaugeDialog::GaugeDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Quilor"));
  setWindowModality(Qt::NonModal);
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  for (int i = 0; i < 4; ++i) {
    captions_[i] = new QLabel(this);
    values_[i] = new QLabel(this);
    values_[i]->setMinimumWidth(180);
    grid->addWidget(captions_[i], i, 0);
    grid->addWidget(values_[i], i, 1);
  }
  layout->addLayout(grid);
  bar_ = new QProgressBar(this);
  bar_->setTextVisible(false);
  layout->addWidget(bar_);
  stop_ = new QPushButton(QStringLiteral("Stop"), this);
  stop_->setObjectName(QStringLiteral("ButtonArret"));
  layout->addWidget(stop_, 0, Qt::AlignHCenter);
  connect(stop_, &QPushButton::clicked, this, [this] { Stop(); });
}

void GaugeDialog::SetCaption(int line, const QString& text) { captions_[line - 1]->setText(text); }
void GaugeDialog::SetValue(int line, const QString& text) { values_[line - 1]->setText(text); }
void GaugeDialog::SetRange(int maximum) { bar_->setRange(0, maximum); }
void GaugeDialog::SetPosition(int position) { bar_->setValue(position); }

void GaugeDialog::Stop() {
  if (Progress.gauge != nullptr) Progress.gauge->ButtonArretClick();
}

// The close box and Escape are the Stop button.
void GaugeDialog::closeEvent(QCloseEvent* event) {
  event->ignore();
  Stop();
}

void GaugeDialog::reject() { Stop(); }

BusyGuard::BusyGuard(QWidget* gauge) : gauge_(gauge) { QApplication::instance()->installEventFilter(this); }

BusyGuard::~BusyGuard() { QApplication::instance()->removeEventFilter(this); }

bool BusyGuard::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin: {
      auto* widget = qobject_cast<QWidget*>(watched);
      if (widget == nullptr) {
        // A window of the program (its widgets get the event next).
        return false;
      }
      QWidget* window = widget->window();
      if (window == gauge_ || window == QApplication::activeModalWidget() || window->inherits("QMenu")) return false;
      return true;
    }
    default: return false;
  }
}

QtGaugeView::QtGaugeView() : guard_(nullptr) { Window(); }

GaugeDialog* QtGaugeView::Window() {
  if (dialog_.isNull()) {
    auto* dialog = new GaugeDialog(DialogParent());
    for (int i = 0; i < 4; ++i) {
      dialog->SetCaption(i + 1, captions_[i]);
      dialog->SetValue(i + 1, values_[i]);
    }
    dialog->SetRange(maximum_);
    dialog->SetPosition(position_);
    dialog_ = dialog;
    guard_.SetGauge(dialog);
    if (shown_) dialog->show();
  }
  return dialog_.data();
}

void QtGaugeView::SetShown(bool shown) {
  shown_ = shown;
  GaugeDialog* dialog = Window();
  if (shown == dialog->isVisible()) return;
  if (shown) {
    dialog->show();
    QCoreApplication::processEvents();
  } else {
    dialog->hide();
  }
}

QtGaugeView::~QtGaugeView() {
  if (!dialog_.isNull()) {
    dialog_->hide();
    delete dialog_.data();
  }
}

void QtGaugeView::SetCaption(int line, const std::string& text) {
  if (line < 1 || line > 4) return;
  captions_[line - 1] = QString::fromStdString(Cp1252ToUtf8(text));
  Window()->SetCaption(line, captions_[line - 1]);
}

void QtGaugeView::SetValue(int line, const std::string& text) {
  if (line < 1 || line > 4) return;
  values_[line - 1] = QString::fromStdString(Cp1252ToUtf8(text));
  Window()->SetValue(line, values_[line - 1]);
}

void QtGaugeView::SetRange(int32_t maximum) {
  maximum_ = maximum;
  Window()->SetRange(maximum);
}

void QtGaugeView::SetPosition(int32_t position) {
  position_ = position;
  Window()->SetPosition(position);
}

void QtGaugeView::Repaint() { Window()->repaint(); }
bool QtGaugeView::IsVisible() const { return dialog_.isNull() ? shown_ : dialog_->isVisible(); }
void QtGaugeView::ProcessEvents() { QCoreApplication::processEvents(); }

void InstallQtMessageUiAndGauge() {
  static QtMessageUi ui;
  SetMessageUi(&ui);
  SetGaugeViewFactory([] { return std::make_unique<QtGaugeView>(); });
}

}  // namespace quilor::ui
