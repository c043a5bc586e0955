// OWL ontology import: an OWL ontology in RDF/XML becomes a Scenario
// ("OwlOutput.scn" in the user's Scenario folder): one group per named class,
// nested under its first superclass, holding one item per label and synonym.
// Parsing is done by expat with an element stack; entities may be internal
// and plain only (no external or parameter entity, none that refers to
// another), and depth and text length are capped. The classes past the
// class limit are left out (and counted); the others are imported. Every
// step writes its lines into the log "<input>.log". The Scenario text is
// built in memory and only a whole one is saved.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quilor {

constexpr const char* kOwlOutputName = "OwlOutput.scn";
constexpr size_t kOwlMaxDepth = 256;        // element nesting
constexpr size_t kOwlMaxText = 65533;       // characters of one value
constexpr uint32_t kOwlMaxClasses = 65535;  // named classes (the Scenario's group limit)

struct OwlImportOptions {
  bool unicode = true;                 // the input is UTF-8 (else Windows-1252)
  bool flexedForms = false;            // "Generate additional flexed forms"
  bool ignoreOtherLanguages = false;   // "Ignore the other languages"
  bool ignoreRestrictions = true;      // "Ignore classes in OWL Restrictions"
  bool verbose = false;                // "Detailed log (verbose output)"
  bool dumpInput = false;              // "Dump all the input buffers in log file"
  bool addFormsWithoutAccent = false;  // the general option
  std::string isoLanguage = "en";      // of the analysis language; "??" unknown
};

struct OwlImportStats {
  uint32_t mainClasses = 0;
  uint32_t labels = 0;
  uint32_t synonyms = 0;
  uint32_t parseErrors = 0;
  uint32_t classIdErrors = 0;
};

// Why an import failed.
enum class OwlFailure {
  kNone,
  kUnreadable,   // the file could not be read (detail: the system's words)
  kEntity,       // an entity that is not read: external, parameter or referring to another (detail: its name)
  kMalformed,    // not well-formed XML (detail: the parser's words; line and column)
  kTooDeep,      // elements nested deeper than kOwlMaxDepth
  kWriteFailed,  // the Scenario could not be saved (detail: the file and the system's words)
};

struct OwlImportResult {
  bool ok = false;
  int failedStep = 0;  // 1 parsing, 2 tree, 3 Scenario (0 when ok)
  OwlFailure failure = OwlFailure::kNone;
  std::string failureDetail;
  uint64_t failureLine = 0;
  uint64_t failureColumn = 0;
  uint32_t classesLeftOut = 0;  // named classes past kOwlMaxClasses (listed in the log)
  std::string scenario;         // the Scenario text (CR LF lines, Windows-1252)
  std::string log;              // the log text
  OwlImportStats stats;
};

// Converts the ontology text; inputName is named in the log.
OwlImportResult ConvertOwl(std::string_view xml, const std::string& inputName, const OwlImportOptions& options);

// Reads the file, converts it and, on success, saves the Scenario as
// "<scenarioFolder>/OwlOutput.scn" with the safe save. The log goes beside
// the input, or into the Scenario folder when it cannot be written there;
// logPath receives where. scenarioPath receives the produced file (empty when
// nothing was produced).
OwlImportResult ImportOwlFile(const std::string& inputPath, const std::string& scenarioFolder,
                              const OwlImportOptions& options, std::string& scenarioPath, std::string& logPath);

}  // namespace quilor
