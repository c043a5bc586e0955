#include "app/export_commands_qt.h"

#include <QPointer>

#include "core/messages.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "ui/view_state.h"
#include "mainwindow/main_window.h"
#include "output/borders_dialog.h"
#include "output/gexf_export_dialog.h"
#include "output/report_dialog.h"

namespace quilor::ui {

namespace {

constexpr int kMsgAnalyseFirst = 6600;

QPointer<TDialogueDelimiteurs> bordersDialog;

}  // namespace

std::string DefaultDraggedWord(bool fromList);

TDialogueDelimiteurs* OpenBordersDialog() { return bordersDialog.data(); }

uint32_t SelectedScenarioEntry() {
  return ViewState.selection.kind == kSelectClass && ViewState.selection.classLevel == 4
             ? ViewState.selection.firstClass
             : 0;
}

std::string DefaultDraggedWord(bool fromList) {
  if (fromList) return ViewState.selection.firstTerm;
  const TWordNode* node = TextWords.First();
  while (node != nullptr && node != TextWords.Tail() && node->position < ViewState.DragWordPosition)
    node = TWordList::NextNode(node);
  return node != nullptr && node != TextWords.Tail() && node->position == ViewState.DragWordPosition ? node->text : "";
}

void InstallExportCommands(TVekEditForm& window, ExportCommandSources sources) {
  TVekEditForm* main = &window;
  if (!sources.draggedWord) sources.draggedWord = DefaultDraggedWord;
  if (!sources.selectedScenarioEntry) sources.selectedScenarioEntry = SelectedScenarioEntry;
  window.SetCommandHandler(CommandId::MenuDelimiteurs, [main, sources] {
    if (bordersDialog) {
      bordersDialog->showNormal();
      bordersDialog->raise();
      bordersDialog->activateWindow();
      return;
    }
    bordersDialog = new TDialogueDelimiteurs(main, sources.draggedWord, main);
    bordersDialog->setAttribute(Qt::WA_DeleteOnClose);
    bordersDialog->show();
  });
  window.SetCommandHandler(CommandId::MenuExports, [main] {
    if (TextWords.Count() == 0) {
      ShowError(GetMessageText(kMsgAnalyseFirst));
      return;
    }
    TDlgExportsGEXFDansQuilor dialog(main);
    dialog.exec();
  });
  window.SetCommandHandler(CommandId::MenuGenererUnRapport, [main, sources] {
    TDlgReportMng dialog(sources.selectedScenarioEntry(), main);
    dialog.exec();
  });
  window.AddClosingCallback([] {
    if (bordersDialog) bordersDialog->close();
  });
}

}  // namespace quilor::ui
