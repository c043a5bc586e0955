// The graph options and colour options dialogs. Each change is written at
// once and redrawn through the main window; Cancel puts back the values the
// dialog opened with.
#pragma once

#include <QDialog>

#include <memory>

#include "ui/main_window_port.h"
#include "output/display_options_logic.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QListWidget;
class QRadioButton;
class QScrollBar;

namespace quilor::ui {

class Desktop;

class GraphOptionsDialog : public QDialog {
  Q_OBJECT
 public:
  GraphOptionsDialog(TOptionsRecord& options, MainWindowPort& port, QWidget* parent = nullptr);
  ~GraphOptionsDialog() override;

  QRadioButton* KindButton(int kind) const;
  QScrollBar* ObjectsBar() const { return objects_; }
  QLabel* ObjectsLabel() const { return objectsLabel_; }
  QCheckBox* BurstsBox() const { return bursts_; }
  QRadioButton* TransparentButton() const { return transparent_; }
  QRadioButton* ThreeDButton() const { return threeD_; }

  void reject() override;

 private:
  GraphOptionsLogic logic_;
  QButtonGroup* kinds_ = nullptr;
  QScrollBar* objects_ = nullptr;
  QLabel* objectsLabel_ = nullptr;
  QCheckBox* bursts_ = nullptr;
  QRadioButton* transparent_ = nullptr;
  QRadioButton* threeD_ = nullptr;
};

class ColourOptionsDialog : public QDialog {
  Q_OBJECT
 public:
  // current: the colour table the views draw with.
  ColourOptionsDialog(TOptionsRecord& options, ColourOptionsLogic::ColourTable& current, MainWindowPort& port,
                      QWidget* parent = nullptr);
  ~ColourOptionsDialog() override;

  QListWidget* List() const { return list_; }
  QRadioButton* SelectiveButton() const { return selective_; }
  QRadioButton* SyntacticButton() const { return syntactic_; }
  void Modify();
  void Restore();
  void reject() override;

 private:
  void FillList();

  ColourOptionsLogic logic_;
  QListWidget* list_ = nullptr;
  QRadioButton* selective_ = nullptr;
  QRadioButton* syntactic_ = nullptr;
  bool filling_ = false;
};

}  // namespace quilor::ui
