// The user's options record, the work context and the general state.
//
// TOptionsRecord is the exact image of the options file: 14,920 bytes,
// little-endian, a version (15) first and an end marker (1234578) last.
// Fields are reached by offset through the typed descriptors of namespace
// opt; bytes no descriptor names travel unchanged with the file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/safe_save.h"

namespace quilor {

constexpr size_t kOptionsRecordSize = 14920;
constexpr uint32_t kOptionsVersion = 15;
constexpr uint32_t kOptionsEndMarker = 1234578;
constexpr size_t kPathFieldSize = 261;  // 260 characters and the NUL

struct U8Field {
  size_t offset;
};
struct U16Field {
  size_t offset;
};
struct U32Field {
  size_t offset;
};
struct DoubleField {
  size_t offset;
};
// A NUL-terminated text of at most size - 1 characters.
struct TextField {
  size_t offset;
  size_t size;
};

namespace opt {
constexpr U32Field Version{0};
constexpr U8Field ExcelReportByte{87};
constexpr U32Field ScenarioFileDate{260};  // modification time of the Scenario file last read or written (seconds)
constexpr U32Field WizardThreshold{264};   // New Scenario wizard: occurrences a class needs, in words
constexpr U32Field ExcelChartType{268};    // 0..5
constexpr U32Field ExcelTableType{272};    // 0 selection, 1 branch, 2 whole Scenario
constexpr U32Field ExcelMaxCharts{276};    // 1..255
constexpr U32Field Reserved280{280};
constexpr U32Field Reserved284{284};
constexpr U32Field DictionaryStamp{288};
constexpr U16Field GraphSetting344{344};
constexpr U16Field GraphMaxObjects{346};  // 4..100
constexpr U16Field GraphKind{352};        // 1 areas, 2 star, 3 distribution, 4 bursts, 5 actors
constexpr U16Field DocumentKind{354};
constexpr U16Field Reserved356{356};
constexpr U16Field ClassMinWords{358};        // 1..999
constexpr U16Field ClassPertinence{360};      // 1..999, ten-thousandths of the words
constexpr U16Field RelationBase{362};         // 1..4
constexpr U16Field CharacteristicParts{364};  // 1..100
constexpr U16Field WizardLevel{366};          // New Scenario wizard: level 3, 2, 1, or 0 for substantives
constexpr U16Field Reserved368{368};
constexpr U16Field Reserved370{370};
constexpr U16Field SizeThreshold{372};  // units of 1,024,000 bytes
constexpr U16Field DistributionGraphSetting{374};
constexpr U16Field Reserved376{376};
constexpr U16Field OpenFilterIndex{378};
constexpr DoubleField DoubleSetting{384};
constexpr U8Field Reserved552{552};
constexpr U8Field WordSearchSwitch553{553};
constexpr U8Field AreaGraph3D{554};
constexpr U8Field Reserved555{555};
constexpr U8Field Reserved556{556};
constexpr U8Field PerDocumentOutput557{557};
constexpr U8Field ShowGraph{558};
constexpr U8Field DisplaySwitch559{559};
constexpr U8Field Reserved560{560};
constexpr U8Field ThresholdKind{561};  // 1 minimum words, 0 pertinence
constexpr U8Field Reserved562{562};
constexpr U8Field PrintInColour{563};
constexpr U8Field GraphOptionsSwitch564{564};
constexpr U8Field ScenarioOnAllCategories{565};
constexpr U8Field ShowBorders{566};
constexpr U8Field BurstsNotOnAllCategories{567};
constexpr U8Field Reserved568{568};
constexpr U8Field Reserved569{569};
constexpr U8Field Reserved570{570};
constexpr U8Field WizardUnclassifiedReferences{571};  // the wizard takes only the added classes
constexpr U8Field SelectiveColouring{572};
constexpr U8Field WordSearchAdd{573};
constexpr U8Field Reserved574{574};
constexpr U8Field GexfBrowseFolder{575};
constexpr U8Field ConfirmDeletions{576};
constexpr U8Field Reserved577{577};
constexpr U8Field Reserved578{578};
constexpr U8Field PerDocumentOutput579{579};
constexpr U8Field GexfPathsWithoutPrefix{580};
constexpr U8Field RunWizardWhenEmpty{583};
constexpr U8Field OpenScenarioAtStart{584};
constexpr U8Field ShowHelpPanel{585};
constexpr U8Field KeepFileHistory{586};
constexpr U8Field Reserved587{587};
constexpr U8Field LargeFonts{588};
constexpr U8Field Reserved589{589};
constexpr U8Field Reserved590{590};
constexpr U8Field Reserved591{591};
constexpr U8Field SortAlphabetical{592};
constexpr U8Field LinkCompoundWords{593};
constexpr U8Field Reserved594{594};
constexpr U8Field ExcelShowCharts{595};
constexpr U8Field WordDetailedReading{596};
constexpr U8Field ConvertPdf{597};
constexpr U8Field GroupsInCapitals{598};
constexpr U8Field Reserved599{599};
constexpr U8Field AddFormsWithoutAccent{600};
constexpr U8Field WordSearchLinkScenario{601};
constexpr U8Field ExtractsByProposition{602};
constexpr U8Field ConversionFilterSwitch603{603};
constexpr U8Field TermLocateAutomatically{609};
constexpr U8Field TermLocateInText{610};
constexpr U8Field TermShowCompounds{611};
constexpr U8Field TermShowUnclassified{612};
constexpr U8Field TermMostSignificant{613};
constexpr U8Field DoNotSubclassify{614};
constexpr U8Field Reserved616{616};
constexpr U8Field Reserved617{617};
constexpr U8Field Reserved618{618};
constexpr U8Field GexfWriteMatrix{619};
constexpr U8Field Reserved620{620};
constexpr U8Field Reserved621{621};
constexpr U8Field GexfDataReduction{622};
constexpr U8Field GexfDialogCleared{623};
constexpr U8Field Reserved624{624};
constexpr U8Field Normalisation{625};
constexpr U8Field Reserved626{626};
constexpr U8Field Reserved627{627};
constexpr U8Field Reserved628{628};
constexpr U8Field Reserved629{629};
constexpr U8Field ConversionFilterSetting630{630};
constexpr U8Field WizardNoRootGroup{632};  // the wizard makes no top-level group (Subclassify off)
constexpr U8Field Reserved633{633};
constexpr U8Field AskUpdateDefaultScenario{634};
constexpr U8Field ConversionFilterSwitch635{635};
constexpr U8Field ConversionFilterSwitch636{636};
constexpr U8Field ConversionFilterSwitch637{637};
constexpr U8Field ConversionFilterSwitch638{638};
constexpr U8Field GexfDoNotOpenRelations{641};
constexpr U8Field GexfDiscardLoneNodes{642};
constexpr U8Field GexfDiscardTopLevel{643};
constexpr U8Field GexfLevelAttribute{644};
constexpr U8Field HideFileNames{645};
constexpr U8Field NoSubFolders{646};  // 0: sub-folders are scanned
constexpr TextField ScenarioFileName{667, 522};
constexpr TextField BordersFileName{1189, kPathFieldSize};
constexpr TextField FileDialogMask{1450, kPathFieldSize};
constexpr TextField LastFolder{1711, kPathFieldSize};
// Tables whose inner layout belongs to their users: GEXF export texts (three
// and six texts of 261 bytes) and the conversion-filter data.
constexpr size_t GexfTextsA = 2233;
constexpr size_t GexfTextsACount = 3;
constexpr size_t GexfTextsB = 3016;
constexpr size_t GexfTextsBCount = 6;
constexpr size_t ConversionFilterData = 4582;
constexpr size_t ConversionFilterDataSize = 8500 - 4582;
constexpr size_t Colours = 8500;  // 17 x u32, 0x00BBGGRR
constexpr size_t ColourCount = 17;
constexpr size_t ClassPalette = 8568;  // 16 x u32
constexpr size_t PaletteCount = 16;
constexpr size_t FolderHistory = 8632;  // 12 x 261
constexpr size_t FileHistory = 11764;   // 12 x 261, entry 1 first
constexpr size_t HistoryCount = 12;
constexpr size_t PrintSwitches = 14896;  // 13 bytes
constexpr size_t PrintSwitchCount = 13;
constexpr U32Field EndMarker{14912};

constexpr U32Field Colour(size_t i) { return U32Field{Colours + 4 * i}; }
constexpr U32Field PaletteColour(size_t i) { return U32Field{ClassPalette + 4 * i}; }
constexpr TextField FolderHistoryEntry(size_t i) {
  return TextField{FolderHistory + kPathFieldSize * i, kPathFieldSize};
}
constexpr TextField FileHistoryEntry(size_t i) { return TextField{FileHistory + kPathFieldSize * i, kPathFieldSize}; }
constexpr TextField GexfTextA(size_t i) { return TextField{GexfTextsA + kPathFieldSize * i, kPathFieldSize}; }
constexpr TextField GexfTextB(size_t i) { return TextField{GexfTextsB + kPathFieldSize * i, kPathFieldSize}; }
constexpr U8Field PrintSwitch(size_t i) { return U8Field{PrintSwitches + i}; }
}  // namespace opt

// The Scenario files installed with the program, which the Scenario editor
// protects (the first is also the default current name).
constexpr const char* kDefaultScenarioNames[5] = {"Concepts US V8.scn", "Concepts US V8.scn", "Concepts UK V8.scn",
                                                  "Natural sciences US V7.scn", "Chemistry US V7.scn"};
constexpr const char* kDefaultScenarioName = kDefaultScenarioNames[0];
// True when name (a file-name part) is one of them, ignoring ASCII case.
bool IsDefaultScenarioName(std::string_view name);

class TOptionsRecord {
 public:
  TOptionsRecord() { ResetSettings(); }

