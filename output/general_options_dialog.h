// "General options", "Installed applications" and the about box.
#pragma once

#include <QDialog>
#include <QIcon>

#include <functional>

#include "ui/main_window_port.h"
#include "output/display_options_logic.h"
#include "output/general_options_logic.h"
#include "output/number_box_qt.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QTableWidget;

namespace quilor::ui {

struct GeneralOptionsHooks {
  MainWindowPort* main = nullptr;
  // The colour table the views draw with (the colour options dialog edits it).
  ColourOptionsLogic::ColourTable* colours = nullptr;
  // Closes the program through its normal shut-down ("Restart now").
  std::function<void()> closeProgram;
};

class TDlgOptionsGenerales : public QDialog {
  Q_OBJECT
 public:
  // scenarioPage: open on the Scenario page.
  TDlgOptionsGenerales(GeneralOptionsHooks hooks, bool scenarioPage = false, QWidget* parent = nullptr);

  NumberBox* MemoryEdit() const { return memory_; }
  QTabWidget* Pages() const { return pages_; }
  // False (the dialog stays open) when a field was refused.
  bool ButtonOkClick();
  void ButtonParametresSetupClick();

 private:
  GeneralOptionsValues Values() const;

  GeneralOptionsHooks hooks_;
  QTabWidget* pages_ = nullptr;
  QCheckBox* boxes_[11] = {};
  QRadioButton* sortAlpha_ = nullptr;
  QRadioButton* sortFrequency_ = nullptr;
  QRadioButton* byProposition_ = nullptr;
  QRadioButton* byContext_ = nullptr;
  NumberBox* memory_ = nullptr;
};

class TDlgInfoInstall : public QDialog {
  Q_OBJECT
 public:
  explicit TDlgInfoInstall(QWidget* parent = nullptr);
  QTableWidget* Grid() const { return grid_; }
  void MenuCopierClick();

 private:
  QTableWidget* grid_ = nullptr;
  std::string text_;
};

class TAboutQuilor : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutQuilor(QWidget* parent = nullptr);
  // "Version 8.3.1 (build ...)".
  static QString VersionText();
  static const char* WebAddress();
  // The program's picture: in the About box and on every window of the program.
  static QIcon ProgramIcon();
};

}  // namespace quilor::ui
