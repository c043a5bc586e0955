// The main window's commands: menu items, tool buttons and popup items, each
// named by its id. A command's name (its component name, "FichierOuvrir",
// "ToolButtonGrapheEtoile"...) is the object name of its QAction and tool
// button; code names a command by its id only, so a misspelt command does not
// compile.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace quilor::ui {

// X(id): every command, in the order the window builds them, a group a line.
// clang-format off
#define QUILOR_COMMANDS(X)                                                                                \
  /* File */                                                                                              \
  X(FichierOuvrir) X(MenuOuvrirUnDossier)                                                                 \
  X(MenuHistoDossier1) X(MenuHistoDossier2) X(MenuHistoDossier3) X(MenuHistoDossier4)                     \
  X(MenuHistoDossier5) X(MenuHistoDossier6) X(MenuHistoDossier7) X(MenuHistoDossier8)                     \
  X(MenuHistoDossierEffacer) X(MenuHistoDossierTraiterSousDossiers)                                       \
  X(FichierEnregistrerSous) X(MenuEnregistrerEnHTML) X(Fermer1) X(MenuImprimer1) X(MenuNouvelleFenetre)   \
  X(MenuHistoFichier1) X(MenuHistoFichier2) X(MenuHistoFichier3) X(MenuHistoFichier4)                     \
  X(MenuHistoFichier5) X(MenuHistoFichier6) X(MenuHistoFichier7) X(MenuHistoFichier8)                     \
  X(FileExitItem)                                                                                         \
  /* Edit */                                                                                              \
  X(CopyTexteDsClipBrd) X(CopyGraphDsClipBrd) X(CopyResultatsDsClipBrd) X(MenuContexte) X(MenuChercher)  \
  X(MenuTriFrequence) X(MenuTriResultatsAlphabetique)                                                     \
  /* Show: the result types in their order, then the views */                                            \
  X(MenuStyleGeneral) X(MenuUnivers1) X(MenuUnivers2) X(MenuUnivers3) X(MenuAfficheScenario)             \
  X(MenuRelations) X(MenuCategFrequentes) X(MenuToutesCategories) X(MenuLemmesVerbes)                     \
  X(MenuLemmesAdjectifs) X(MenuLemmesSubstantifs) X(MenuEpisodes)                                         \
  X(MenuToutLeTexte) X(MenuAfficherFichiers)                                                              \
  /* Tools */                                                                                             \
  X(MenuScenario) X(MenuDelimiteurs) X(MenuExtractionTerminologique) X(MenuExports)                       \
  X(MenuGenererUnRapport) X(OptionsdAnalyse) X(MenuOptionsGenerales) X(MenuGraphe) X(MenuCouleurs)        \
  X(MenuAfficherGraphe) X(MenuOutilsLumo) X(MenuOutilsTarvik) X(MenuOutilsDemora) X(MenuOutilsMellaro)    \
  X(MenuOutilsPlugin1) X(MenuOutilsPlugin2) X(MenuOutilsPlugin3) X(MenuOutilsPlugin4)                     \
  /* Help */                                                                                              \
  X(HelpIndex) X(HelpGraphes) X(HelpClasses) X(HelpCategories) X(HelpScenario) X(HelpNotions)             \
  X(MenuHelpWeb) X(HelpAboutItem)                                                                         \
  /* Tool bar (the buttons of their own) */                                                               \
  X(ToolButtonGrapheEtoile) X(ToolButtonGrapheAire) X(ToolButtonGrapheActeurs)                            \
  X(ToolButtonGrapheRepartition) X(ToolButtonGrapheRafales)                                               \
  /* Popup of the results list */                                                                         \
  X(PopupResultatsCopier) X(PopupResultatsOuvrirScenario) X(PopupResultatDbClick1)                        \
  X(PopupResultatsAjouter1) X(PopupResultatsInserer1) X(PopupTriAlpha) X(PopupTriFrequence)               \
  X(PopupMasquerLesBranches) X(PopupToutDevelopper)                                                       \
  /* Popup of the text page */                                                                            \
  X(PopupImageTexteCopier) X(PopupImageTexteChercher) X(PopupImageTexteCopierDsScenario)                  \
  X(PopupImageTexteInsererDsScenario)                                                                     \
  /* Popup of the graph */                                                                                \
  X(PopupImageGrapheCopier) X(PopupImageGrapheCacher)                                                     \
  /* The results toolbar */                                                                               \
  X(ToolButtonResultatsPrecedent) X(ToolButtonResultatsSuivant) X(ToolButtonResultatsCopier)              \
  X(ToolButtonResultatTri) X(ToolButtonMasquerDevelopper) X(ToolButtonChercherDsScenario)                 \
  X(ToolButtonResultatsScenarioAjouter) X(ToolButtonResultatsScenarioInserer)
// clang-format on

enum class CommandId : unsigned char {
#define QUILOR_COMMAND_ID(id) id,
  QUILOR_COMMANDS(QUILOR_COMMAND_ID)
#undef QUILOR_COMMAND_ID
};

inline constexpr std::size_t kCommandCount = [] {
  std::size_t n = 0;
#define QUILOR_COMMAND_COUNT(id) ++n;
  QUILOR_COMMANDS(QUILOR_COMMAND_COUNT)
#undef QUILOR_COMMAND_COUNT
  return n;
}();

// The component name of a command.
constexpr std::string_view CommandName(CommandId id) {
  constexpr std::array<std::string_view, kCommandCount> kNames = {
#define QUILOR_COMMAND_NAME(id) #id,
      QUILOR_COMMANDS(QUILOR_COMMAND_NAME)
#undef QUILOR_COMMAND_NAME
  };
  return kNames[static_cast<std::size_t>(id)];
}

// The n-th command (1-based) of a numbered run that starts at `first`
// (MenuHistoDossier1, MenuHistoFichier1, MenuOutilsPlugin1).
constexpr CommandId NthCommand(CommandId first, int n) {
  return static_cast<CommandId>(static_cast<int>(first) + n - 1);
}
static_assert(NthCommand(CommandId::MenuHistoDossier1, 8) == CommandId::MenuHistoDossier8);
static_assert(NthCommand(CommandId::MenuHistoFichier1, 8) == CommandId::MenuHistoFichier8);
static_assert(NthCommand(CommandId::MenuOutilsPlugin1, 4) == CommandId::MenuOutilsPlugin4);

// Every command, in the order of their names.
const std::array<CommandId, kCommandCount>& CommandsByName();

}  // namespace quilor::ui
