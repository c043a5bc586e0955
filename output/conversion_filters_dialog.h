// "External Conversion Filters Status": the six converters, their library,
// path and class; a filter switched on or off, given another library or its
// built-in one. Its logic is ConversionFiltersLogic.
#pragma once

#include <QDialog>

#include "output/conversion_filters_logic.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QTableWidget;

namespace quilor::ui {

class TOptionsDesFiltresDeConversion : public QDialog {
  Q_OBJECT
 public:
  explicit TOptionsDesFiltresDeConversion(QWidget* parent = nullptr);

  ConversionFiltersLogic& Logic() { return logic_; }
  QListWidget* Filters() const { return list_; }
  QTableWidget* Grid() const { return grid_; }
  QCheckBox* ActiveBox() const { return active_; }
  QLabel* Status() const { return status_; }
  // The selected filter's library chosen by the user.
  void ButtonLocaliserDLLClick();
  void ButtonValeurParDefautClick();
  void CopyGrid();

  void accept() override;
  void reject() override;

 private:
  void ShowFilter();

  ConversionFiltersLogic logic_;
  QListWidget* list_ = nullptr;
  QTableWidget* grid_ = nullptr;
  QCheckBox* active_ = nullptr;
  QLabel* status_ = nullptr;
  bool loading_ = true;
};

}  // namespace quilor::ui