  uint8_t Get(U8Field f) const { return bytes_[f.offset]; }
  uint16_t Get(U16Field f) const;
  uint32_t Get(U32Field f) const;
  double Get(DoubleField f) const;
  std::string Get(TextField f) const;  // up to the first NUL within the field
  void Set(U8Field f, uint8_t v) { bytes_[f.offset] = v; }
  void Set(U16Field f, uint16_t v);
  void Set(U32Field f, uint32_t v);
  void Set(DoubleField f, double v);
  // Cut to size - 1 characters; the rest of the field is cleared.
  void Set(TextField f, std::string_view text);
  bool Switch(U8Field f) const { return bytes_[f.offset] != 0; }

  uint8_t* Data() { return bytes_.data(); }
  const uint8_t* Data() const { return bytes_.data(); }
  static constexpr size_t Size() { return kOptionsRecordSize; }

  // Clears every byte and writes every default.
  void ResetSettings();
  void ResetColourSettings();
  void GetColourSettings(uint32_t (&colours)[opt::ColourCount]) const;
  // Ends every text field with a NUL and puts numbers outside their range
  // back in it (run on every image read from a file).
  void Sanitise();

 private:
  std::array<uint8_t, kOptionsRecordSize> bytes_{};
};
static_assert(sizeof(TOptionsRecord) == kOptionsRecordSize);

// Takes a file image: True when it has at least 14,920 bytes with the right
// version and end marker (the record is then sanitised); otherwise the record
// gets its defaults and the result is False.
bool ReadOptionsImage(std::string_view image, TOptionsRecord& record);
// Reads the options file; a missing, short, unreadable or foreign file gives
// the defaults and False.
bool ReadOptionsFile(const std::string& path, TOptionsRecord& record);
// Writes the 14,920 bytes through the safe save.
SaveResult WriteOptionsFile(const std::string& path, const TOptionsRecord& record);
// Two programs of one user share the options file and each writes it at its
// end. mine is this program's record, base the file as this program read it,
// disk the file as it is now: the fields mine changed since base take their
// place in disk, the others keep what disk holds, and the file and folder
// histories keep the entries this program put in front followed by disk's
// (less those this program took out).
void MergeOptionsChanges(const TOptionsRecord& base, const TOptionsRecord& mine, TOptionsRecord& disk);

// The general state (11 bytes, never saved).
struct TGeneralState {
  uint8_t Language = 4;  // 4 English; selects dictionaries and language rules
  uint8_t GluedWordVariant = 1;
  uint8_t RunSwitch2 = 1;
  uint8_t RunSwitch3 = 0;
  uint8_t MayWriteOptions = 1;  // the options file may be written at shut-down
  uint8_t RunSwitch5 = 0;
  uint8_t HideResultsTab = 0;
  uint8_t RunSwitch7 = 0;
  uint8_t RunStarted = 0;
  uint8_t RunSwitch9 = 1;
  uint8_t RunSwitch10 = 1;

