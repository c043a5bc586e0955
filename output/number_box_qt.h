// A number field with its up-down buttons: the buttons step within the
// field's range, while any number of digits may be typed, so that a number
// outside the range stays as typed and OK can say which field is wrong and
// what it takes (a plain spin box would drop such a number without a word).
#pragma once

#include <QSpinBox>

namespace quilor::ui {

class NumberBox : public QSpinBox {
  Q_OBJECT
 public:
  NumberBox(int low, int high, int value, QWidget* parent = nullptr);
  int Low() const { return low_; }
  int High() const { return high_; }

 protected:
  QValidator::State validate(QString& text, int& pos) const override;
  void fixup(QString& text) const override;
  void stepBy(int steps) override;
  StepEnabled stepEnabled() const override;

 private:
  int low_;
  int high_;
};

}  // namespace quilor::ui
