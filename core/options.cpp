#include "core/options.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/read_file.h"

namespace quilor {

namespace {

TOptionsRecord OptionsStorage;
TWorkContext WorkContextStorage;
TGeneralState GeneralStateStorage;

constexpr uint32_t kDefaultColours[opt::ColourCount] = {
    0, 0x000000A0, 0x0000FFFF, 0x00FF00FF, 0x0080FFA0, 0x00FFFF00, 0,          0, 0,
    0, 0,          0x00FF0000, 0x00FF0000, 0x00FF00FF, 0x0000FF00, 0x00C0C0C0, 0};
constexpr uint32_t kDefaultPalette[opt::PaletteCount] = {0x000000, 0xFF0000, 0x0000FF, 0xFF00FF, 0x00FFFF, 0x000080,
                                                         0x808080, 0x00FF00, 0xFFFFFF, 0xFFFF00, 0x4000C0, 0x800080,
                                                         0x0080FF, 0x808000, 0x404040, 0x80FF00};

struct U8Default {
  U8Field field;
  uint8_t value;
};
struct U16Default {
  U16Field field;
  uint16_t value;
};
struct U32Default {
  U32Field field;
  uint32_t value;
};

// Every non-zero default of the record (the rest is zero).
constexpr U32Default kU32Defaults[] = {{opt::Version, kOptionsVersion}, {opt::WizardThreshold, 3},
                                       {opt::ExcelMaxCharts, 8},        {opt::Reserved280, 40},
                                       {opt::Reserved284, 12},          {opt::EndMarker, kOptionsEndMarker}};
constexpr U16Default kU16Defaults[] = {{opt::GraphSetting344, 50},
                                       {opt::GraphMaxObjects, 30},
                                       {opt::GraphKind, 1},
                                       {opt::DocumentKind, 10},
                                       {opt::Reserved356, 1},
                                       {opt::ClassMinWords, 3},
                                       {opt::ClassPertinence, 15},
                                       {opt::RelationBase, 1},
                                       {opt::CharacteristicParts, 90},
                                       {opt::WizardLevel, 1},
                                       {opt::Reserved368, 4},
                                       {opt::Reserved370, 3},
                                       {opt::SizeThreshold, 25},
                                       {opt::DistributionGraphSetting, 14},
                                       {opt::Reserved376, 4},
                                       {opt::OpenFilterIndex, 12}};
constexpr U8Field kU8OnByDefault[] = {opt::Reserved552,
                                      opt::WordSearchSwitch553,
                                      opt::AreaGraph3D,
                                      opt::Reserved555,
                                      opt::Reserved556,
                                      opt::ShowGraph,
                                      opt::DisplaySwitch559,
                                      opt::Reserved560,
                                      opt::ThresholdKind,
                                      opt::GraphOptionsSwitch564,
                                      opt::Reserved568,
                                      opt::Reserved569,
                                      opt::Reserved570,
                                      opt::SelectiveColouring,
                                      opt::Reserved574,
                                      opt::GexfBrowseFolder,
                                      opt::ConfirmDeletions,
                                      opt::RunWizardWhenEmpty,
                                      opt::ShowHelpPanel,
                                      opt::KeepFileHistory,
                                      opt::Reserved587,
                                      opt::Reserved589,
                                      opt::ExcelShowCharts,
                                      opt::WordDetailedReading,
                                      opt::ConvertPdf,
                                      opt::GroupsInCapitals,
                                      opt::AddFormsWithoutAccent,
                                      opt::WordSearchLinkScenario,
                                      opt::ConversionFilterSwitch603,
                                      opt::TermLocateAutomatically,
                                      opt::TermLocateInText,
                                      opt::TermShowCompounds,
                                      opt::TermShowUnclassified,
                                      opt::Reserved616,
                                      opt::Reserved617,
                                      opt::Reserved618,
                                      opt::Reserved621,
                                      opt::GexfDataReduction,
                                      opt::Reserved624,
                                      opt::Reserved626,
                                      opt::Reserved627,
                                      opt::Reserved628,
                                      opt::AskUpdateDefaultScenario,
                                      opt::GexfDoNotOpenRelations,
                                      opt::GexfDiscardLoneNodes};
constexpr double kDefaultDoubleSetting = 0.4;

// A number outside [low, high] takes the replacement.
struct U16Range {
  U16Field field;
  uint16_t low;
  uint16_t high;
  uint16_t replacement;
};
struct U32Range {
  U32Field field;
  uint32_t low;
  uint32_t high;
  uint32_t replacement;
};

// The size threshold is multiplied by 1,024,000 into a signed 32-bit byte
// count: above 2,047 it would overflow.
constexpr uint16_t kMaxSizeThreshold = 2047;
// 12 built-in filters of the open dialog and up to 10 of the export definitions.
constexpr uint16_t kMaxOpenFilterIndex = 22;

constexpr U16Range kU16Ranges[] = {{opt::GraphMaxObjects, 4, 100, 8},
                                   {opt::GraphKind, 1, 5, 2},  // a kind unknown is shown as the star
                                   {opt::DocumentKind, 1, 43, 10},
                                   {opt::ClassMinWords, 1, 999, 3},
                                   {opt::ClassPertinence, 1, 999, 15},
                                   {opt::RelationBase, 1, 4, 1},
                                   {opt::CharacteristicParts, 1, 100, 90},
                                   {opt::SizeThreshold, 0, kMaxSizeThreshold, 25},
                                   {opt::OpenFilterIndex, 1, kMaxOpenFilterIndex, 12}};
constexpr U32Range kU32Ranges[] = {
    {opt::ExcelChartType, 0, 5, 0}, {opt::ExcelTableType, 0, 2, 0}, {opt::ExcelMaxCharts, 1, 255, 8}};

}  // namespace

TOptionsRecord* Options = &OptionsStorage;
TWorkContext* WorkContext = &WorkContextStorage;
TGeneralState* GeneralState = &GeneralStateStorage;

uint16_t TOptionsRecord::Get(U16Field f) const {
  return static_cast<uint16_t>(bytes_[f.offset] | (bytes_[f.offset + 1] << 8));
}

uint32_t TOptionsRecord::Get(U32Field f) const {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | bytes_[f.offset + static_cast<size_t>(i)];
  return v;
}

double TOptionsRecord::Get(DoubleField f) const {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | bytes_[f.offset + static_cast<size_t>(i)];
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

std::string TOptionsRecord::Get(TextField f) const {
  const char* p = reinterpret_cast<const char*>(bytes_.data() + f.offset);
  return std::string(p, strnlen(p, f.size));
}

void TOptionsRecord::Set(U16Field f, uint16_t v) {
  bytes_[f.offset] = static_cast<uint8_t>(v);
  bytes_[f.offset + 1] = static_cast<uint8_t>(v >> 8);
}

void TOptionsRecord::Set(U32Field f, uint32_t v) {
  for (size_t i = 0; i < 4; ++i) bytes_[f.offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

void TOptionsRecord::Set(DoubleField f, double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  for (size_t i = 0; i < 8; ++i) bytes_[f.offset + i] = static_cast<uint8_t>(bits >> (8 * i));
}

void TOptionsRecord::Set(TextField f, std::string_view text) {
  text = text.substr(0, std::min(text.size(), f.size - 1));
  size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  std::memset(bytes_.data() + f.offset, 0, f.size);
  if (!text.empty())
    std::memcpy(bytes_.data() + f.offset, text.data(), text.size());  // an empty view may hold no pointer
}

void TOptionsRecord::ResetSettings() {
  bytes_.fill(0);
  for (const auto& d : kU32Defaults) Set(d.field, d.value);
  for (const auto& d : kU16Defaults) Set(d.field, d.value);
  for (const auto& f : kU8OnByDefault) Set(f, 1);
  Set(opt::DoubleSetting, kDefaultDoubleSetting);
  ResetColourSettings();
  Set(opt::ScenarioFileName, kDefaultScenarioName);
  Set(opt::PrintSwitch(0), 1);
  Set(opt::PrintSwitch(4), 1);
}

void TOptionsRecord::ResetColourSettings() {
  for (size_t i = 0; i < opt::ColourCount; ++i) Set(opt::Colour(i), kDefaultColours[i]);
  for (size_t i = 0; i < opt::PaletteCount; ++i) Set(opt::PaletteColour(i), kDefaultPalette[i]);
}

void TOptionsRecord::GetColourSettings(uint32_t (&colours)[opt::ColourCount]) const {
  for (size_t i = 0; i < opt::ColourCount; ++i) colours[i] = Get(opt::Colour(i));
}

void TOptionsRecord::Sanitise() {
  auto terminate = [this](TextField f) { bytes_[f.offset + f.size - 1] = 0; };
  terminate(opt::ScenarioFileName);
  terminate(opt::BordersFileName);
  terminate(opt::FileDialogMask);
  terminate(opt::LastFolder);
  for (size_t i = 0; i < opt::GexfTextsACount; ++i) terminate(opt::GexfTextA(i));
  for (size_t i = 0; i < opt::GexfTextsBCount; ++i) terminate(opt::GexfTextB(i));
  for (size_t i = 0; i < opt::HistoryCount; ++i) {
    terminate(opt::FolderHistoryEntry(i));
    terminate(opt::FileHistoryEntry(i));
  }
  for (const auto& r : kU16Ranges) {
    uint16_t v = Get(r.field);
    if (v < r.low || v > r.high) Set(r.field, r.replacement);
  }
  for (const auto& r : kU32Ranges) {
    uint32_t v = Get(r.field);
    if (v < r.low || v > r.high) Set(r.field, r.replacement);
  }
  if (!std::isfinite(Get(opt::DoubleSetting))) Set(opt::DoubleSetting, kDefaultDoubleSetting);
}

bool ReadOptionsImage(std::string_view image, TOptionsRecord& record) {
  if (image.size() >= kOptionsRecordSize) {
    TOptionsRecord candidate;
    std::memcpy(candidate.Data(), image.data(), kOptionsRecordSize);
    if (candidate.Get(opt::Version) == kOptionsVersion && candidate.Get(opt::EndMarker) == kOptionsEndMarker) {
      candidate.Sanitise();
      record = candidate;
      return true;
    }
  }
  record.ResetSettings();
  return false;
}

bool ReadOptionsFile(const std::string& path, TOptionsRecord& record) {
  std::string image;
  ReadFileStatus status = ReadWholeFile(path, kOptionsRecordSize, image);
  if (status != ReadFileStatus::kOk && status != ReadFileStatus::kTooLarge) image.clear();
  return ReadOptionsImage(image, record);
}

SaveResult WriteOptionsFile(const std::string& path, const TOptionsRecord& record) {
  return SafeSave(path, std::string_view(reinterpret_cast<const char*>(record.Data()), record.Size()));
}

namespace {

// A list of 12 path fields, entry 1 first: its entries up to the first empty one.
std::vector<std::string> HistoryList(const TOptionsRecord& r, size_t offset) {
  std::vector<std::string> list;
  for (size_t i = 0; i < opt::HistoryCount; ++i) {
    std::string entry = r.Get(TextField{offset + kPathFieldSize * i, kPathFieldSize});
    if (entry.empty()) break;
    list.push_back(std::move(entry));
  }
  return list;
}

bool Holds(const std::vector<std::string>& list, const std::string& entry) {
  return std::find(list.begin(), list.end(), entry) != list.end();
}

// The entries this program put at the front of its history (opened, or
// opened again), then the entries of the other's, less those this program
// took out.
void MergeHistory(const TOptionsRecord& base, const TOptionsRecord& mine, TOptionsRecord& disk, size_t offset) {
  const std::vector<std::string> was = HistoryList(base, offset);
  const std::vector<std::string> now = HistoryList(mine, offset);
  if (now == was) return;
  // The front is what precedes the longest tail of now that keeps the order of was.
  size_t front = now.size();
  size_t at = was.size();
  while (front > 0) {
    size_t k = at;
    while (k > 0 && was[k - 1] != now[front - 1]) --k;
    if (k == 0) break;
    at = k - 1;
    --front;
  }
  std::vector<std::string> merged(now.begin(), now.begin() + static_cast<std::ptrdiff_t>(front));
  // A full list pushes its last entries out without taking them out.
  std::vector<std::string> removed;
  if (now.size() < opt::HistoryCount)
    for (const std::string& e : was)
      if (!Holds(now, e)) removed.push_back(e);
  for (const std::string& e : HistoryList(disk, offset))
    if (!Holds(merged, e) && !Holds(removed, e)) merged.push_back(e);
  for (size_t i = 0; i < opt::HistoryCount; ++i)
    disk.Set(TextField{offset + kPathFieldSize * i, kPathFieldSize}, i < merged.size() ? merged[i] : std::string());
}

struct Span {
  size_t offset;
  size_t size;
};

}  // namespace

void MergeOptionsChanges(const TOptionsRecord& base, const TOptionsRecord& mine, TOptionsRecord& disk) {
  const size_t historyBytes = opt::HistoryCount * kPathFieldSize;
  MergeHistory(base, mine, disk, opt::FileHistory);
  MergeHistory(base, mine, disk, opt::FolderHistory);
  // Texts and the filters' block go whole; every other byte on its own.
  std::vector<Span> wholes = {{opt::ScenarioFileName.offset, opt::ScenarioFileName.size},
                              {opt::BordersFileName.offset, opt::BordersFileName.size},
                              {opt::FileDialogMask.offset, opt::FileDialogMask.size},
                              {opt::LastFolder.offset, opt::LastFolder.size},
                              {opt::ConversionFilterData, opt::ConversionFilterDataSize}};
  for (size_t i = 0; i < opt::GexfTextsACount; ++i) wholes.push_back({opt::GexfTextA(i).offset, kPathFieldSize});
  for (size_t i = 0; i < opt::GexfTextsBCount; ++i) wholes.push_back({opt::GexfTextB(i).offset, kPathFieldSize});
  const uint8_t* b = base.Data();
  const uint8_t* m = mine.Data();
  uint8_t* d = disk.Data();
  std::vector<bool> done(TOptionsRecord::Size(), false);
  for (size_t i = 0; i < historyBytes; ++i) done[opt::FileHistory + i] = done[opt::FolderHistory + i] = true;
  for (const Span& s : wholes) {
    if (std::memcmp(b + s.offset, m + s.offset, s.size) != 0) std::memcpy(d + s.offset, m + s.offset, s.size);
    for (size_t i = 0; i < s.size; ++i) done[s.offset + i] = true;
  }
  for (size_t i = 0; i < TOptionsRecord::Size(); ++i)
    if (!done[i] && b[i] != m[i]) d[i] = m[i];
}

void ResetSettings() { Options->ResetSettings(); }
void ResetColourSettings() { Options->ResetColourSettings(); }
void GetColourSettings(uint32_t (&colours)[opt::ColourCount]) { Options->GetColourSettings(colours); }
void ResetGeneralState() { GeneralState->Reset(); }
void ResetWorkContext() { WorkContext->Reset(); }

bool IsDefaultScenarioName(std::string_view name) {
  for (const char* d : kDefaultScenarioNames) {
    const std::string_view n(d);
    if (n.size() == name.size() && std::equal(n.begin(), n.end(), name.begin(), [](char a, char b) {
          auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
          return lower(a) == lower(b);
        }))
      return true;
  }
  return false;
}

}  // namespace quilor
