// The Qt sides of the message box and the progress gauge.
#pragma once

#include <QDialog>

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

// The gauge's window: four caption/value lines, a bar and Stop. It is
// application-modal while shown, so that only Stop reaches the program during
// a long operation; Stop asks the gauge (TInfoJauge::ButtonArretClick).
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
  GaugeDialog* Dialog() { return dialog_; }

 private:
  GaugeDialog* dialog_;
};

// Installs the Qt message box and gauge for the program.
void InstallQtMessageUiAndGauge();

}  // namespace quilor::ui
