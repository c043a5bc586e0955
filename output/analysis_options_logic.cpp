#include "output/analysis_options_logic.h"

#include <algorithm>

#include "core/messages.h"
#include "core/options.h"
#include "import/conversion_dispatch.h"

namespace quilor::ui {

namespace {

constexpr int kMsgScenarioAllCategories = 559;
constexpr int kMsgIncorrectValues = 530;
constexpr int kMsgBetween1And999 = 531;
constexpr int kMsgNumberFrom = 7350;
constexpr int kMsgNumberOfWords = 665;
constexpr int kMsgPertinenceFactor = 666;

constexpr size_t kPdf = static_cast<size_t>(ConverterFormat::kPdf);

}  // namespace

bool ParseNumberField(const std::string& text, int low, int high, int& value) {
  if (text.empty() || text.size() > 5) return false;
  int number = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  if (number < low || number > high) return false;
  value = number;
  return true;
}

std::string NumberFieldMessage(int caption, const std::string& takes) {
  std::string text = GetMessageText(caption);
  while (!text.empty() && (text.back() == ':' || text.back() == ' ')) text.pop_back();
  return text + ": " + GetMessageText(kMsgIncorrectValues) + " " + takes;
}

std::string NumberRangeText(int low, int high) {
  std::string text = GetMessageText(kMsgNumberFrom);
  for (const auto& [mark, value] : {std::pair<const char*, int>{"%1", low}, {"%2", high}})
    if (const size_t at = text.find(mark); at != std::string::npos) text.replace(at, 2, std::to_string(value));
  return text;
}

AnalysisOptionsValues AnalysisOptionsValues::FromOptions() {
  AnalysisOptionsValues v;
  v.byWords = Options->Get(opt::ThresholdKind) == 1;
  v.wordsText = std::to_string(Options->Get(opt::ClassMinWords));
  v.pertinenceText = std::to_string(Options->Get(opt::ClassPertinence));
  const uint16_t level = Options->Get(opt::RelationBase);
  v.relationLevel = level >= 1 && level <= 4 ? level : 1;
  v.scenarioOnAllCategories = Options->Switch(opt::ScenarioOnAllCategories);
  v.quantity = std::clamp<int>(Options->Get(opt::CharacteristicParts), 1, 100);
  v.wordDetailed = Options->Get(opt::WordDetailedReading) == 1;
  v.convertPdf = Options->Switch(opt::ConvertPdf);
  return v;
}

AnalysisOptionsLogic::AnalysisOptionsLogic() {
  if (!Options->Switch(opt::ScenarioOnAllCategories)) WorkContext->ScenarioOnAllCategoriesConfirmed = false;
}

bool AnalysisOptionsLogic::PdfAvailable() {
  if (ConverterAvailable(ConverterFormat::kPdf)) return true;
  ShowPdfDriverError();
  return false;
}

AnalysisOptionsResult AnalysisOptionsLogic::Accept(AnalysisOptionsValues& values) {
  // Everything is checked before anything is stored.
  int words = 0, pertinence = 0;
  badField_ = !ParseNumberField(values.wordsText, 1, 999, words)             ? AnalysisField::kWords
              : !ParseNumberField(values.pertinenceText, 1, 999, pertinence) ? AnalysisField::kPertinence
                                                                             : AnalysisField::kNone;
  if (badField_ != AnalysisField::kNone) {
    ShowError(NumberFieldMessage(badField_ == AnalysisField::kWords ? kMsgNumberOfWords : kMsgPertinenceFactor,
                                 GetMessageText(kMsgBetween1And999)));
    return AnalysisOptionsResult::kBadValue;
  }
  if (values.scenarioOnAllCategories && !WorkContext->ScenarioOnAllCategoriesConfirmed) {
    if (CancelChosen(GetMessageText(kMsgScenarioAllCategories))) {
      values.scenarioOnAllCategories = false;
      return AnalysisOptionsResult::kConfirmationRefused;
    }
    WorkContext->ScenarioOnAllCategoriesConfirmed = true;
  }
  Options->Set(opt::ThresholdKind, static_cast<uint8_t>(values.byWords ? 1 : 0));
  Options->Set(opt::ClassMinWords, static_cast<uint16_t>(words));
  Options->Set(opt::ClassPertinence, static_cast<uint16_t>(pertinence));
  Options->Set(
      opt::RelationBase,
      static_cast<uint16_t>(values.relationLevel >= 1 && values.relationLevel <= 4 ? values.relationLevel : 3));
  Options->Set(opt::ScenarioOnAllCategories, static_cast<uint8_t>(values.scenarioOnAllCategories ? 1 : 0));
  Options->Set(opt::CharacteristicParts, static_cast<uint16_t>(std::clamp(values.quantity, 1, 100)));
  Options->Set(opt::WordDetailedReading, static_cast<uint8_t>(values.wordDetailed ? 1 : 0));
  bool pdf = values.convertPdf;
  if (pdf && !Options->Switch(opt::ConvertPdf)) {
    // The library chosen in the filters dialog stays in use.
    const std::string& library = Converters.libraries[kPdf];
    pdf = EnablePdfFilter(!library.empty(), library);
    if (!pdf) ShowPdfDriverError();
  }
  Options->Set(opt::ConvertPdf, static_cast<uint8_t>(pdf ? 1 : 0));
  values.convertPdf = pdf;
  return AnalysisOptionsResult::kStored;
}

}  // namespace quilor::ui
