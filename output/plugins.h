// Outside programs the Tools menu offers: up to four plug-ins, and the
// sibling programs Demora (open questions) and Mellaro, found the way this
// desktop finds programs, by their .desktop entries.
//
// A plug-in slot n (1..4) is the file "Plugin<n>.desktop" in the user's
// "$XDG_CONFIG_HOME/Quilor/plugins/" folder, else in "<root>/plugins/": its
// Exec is the program, Name the label and X-Quilor-Options the options. A
// sibling is found by "demora.desktop" or "mellaro.desktop" in the XDG
// applications folders, when the program its Exec names exists.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace quilor::ui {

// The longest command name shown in the Tools menu (longer ones are cut).
constexpr size_t kMaxPluginLabel = 64;

struct PluginSlot {
  std::string label;    // Windows-1252 ("Unknown plugin" when the entry has no name)
  std::string program;  // the Exec line
  std::string options;
  bool InUse() const { return !program.empty(); }
};

struct SiblingProgram {
  bool found = false;
  std::string name;     // display name
  std::string version;  // version text
  std::string path;     // the executable
  std::string exec;     // the Exec line of its entry
};

struct PluginFolders {
  std::string user;  // "$XDG_CONFIG_HOME/Quilor/plugins"
  std::string root;  // "<root>/plugins"
  static PluginFolders Current();
};

// Fills the four slots; true when any is in use.
bool LoadPluginList(std::array<PluginSlot, 4>& slots, const PluginFolders& folders = PluginFolders::Current());

// The XDG applications folders, most personal first.
std::vector<std::string> ApplicationFolders();
bool DetectDemora(SiblingProgram& program, const std::vector<std::string>& folders = ApplicationFolders());
bool DetectMellaro(SiblingProgram& program, const std::vector<std::string>& folders = ApplicationFolders());

// The arguments of an Exec line (desktop-entry quoting), its field codes
// (%f %F %u %U %i %c %k ...) removed, "%%" giving '%'; then the extra
// options split the same way. Empty when the line is empty.
std::vector<std::string> ExecArguments(const std::string& exec, const std::string& extraOptions = {});
// Starts a plug-in or a sibling directly (never through a shell); false when it could not start.
bool StartOutsideProgram(const std::string& exec, const std::string& options = {});

}  // namespace quilor::ui
