// The Qt sides of the message box and the progress gauge.
#pragma once

#include <QDialog>
#include <QPointer>

#include <array>
#include <string>

#include "core/gauge.h"
#include "platform/message_ui.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace quilor::ui {

// Message boxes with the program's button layouts and, when asked, the
// "Don't show this message again" check box.
class QtMessageUi : public MessageUi {
 public:
  BoxAnswer ShowBox(const BoxRequest& request) override;
  void ShowSystemError(const std::string& text) override;
  // A dialog with the heading and every line in a scrollable list.
  void ShowList(const ListRequest& request) override;
};

// The gauge's window: four caption/value lines, a bar and Stop; Stop asks the
// gauge (TInfoJauge::ButtonArretClick). It is not modal: while it exists a
// busy guard keeps the mouse and the keyboard away from every other window of
// the program (only the gauge, a box it asks and the windows' close boxes
// work), so that a window closed during the operation stops it and closes.
class GaugeDialog : public QDialog {
  Q_OBJECT
 public:
  explicit GaugeDialog(QWidget* parent = nullptr);
  void SetCaption(int line, const QString& text);
  void SetValue(int line, const QString& text);
  void SetRange(int maximum);
  void SetPosition(int position);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void Stop();
  std::array<QLabel*, 4> captions_{};
  std::array<QLabel*, 4> values_{};
  QProgressBar* bar_ = nullptr;
  QPushButton* stop_ = nullptr;
};

// While it exists, user input goes only to the gauge and to boxes shown over
// it; close requests pass (the main window turns them into a stop).
class BusyGuard : public QObject {
 public:
  explicit BusyGuard(QWidget* gauge);
  ~BusyGuard() override;
  void SetGauge(QWidget* gauge) { gauge_ = gauge; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> gauge_;
};

// The gauge's window opens over the window in front, and Qt deletes it with
// that window: a request's work may close the terminology window while the
// gauge shows. The view then makes the window again over the one in front,
// with the lines, the range and the position it showed, so that the run
// goes on and Stop stays at hand.

class QtGaugeView : public GaugeView {
 public:
  QtGaugeView();
  ~QtGaugeView() override;
  void SetCaption(int line, const std::string& text) override;
  void SetValue(int line, const std::string& text) override;
  void SetRange(int32_t maximum) override;
  void SetPosition(int32_t position) override;
  void Repaint() override;
  bool IsVisible() const override;
  void SetShown(bool shown) override;
  void ProcessEvents() override;
  GaugeDialog* Dialog() { return Window(); }

 private:
  GaugeDialog* Window();
  QPointer<GaugeDialog> dialog_;
  BusyGuard guard_;
  std::array<QString, 4> captions_;
  std::array<QString, 4> values_;
  int maximum_ = 0;
  int position_ = 0;
  bool shown_ = false;
};

// Installs the Qt message box and gauge for the program.
void InstallQtMessageUiAndGauge();

}  // namespace quilor::ui
