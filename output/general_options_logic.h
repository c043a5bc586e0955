// The logic of "General options": the switches it shows, the memory
// warning threshold, and the change of the installation mode.
#pragma once

#include <string>

namespace quilor::ui {

// The memory warning threshold, in MB.
constexpr int kMemoryLow = 1;
constexpr int kMemoryHigh = 50;

struct GeneralOptionsValues {
  bool confirmDeletions = false;
  bool wizardWhenEmpty = false;
  bool openScenarioAtStart = false;
  bool showHelpPanel = false;
  bool keepFileHistory = false;
  bool largeFonts = false;
  bool sortAlphabetical = false;
  bool linkCompoundWords = false;
  bool groupsInCapitals = false;
  bool formsWithoutAccent = false;
  bool extractsByProposition = false;
  bool showFileNames = false;  // stored inverted (hide file names)
  std::string memoryText;      // MB, 1..50

  static GeneralOptionsValues FromOptions();
  // Stores every value; a memory threshold that is not a number in 1..50 is
  // refused with a box naming the field and its range, and nothing is stored.
  bool ToOptions() const;
};

// What "Modify" (the installation mode) asks and does.
class InstallationChange {
 public:
  enum class Outcome { kUnchanged, kChangedKeepRunning, kRestartNow };
  // Asks the two questions; runs the set-up wizard in between.
  static Outcome Run();
};

}  // namespace quilor::ui
