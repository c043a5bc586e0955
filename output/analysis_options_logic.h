// The logic of the "Analysis options" dialog: the values it shows, read from
// the options record, and Accept, which checks everything first and then
// stores everything, or nothing.
#pragma once

#include <string>

namespace quilor::ui {

struct AnalysisOptionsValues {
  bool byWords = true;         // threshold kind: a number of words, else a pertinence factor
  std::string wordsText;       // 1..999
  std::string pertinenceText;  // 1..999
  int relationLevel = 1;       // 1 References .. 4 Scenario
  bool scenarioOnAllCategories = false;
  int quantity = 90;         // characteristic parts, 1..100
  bool wordDetailed = true;  // Word 97-2003: detailed reading, else binary
  bool convertPdf = true;

  static AnalysisOptionsValues FromOptions();
};

// A number field's text as a number from low to high: digits only, at most
// five of them (what the number boxes let be typed). False otherwise.
bool ParseNumberField(const std::string& text, int low, int high, int& value);
// A number field's refusal: "<caption>: Incorrect value(s). <what it takes>".
std::string NumberFieldMessage(int caption, const std::string& takes);
// "Type a number from <low> to <high>."
std::string NumberRangeText(int low, int high);

enum class AnalysisOptionsResult {
  kStored,               // everything stored; the dialog closes
  kConfirmationRefused,  // the Scenario question was answered Cancel: nothing stored, the box unchecked
  kBadValue,             // a threshold is not a number in 1..999: nothing stored (one error box naming it)
};

// The threshold fields, as Accept names the one it refused.
enum class AnalysisField { kNone, kWords, kPertinence };

class AnalysisOptionsLogic {
 public:
  // Cleared when the dialog opens without the Scenario option on.
  AnalysisOptionsLogic();

  // Checks and stores values; asks the Scenario question once (message 559).
  AnalysisOptionsResult Accept(AnalysisOptionsValues& values);
  // A change of a control (ignored while the dialog fills itself).
  void Change() {
    if (!filling_) changed_ = true;
  }
  void SetFilling(bool on) { filling_ = on; }
  bool Changed() const { return changed_; }
  // The field the last Accept refused (kNone when it refused none).
  AnalysisField BadField() const { return badField_; }
  void Cancel() { changed_ = false; }

  // Asking for PDF conversion while no PDF converter is available: false and
  // the driver error shown; the button goes back to "no conversion".
  static bool PdfAvailable();

 private:
  bool changed_ = false;
  bool filling_ = false;
  AnalysisField badField_ = AnalysisField::kNone;
};

}  // namespace quilor::ui
