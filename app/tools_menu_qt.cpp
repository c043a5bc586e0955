#include "app/tools_menu_qt.h"

#include <QAction>
#include <QMenu>

#include "core/files.h"
#include "mainwindow/main_window.h"
#include "ui/texts_qt.h"

namespace quilor::ui {

namespace {

void Show(TVekEditForm& window, CommandId id, bool visible, const QString& caption = {}) {
  QAction* action = window.Command(id);
  action->setVisible(visible);
  if (!caption.isEmpty()) action->setText(caption);
}

// The separator just before a command in its menu.
QAction* SeparatorBefore(QAction* action) {
  if (action == nullptr) return nullptr;
  for (QObject* object : action->associatedObjects()) {
    auto* menu = qobject_cast<QMenu*>(object);
    if (menu == nullptr) continue;
    const QList<QAction*> actions = menu->actions();
    const int at = static_cast<int>(actions.indexOf(action));
    if (at > 0 && actions[at - 1]->isSeparator()) return actions[at - 1];
    if (at > 0) return menu->insertSeparator(action);
  }
  return nullptr;
}

}  // namespace

void InstallToolsMenu(TVekEditForm& window, const ToolsMenuEntries& entries,
                      std::function<std::vector<std::string>()> resultLines) {
  Show(window, CommandId::MenuOutilsLumo, !entries.lumo.empty());
  Show(window, CommandId::MenuOutilsTarvik, !entries.tarvik.empty());
  Show(window, CommandId::MenuOutilsDemora, entries.demora.found, FromCp1252(entries.demora.name));
  Show(window, CommandId::MenuOutilsMellaro, entries.mellaro.found, FromCp1252(entries.mellaro.name));
  if (QAction* separator = SeparatorBefore(window.Command(CommandId::MenuOutilsLumo)))
    separator->setVisible(entries.separatorShown);
  if (QAction* separator = SeparatorBefore(window.Command(CommandId::MenuOutilsDemora)))
    separator->setVisible(entries.siblingSeparatorShown);
  if (!entries.lumo.empty())
    window.SetCommandHandler(CommandId::MenuOutilsLumo, [path = entries.lumo] { RunProgramArguments({path}); });
  if (!entries.tarvik.empty())
    window.SetCommandHandler(CommandId::MenuOutilsTarvik, [path = entries.tarvik] { RunProgramArguments({path}); });
  if (entries.mellaro.found)
    window.SetCommandHandler(CommandId::MenuOutilsMellaro,
                             [exec = entries.mellaro.exec] { StartOutsideProgram(exec); });
  if (entries.demora.found) {
    TVekEditForm* main = &window;
    window.SetCommandHandler(CommandId::MenuOutilsDemora, [main, path = entries.demora.path, resultLines] {
      ShowHourglass();
      const std::vector<std::string> lines =
          resultLines && main->TextLoaded() ? resultLines() : std::vector<std::string>();
      const std::string file = lines.empty() ? std::string() : WriteResultsForDemora(lines, "Qu");
      RunProgramArguments(file.empty() ? std::vector<std::string>{path} : std::vector<std::string>{path, file});
      RestoreCursor();
    });
  }
  for (int n = 1; n <= 4; ++n) {
    const PluginSlot& slot = entries.plugins[n - 1];
    const CommandId id = NthCommand(CommandId::MenuOutilsPlugin1, n);
    Show(window, id, entries.pluginShown[n - 1], FromCp1252(slot.label));
    if (entries.pluginShown[n - 1])
      window.SetCommandHandler(id,
                               [exec = slot.program, options = slot.options] { StartOutsideProgram(exec, options); });
  }
}

}  // namespace quilor::ui
