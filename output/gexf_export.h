// GEXF export of the analysed documents: an ontology graph of the Scenario
// entries with the documents, a directed graph of the relations between
// entries, a documents x concepts matrix graph, and the list of documents.
// Files are GEXF 1.3 in UTF-8 with a byte-order mark and CR LF line ends.
//
// The exporter reads its data through GexfSource, so that it can be fed by a
// real run (GexfSourceFromEngine) or by a test.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace quilor {
class TPairCountMatrix;
}

namespace quilor::ui {

// What the export reads of a run.
struct GexfSource {
  struct Entry {
    std::string label;  // Windows-1252
    int depth = 0;
    bool counted = false;    // a class of the Scenario that is counted
    uint32_t frequency = 0;  // occurrences in the text
    uint32_t preVerb = 0;    // occurrences before the first verb of a proposition
  };
  std::vector<Entry> entries;          // 1-based: entries[0] unused
  std::vector<std::string> documents;  // paths (UTF-8), document i is documents[i - 1]
  // Calls visit(document number 1..n, Scenario entry or 0) for each word in text order.
  std::function<void(const std::function<bool(uint32_t, uint32_t)>& visit)> walkWords;
  // Calls visit(source entry, target entry) for each level-4 pair of the relation store.
  std::function<void(const std::function<void(uint32_t, uint32_t)>& visit)> walkRelationPairs;
  bool scenarioLoaded = false;
};

// The source of the current analysis (TextWords, OntologyEngine, AnalysisResults, FileQueue).
GexfSource GexfSourceFromEngine();

struct GexfSwitches {
  bool hierarchical = false;  // children nested in their parent
  bool discardNodesWithoutEdges = false;
  bool dataReduction = false;  // at most 50,000 nodes and about 90,000 edges
  bool includeDocuments = true;
  bool flat = false;             // no indentation
  bool discardTopLevel = false;  // relations: skip depth-0 entries on both ends
  bool depthLevel = false;       // the "level" attribute
};

struct GexfFileStats {
  uint32_t nodes = 0;
  uint32_t edges = 0;
};

class TExportGephiGEXF {
 public:
  static constexpr uint32_t kMaxNodes = 50000;
  static constexpr uint32_t kMaxEdges = 90000;
  static constexpr uint32_t kMatrixCapacity = 5000000;

  explicit TExportGephiGEXF(const GexfSource& source);
  ~TExportGephiGEXF();
  TExportGephiGEXF(const TExportGephiGEXF&) = delete;
  TExportGephiGEXF& operator=(const TExportGephiGEXF&) = delete;

  // Counters 0, frequencies cleared, switches to their defaults.
  void Init(uint32_t classCount);
  void SetNodeFrequency(uint32_t entry, uint32_t frequency);

  GexfSwitches switches;
  uint32_t nodeThreshold = 0;  // minimum frequency of a written node

  // Each writes its file whole; false on a write error, an abort or a full matrix.
  bool WriteDocumentsList(const std::string& path, size_t prefixLength, bool relativePaths);
  bool WriteOntologyFile(const std::string& path);
  bool ExportRelations(const std::string& path);
  bool ExportMatrix(const std::string& path);

  // Called during long steps; false asks to stop (the Stop button).
  std::function<bool()> service;
  // The progress line: the number of the message naming the step (306, 1423, 78).
  std::function<void(int message)> progressLine;

  // From now on the files are kept and written together by SaveSet: a set
  // is replaced whole or not at all (a previous set stays as it was).
  void HoldForOneSet() { holding_ = true; }
  bool SaveSet();

  bool Aborted() const { return aborted_; }
  void Abort() { aborted_ = true; }
  const GexfFileStats& OntologyStats() const { return ontology_; }
  const GexfFileStats& RelationStats() const { return relations_; }
  const GexfFileStats& MatrixStats() const { return matrixStats_; }
  double MeanFrequency() const { return meanFrequency_; }

  // Label text made XML-safe (XmlEscape: whole references up to about 507
  // characters, control characters as blanks, characters above 127 as references).
  static std::string EscapeLabel(const std::string& cp1252);
  // A UTF-8 file name made XML-safe (invalid bytes become '?').
  static std::string EscapePath(const std::string& utf8);

 private:
  class Writer;
  struct Pair {
    uint32_t source;
    uint32_t target;
  };

  bool Service();
  void Header(Writer& out, bool directed) const;
  // Writes the concept nodes; counts them into stats.
  void ConceptNodes(Writer& out, GexfFileStats& stats, bool hierarchical, bool discardWithoutEdges);
  void DocumentNodes(Writer& out) const;
  void Footer(Writer& out) const;
  bool Finish(Writer& out, const std::string& path);
  // Writes the file through the safe save, or keeps it for the set.
  bool Store(const std::string& path, std::string text);
  bool holding_ = false;
  std::vector<std::pair<std::string, std::string>> set_;
  uint32_t Frequency(uint32_t entry) const { return entry < frequency_.size() ? frequency_[entry] : 0; }
  uint32_t CountNodesAtOrAbove(uint32_t minimum) const;
  // Relations: fills the matrix; false when it is full.
  bool BuildRelationMatrix();
  // Matrix: per document, every pair of entries; false when it is full.
  bool BuildDocumentMatrix(uint32_t minimumEdgeWeight, uint32_t& nodes, uint32_t& edges, double& meanNode,
                           double& meanEdge);
  void ResetMatrix(bool symmetric);
  bool Increment(uint32_t a, uint32_t b);

  const GexfSource& source_;
  std::vector<uint32_t> frequency_;
  std::vector<uint8_t> outEdge_, inEdge_;
  std::vector<uint8_t> written_;
  uint32_t classCount_ = 0;
  uint32_t nodeCount_ = 0;
  uint64_t frequencyTotal_ = 0;
  uint32_t minimumFrequency_ = 0x7FFFFFFF;
  uint32_t maximumFrequency_ = 0;
  double meanFrequency_ = 0;
  uint32_t minimumEdgeWeight_ = 0;
  std::unique_ptr<TPairCountMatrix> matrix_;
  std::vector<Pair> pairs_;  // the distinct pairs in the matrix
  bool matrixFull_ = false;
  bool aborted_ = false;
  std::mt19937 random_{20130317};
  std::string domain_ = "Unknown";
  std::string colour_;
  GexfFileStats ontology_, relations_, matrixStats_;
};

}  // namespace quilor::ui
