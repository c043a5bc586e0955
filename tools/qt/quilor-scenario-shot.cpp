// Shows the Scenario editor on a Scenario file and saves a picture of it:
//   quilor-scenario-shot SCENARIO.scn OUT.png [SEARCH]
// The search text, when given, is searched in the tree before the picture.
#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <filesystem>
#include <iostream>

#include "core/class_file.h"
#include "core/options.h"
#include "ui/desktop.h"
#include "scenario/scenario_editor_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) {
    std::cerr << "usage: quilor-scenario-shot SCENARIO.scn OUT.png [SEARCH]\n";
    return 64;
  }
  const std::filesystem::path scenario = argv[1];
  quilor::WorkContext->UserScenarioFolder = scenario.parent_path().string();
  quilor::Options->Set(quilor::opt::ScenarioFileName, scenario.filename().string());
  if (!quilor::LoadClassFile(quilor::ScenarioFile, scenario.string())) return 66;
  quilor::ui::FakeMainWindow mainWindow;
  quilor::ui::ScenarioEditorWindow* window = quilor::ui::ScenarioEditorWindowInstance(&mainWindow, nullptr);
  quilor::ui::ScenarioEditor& editor = window->Editor();
  editor.Open();
  window->resize(480, 640);
  window->show();
  const std::string out = argv[2];
  const std::string search = argc > 3 ? argv[3] : "";
  QTimer::singleShot(200, [&] {
    if (!search.empty()) editor.SearchName(search);
  });
  QTimer::singleShot(600, [&] {
    window->grab().save(QString::fromStdString(out));
    app.quit();
  });
  return app.exec();
}
