#include "output/number_box_qt.h"

#include <algorithm>

namespace quilor::ui {

namespace {
// What may be typed: up to five digits (the range itself is checked on OK).
constexpr int kTypedMost = 99999;
}  // namespace

NumberBox::NumberBox(int low, int high, int value, QWidget* parent) : QSpinBox(parent), low_(low), high_(high) {
  setRange(0, kTypedMost);
  setValue(value);
  setWrapping(false);
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
}

QValidator::State NumberBox::validate(QString& text, int&) const {
  if (text.isEmpty()) return QValidator::Intermediate;
  if (text.size() > 5) return QValidator::Invalid;
  for (const QChar c : text)
    if (c < '0' || c > '9') return QValidator::Invalid;
  return QValidator::Acceptable;
}

void NumberBox::fixup(QString&) const {}

void NumberBox::stepBy(int steps) {
  // The buttons and the arrow keys stay inside the range, from wherever the typed number is.
  setValue(std::clamp(value() + steps, low_, high_));
  selectAll();
}

QAbstractSpinBox::StepEnabled NumberBox::stepEnabled() const {
  StepEnabled enabled = StepNone;
  if (value() < high_) enabled |= StepUpEnabled;
  if (value() > low_) enabled |= StepDownEnabled;
  return enabled;
}

}  // namespace quilor::ui
