#include "app/options_commands_qt.h"

#include "core/options.h"
#include "mainwindow/main_window.h"
#include "ui/view_state.h"
#include "output/analysis_options_dialog.h"
#include "output/display_options_dialog.h"
#include "output/general_options_dialog.h"

namespace quilor::ui {

bool ShowAnalysisOptions(TVekEditForm& window, bool conversionPage) {
  TOptionsAnalyse dialog(conversionPage, &window);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  if (accepted && dialog.Changed() && window.TextLoaded()) window.ReLancerAnalyse();
  return accepted;
}

void InstallOptionsCommands(TVekEditForm& window) {
  TVekEditForm* main = &window;
  window.SetCommandHandler(CommandId::OptionsdAnalyse, [main] { ShowAnalysisOptions(*main, false); });
  window.SetAnalysisOptionsOpener([main](bool conversionPage) { return ShowAnalysisOptions(*main, conversionPage); });
  window.SetCommandHandler(CommandId::MenuOptionsGenerales, [main] {
    const bool largeFonts = Options->Switch(opt::LargeFonts);
    const bool sort = Options->Switch(opt::SortAlphabetical);
    const bool extracts = Options->Switch(opt::ExtractsByProposition);
    GeneralOptionsHooks hooks;
    hooks.main = main;
    hooks.colours = &ViewState.CurrentColours;
    hooks.closeProgram = [main] { main->close(); };
    TDlgOptionsGenerales dialog(hooks, false, main);
    dialog.exec();
    // What the main window shows differently.
    if (largeFonts != Options->Switch(opt::LargeFonts) || sort != Options->Switch(opt::SortAlphabetical) ||
        extracts != Options->Switch(opt::ExtractsByProposition)) {
      main->ApplyListFonts();
      if (main->TextLoaded()) main->SwitchAffichageSurDerniereFonctionUtilise();
      main->RazAffichageEtGraphe();
    }
  });
  window.SetCommandHandler(CommandId::MenuGraphe, [main] {
    GraphOptionsDialog dialog(*Options, *main, main);
    dialog.exec();
  });
  window.SetCommandHandler(CommandId::MenuCouleurs, [main] {
    ColourOptionsDialog dialog(*Options, ViewState.CurrentColours, *main, main);
    dialog.exec();
  });
  window.SetCommandHandler(CommandId::HelpAboutItem, [main] {
    TAboutQuilor about(main);
    about.exec();
  });
}

}  // namespace quilor::ui