  void Reset() { *this = TGeneralState(); }
};
static_assert(sizeof(TGeneralState) == 11);

// One external export definition of the options INI file.
struct TExportDefinition {
  std::string DisplayName;    // NomExtension, 260 characters
  std::string ExtensionText;  // Extension, 260 characters
  uint8_t Kind = 0;           // Fonction
  bool Direct = false;
  std::string OutputFileName;   // NomFichier, 260 characters
  bool WeightedResult = false;  // ResultatPondere
  int32_t Multiplier = 0;
  std::string FileSuffix;  // SuffixFich, 3 characters
  uint8_t AnsiResult = 0;
  bool MultipleTables = false;
  bool Lemmatiser = false;
  bool LemmaType0 = false;
  bool Filtering = false;
  bool Xml = false;
  bool OverwriteFile = false;
  bool Detail = false;
  bool Boolean = false;
  char DecimalMark = 0;   // VirguleNum
  uint8_t Separator = 0;  // Separateur
};

constexpr size_t kSearchKeyCount = 20;
constexpr size_t kExportDefinitionCount = 10;

// What is known only while the program runs. Texts are Windows-1252;
// paths hold at most 260 characters, search keys 79, the identification 20.
struct TWorkContext {
  int32_t GaugeValue1 = 0;
  int32_t GaugeValue2 = 0;
  std::array<uint16_t, 20> CopyDataValues{};
  std::array<uint16_t, kSearchKeyCount> SearchKeyKinds{};
  std::array<std::string, kSearchKeyCount> SearchKeys;
  // Class number of each key (command file and requests); 0 for none.
  std::array<uint16_t, kSearchKeyCount> SearchKeyClassNumbers{};
  uint8_t TextClosed = 0;
  uint8_t ViewRefreshed = 0;
  // Switches of the options INI file.
  char IndexPosition = 0;
  bool ZuvovReadOnly = false;
  bool ClientServeur = false;
  bool MultiUserSetup = true;
  bool AuthIndexation = true;
  bool SauverOptions = true;
  bool Messages = true;
  bool MessGenIndex = false;
  bool ExtensionSectionFound = false;
  uint8_t IniSpare = 1;
  uint16_t CalculationBase = 1;  // 1 words, 2 propositions (BaseCalcul)
  uint16_t SecondBase = 1;
  std::array<TExportDefinition, kExportDefinitionCount> Exports;
  // Command-line switches.
  bool FileNamed = false;
  bool SwitchF = false;
  bool SwitchI = false;
  bool SwitchR = false;
  bool SwitchEValid = false;
  bool SwitchS = false;
  uint16_t SwitchEValue = 0;
  std::array<uint8_t, 3> StartBytes{};
  uint16_t FileParameterIndex = 0;
  std::string UserIdent;
  uint8_t AnalysisOptionsByte = 0;
  uint8_t PrintInColour = 0;
  uint8_t SpareByte = 0;
  // Folders and names in use.
  std::string CurrentFileName;
  std::string InstallRoot;
  std::string DictionaryMask;
  std::string FileDialogMask = "*.*";
  std::string UserScenarioFolder;
  std::string BordersFolder;
  std::string ProgramScenarioFolder;
  std::string WizardScenarioPath;
  std::string CommandLineFile;
  std::string CommandLineScenario;
  // Set once the user confirmed the Scenario on all word categories.
  bool ScenarioOnAllCategoriesConfirmed = false;
  // The command file being consumed: deleted when the text is released.
  std::string PendingCommandFile;

  void Reset() { *this = TWorkContext(); }
};

// The three global records; they always hold their defaults or later values.
extern TOptionsRecord* Options;
extern TWorkContext* WorkContext;
extern TGeneralState* GeneralState;

void ResetSettings();
void ResetColourSettings();
void GetColourSettings(uint32_t (&colours)[opt::ColourCount]);
void ResetGeneralState();
void ResetWorkContext();

}  // namespace quilor
