// The "Anomalies" window: shows the anomaly list of the last Scenario load;
// a line (or Search) finds its entry in the Scenario editor.
#pragma once

#include <QDialog>

#include <functional>

#include "scenario/anomaly_list.h"

class QListWidget;

namespace quilor::ui {

class ScenarioEditor;

class AnomalyListWindow : public QDialog {
  Q_OBJECT
 public:
  // editor gives the open editor (null when it is not open); openEditor opens it.
  AnomalyListWindow(AnomalyList& list, std::function<ScenarioEditor*()> editor, std::function<void()> openEditor,
                    QWidget* parent = nullptr);
  void Refresh();
  QListWidget* List() const { return list_; }

 private:
  void Search();

  AnomalyList& model_;
  std::function<ScenarioEditor*()> editor_;
  std::function<void()> openEditor_;
  QListWidget* list_ = nullptr;
};

}  // namespace quilor::ui
