#include "output/gexf_export.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "core/chartables.h"
#include "core/file_queue.h"
#include "core/trie.h"
#include "engine/analysis_results.h"
#include "engine/ontology_engine.h"
#include "engine/word_list.h"
#include "platform/safe_save.h"
#include "platform/text_encoding.h"
#include "generated/message_names.h"

namespace quilor::ui {

// One file's text, line by line, written whole at the end.
class TExportGephiGEXF::Writer {
 public:
  explicit Writer(bool flat) : flat_(flat) { text_ = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"; }
  void Line(int indent, const std::string& line) {
    if (!flat_) text_.append(static_cast<size_t>(std::max(indent, 0)), '\t');
    text_ += line;
    text_ += "\r\n";
  }
  const std::string& Text() const { return text_; }

 private:
  bool flat_;
  std::string text_;
};

namespace {

constexpr uint32_t kWordServiceEvery = 40000;
constexpr uint32_t kSourceServiceEvery = 500;

std::string Attr(const char* name, const std::string& value) { return std::string(name) + "=\"" + value + "\""; }

std::string Num(int64_t value) { return std::to_string(value); }

// The name part of a path.
std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string TExportGephiGEXF::EscapeLabel(const std::string& cp1252) { return XmlEscape(cp1252.c_str()); }

std::string TExportGephiGEXF::EscapePath(const std::string& utf8) {
  // Invalid sequences become '?' through a round trip that checks every byte.
  std::string out;
  size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    bool valid = length > 0 && i + length <= utf8.size();
    for (size_t k = 1; valid && k < length; ++k) valid = (static_cast<unsigned char>(utf8[i + k]) >> 6) == 0x2;
    if (valid && length == 2 && c < 0xC2) valid = false;
    if (!valid) {
      out += '?';
      ++i;
      continue;
    }
    if (length > 1) {
      out.append(utf8, i, length);
    } else if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (c == '"') {
      out += "&quot;";
    } else if (c < 32 || c == 127) {
      out += ' ';
    } else {
      out += static_cast<char>(c);
    }
    i += length;
  }
  return out;
}

TExportGephiGEXF::TExportGephiGEXF(const GexfSource& source) : source_(source) { Init(0); }

TExportGephiGEXF::~TExportGephiGEXF() = default;

void TExportGephiGEXF::Init(uint32_t classCount) {
  classCount_ = std::min<uint32_t>(classCount, 65535);
  const size_t size = std::max<size_t>(classCount_, source_.entries.empty() ? 0 : source_.entries.size() - 1) + 1;
  frequency_.assign(size, 0);
  outEdge_.assign(size, 0);
  inEdge_.assign(size, 0);
  written_.assign(size, 0);
  nodeCount_ = 0;
  frequencyTotal_ = 0;
  minimumFrequency_ = 0x7FFFFFFF;
  maximumFrequency_ = 0;
  meanFrequency_ = 0;
  minimumEdgeWeight_ = 0;
  switches = GexfSwitches{};
  aborted_ = false;
  ontology_ = relations_ = matrixStats_ = {};
}

void TExportGephiGEXF::SetNodeFrequency(uint32_t entry, uint32_t frequency) {
  if (entry == 0 || entry >= frequency_.size()) return;
  frequency_[entry] = frequency;
  frequencyTotal_ += frequency;
  minimumFrequency_ = std::min(minimumFrequency_, frequency);
  maximumFrequency_ = std::max(maximumFrequency_, frequency);
  ++nodeCount_;
}

bool TExportGephiGEXF::Service() {
  if (aborted_) return false;
  if (service && !service()) aborted_ = true;
  return !aborted_;
}

void TExportGephiGEXF::Header(Writer& out, bool directed) const {
  out.Line(0, "<gexf xmlns=\"http://gexf.net/1.3\" xmlns:viz=\"http://gexf.net/1.3/viz\" version=\"1.3\">");
  out.Line(1, "<meta lastmodifieddate=\"2013-03-17\">");
  out.Line(2, "<creator>");
  out.Line(3, "Quilor text analysis");
  out.Line(2, "</creator>");
  out.Line(2, "<description>");
  out.Line(2, "Fernbek Quilor GEXF results");
  out.Line(2, "</description>");
  out.Line(1, "</meta>");
  out.Line(1, directed ? "<graph mode=\"static\" defaultedgetype=\"directed\">"
                       : "<graph mode=\"static\" defaultedgetype=\"undirected\">");
  out.Line(2, "<attributes class=\"node\">");
  out.Line(3, "<attribute id=\"frequency\" title=\"frequency\" type=\"float\"/>");
  out.Line(3, "<attribute id=\"domain\" title=\"domain\" type=\"string\"/>");
  if (switches.depthLevel) out.Line(3, "<attribute id=\"level\" title=\"level\" type=\"float\"/>");
  out.Line(2, "</attributes>");
  out.Line(2, "<nodes>");
}

void TExportGephiGEXF::ConceptNodes(Writer& out, GexfFileStats& stats, bool hierarchical, bool discardWithoutEdges) {
  std::fill(written_.begin(), written_.end(), 0);
  // Depths of the nodes left open (hierarchical output).
  std::vector<int> open;
  uint64_t total = 0;
  const uint32_t last = static_cast<uint32_t>(std::min<size_t>(frequency_.size(), source_.entries.size()));
  domain_ = "Unknown";
  for (uint32_t e = 1; e < last && stats.nodes < kMaxNodes; ++e) {
    const GexfSource::Entry& entry = source_.entries[e];
    const int depth = entry.depth;
    if (depth == 0) {
      domain_ = EscapeLabel(entry.label);
      const int red = 50 + static_cast<int>(random_() % 128);
      const int green = 20 + static_cast<int>(random_() % 128);
      const int blue = 1 + static_cast<int>(random_() % 128);
      colour_ = "<viz:color r=\"" + Num(red) + "\" g=\"" + Num(green) + "\" b=\"" + Num(blue) + "\"/>";
    }
    const uint32_t f = frequency_[e];
    if (f == 0 || f < nodeThreshold) continue;
    if (discardWithoutEdges && outEdge_[e] == 0 && inEdge_[e] == 0) continue;
    // A node of this depth closes the open nodes of the same or a greater depth.
    while (hierarchical && !open.empty() && open.back() >= depth) {
      const int indent = static_cast<int>(open.size());
      out.Line(indent + 1, "</nodes>");
      out.Line(indent, "</node>");
      open.pop_back();
    }
    const int indent = hierarchical ? static_cast<int>(open.size()) + 1 : depth + 1;
    out.Line(indent, "<node " + Attr("id", Num(e)) + " " + Attr("label", EscapeLabel(entry.label)) + ">");
    out.Line(indent, colour_.empty() ? "<viz:color r=\"128\" g=\"128\" b=\"128\"/>" : colour_);
    const int64_t x =
        (static_cast<int64_t>(std::trunc(static_cast<double>(entry.preVerb) / (f + 1.0) * 100.0)) - 50) * 100;
    out.Line(indent, "<viz:position x=\"" + Num(x) + "\" y=\"" + Num(static_cast<int64_t>(f) * 10) + "\" z=\"0.0\"/>");
    out.Line(indent, "<viz:size value=\"" + Num(2 * static_cast<int64_t>(f) + 1) + "\"/>");
    out.Line(indent, "<attvalues>");
    out.Line(indent + 1, "<attvalue for=\"frequency\" value=\"" + Num(f) + "\"/>");
    out.Line(indent + 1, "<attvalue for=\"domain\" value=\"" + domain_ + "\"/>");
    if (switches.depthLevel) out.Line(indent + 1, "<attvalue for=\"level\" value=\"" + Num(depth) + "\"/>");
    out.Line(indent, "</attvalues>");
    if (hierarchical) {
      out.Line(indent + 1, "<nodes>");
      open.push_back(depth);
    } else {
      out.Line(indent, "</node>");
    }
    written_[e] = 1;
    ++stats.nodes;
    total += f;
  }
  // Everything closes before the document nodes.
  while (!open.empty()) {
    const int indent = static_cast<int>(open.size());
    out.Line(indent + 1, "</nodes>");
    out.Line(indent, "</node>");
    open.pop_back();
  }
  meanFrequency_ = stats.nodes > 0 ? static_cast<double>(total) / stats.nodes : 0.0;
}

void TExportGephiGEXF::DocumentNodes(Writer& out) const {
  const size_t n = source_.documents.size();
  const int64_t m = static_cast<int64_t>(meanFrequency_);
  for (size_t i = 1; i <= n; ++i) {
    out.Line(1, "<node id=\"d" + Num(static_cast<int64_t>(i)) + "\" label=\"" +
                    EscapePath(FileNameOf(source_.documents[i - 1])) + "\">");
    out.Line(1, "<viz:color r=\"255\" g=\"255\" b=\"255\"/>");
    out.Line(1,
             meanFrequency_ < 1 ? std::string("<viz:size value=\"10\"/>") : "<viz:size value=\"" + Num(m + 1) + "\"/>");
    const int64_t p =
        static_cast<int64_t>(std::trunc(static_cast<double>(i - 1) / static_cast<double>(n) * 10000.0)) - 5000;
    out.Line(1, "<viz:position x=\"" + Num(p) + ".0\" y=\"-5000\" z=\"0.0\"/>");
    out.Line(1, "<attvalues>");
    out.Line(2, "<attvalue for=\"frequency\" value=\"" + Num(m) + "\"/>");
    out.Line(2, "<attvalue for=\"domain\" value=\"#documents\"/>");
    out.Line(1, "</attvalues>");
    out.Line(1, "</node>");
  }
}

void TExportGephiGEXF::Footer(Writer& out) const {
  out.Line(2, "</edges>");
  out.Line(1, "</graph>");
  out.Line(0, "</gexf>");
}

bool TExportGephiGEXF::Finish(Writer& out, const std::string& path) {
  if (aborted_) return false;
  return Store(path, out.Text());
}

bool TExportGephiGEXF::Store(const std::string& path, std::string text) {
  // An export is the user's file: no backup beside it, and a link planted
  // under its name is replaced, never followed.
  if (!holding_) return SafeSave(path, text, {.keepBackup = false}).ok;
  set_.emplace_back(path, std::move(text));
  return true;
}

bool TExportGephiGEXF::SaveSet() {
  holding_ = false;
  std::vector<std::pair<std::string, std::string>> files;
  files.swap(set_);
  return !aborted_ && SafeSaveSet(files, {.keepBackup = false}).ok;
}

uint32_t TExportGephiGEXF::CountNodesAtOrAbove(uint32_t minimum) const {
  uint32_t count = 0;
  for (size_t e = 1; e < frequency_.size(); ++e)
    if (frequency_[e] > 0 && frequency_[e] >= minimum) ++count;
  return count;
}

bool TExportGephiGEXF::WriteDocumentsList(const std::string& path, size_t prefixLength, bool relativePaths) {
  Writer out(switches.flat);
  out.Line(0, "<articles>");
  for (size_t i = 1; i <= source_.documents.size(); ++i) {
    const std::string& document = source_.documents[i - 1];
    std::string line = "<article docid=\"d" + Num(static_cast<int64_t>(i)) + "\" doclink=\"";
    if (prefixLength > 0 && relativePaths && prefixLength <= document.size())
      line += EscapePath(document.substr(prefixLength)) + "\"/>";
    else if (prefixLength < 1)
      line += EscapePath(document) + "\" shortname=\"" + EscapePath(FileNameOf(document)) + "\"/>";
    else line += EscapePath(document) + "\"/>";
    out.Line(1, line);
  }
  out.Line(0, "</articles>");
  return Store(path, out.Text());
}

void TExportGephiGEXF::ResetMatrix(bool symmetric) {
  matrix_ = std::make_unique<TPairCountMatrix>(kMatrixCapacity, symmetric);
  pairs_.clear();
  matrixFull_ = false;
}

bool TExportGephiGEXF::Increment(uint32_t a, uint32_t b) {
  if (matrixFull_) return false;
  const bool isNew = matrix_->PairCount(a, b) == 0;
  if (!matrix_->IncrementPairCount(a, b)) {
    matrixFull_ = true;
    return false;
  }
  if (isNew) pairs_.push_back({a, b});
  return true;
}

bool TExportGephiGEXF::WriteOntologyFile(const std::string& path) {
  if (!source_.scenarioLoaded) return false;
  Writer out(switches.flat);
  Header(out, false);
  // Data reduction: entries below a rising minimum are left out.
  uint32_t minimum = std::max<uint32_t>(1, nodeThreshold);
  if (switches.dataReduction) {
    for (uint32_t m = 2; m <= 4 && CountNodesAtOrAbove(minimum) > kMaxNodes; ++m) minimum = std::max(minimum, m);
    for (int round = 0; round < 6 && CountNodesAtOrAbove(minimum) > kMaxNodes; ++round) {
      double mean = 0;
      uint32_t count = 0;
      for (size_t e = 1; e < frequency_.size(); ++e)
        if (frequency_[e] >= minimum) mean += frequency_[e], ++count;
      mean = count > 0 ? mean / count : 0;
      const uint32_t next = std::max<uint32_t>(2, static_cast<uint32_t>(std::trunc(mean * 0.5)));
      minimum = std::max(minimum + 1, next);
    }
    for (size_t e = 1; e < frequency_.size(); ++e)
      if (frequency_[e] < minimum) frequency_[e] = 0;
  }
  ConceptNodes(out, ontology_, true, false);
  if (switches.includeDocuments) DocumentNodes(out);
  out.Line(2, "</nodes>");
  out.Line(2, "<edges>");
  // Document edges: per document, every written entry met, weighted by its words.
  std::vector<uint32_t> weight(frequency_.size(), 0);
  std::vector<uint32_t> marked;
  uint32_t edgeId = 0;
  uint32_t words = 0;
  uint32_t document = 0;
  bool stop = false;
  auto flush = [&] {
    for (uint32_t e : marked) {
      if (!(switches.dataReduction && ontology_.edges > kMaxEdges) && switches.includeDocuments && document >= 1 &&
          document <= source_.documents.size()) {
        out.Line(2, "<edge id=\"" + Num(++edgeId) + "\" source=\"d" + Num(document) + "\" target=\"" + Num(e) +
                        "\" weight=\"" + Num(weight[e]) + "\"/>");
        ++ontology_.edges;
      }
      weight[e] = 0;
    }
    marked.clear();
  };
  if (source_.walkWords) {
    source_.walkWords([&](uint32_t doc, uint32_t entry) {
      if (++words % kWordServiceEvery == 0 && !Service()) {
        stop = true;
        return false;
      }
      if (doc != document) {
        flush();
        document = doc;
      }
      if (entry == 0 || entry >= written_.size() || !written_[entry]) return true;
      if (!source_.entries[entry].counted) return true;
      if (weight[entry]++ == 0) marked.push_back(entry);
      return true;
    });
  }
  if (stop) return false;
  flush();
  Footer(out);
  return Finish(out, path);
}

bool TExportGephiGEXF::BuildRelationMatrix() {
  ResetMatrix(false);
  std::fill(outEdge_.begin(), outEdge_.end(), 0);
  std::fill(inEdge_.begin(), inEdge_.end(), 0);
  bool full = false;
  if (source_.walkRelationPairs) {
    source_.walkRelationPairs([&](uint32_t a, uint32_t b) {
      if (full || a == b || a == 0 || b == 0 || a >= frequency_.size() || b >= frequency_.size()) return;
      if (!source_.entries[a].counted || !source_.entries[b].counted) return;
      if (frequency_[a] == 0 || frequency_[b] == 0) return;
      if (frequency_[a] < nodeThreshold || frequency_[b] < nodeThreshold) return;
      if (!Increment(a, b)) {
        full = true;
        return;
      }
      outEdge_[a] = 1;
      inEdge_[b] = 1;
    });
  }
  return !full;
}

bool TExportGephiGEXF::ExportRelations(const std::string& path) {
  minimumEdgeWeight_ = 1;  // an edge needs a weight of 2 or more
  const uint32_t baseThreshold = nodeThreshold;
  uint32_t edges = 0;
  for (int build = 1; build <= 4; ++build) {
    if (progressLine) progressLine(msg::kRelationsStep);
    if (!BuildRelationMatrix()) return false;
    if (progressLine) progressLine(msg::kMatrixCompression);
    if (!Service()) return false;
    edges = 0;
    for (const Pair& p : pairs_)
      if (matrix_->PairCount(p.source, p.target) > minimumEdgeWeight_) ++edges;
    if (!switches.dataReduction || edges < kMaxEdges) break;
    ++nodeThreshold;
  }
  Writer out(switches.flat);
  Header(out, true);
  ConceptNodes(out, relations_, switches.hierarchical, switches.discardNodesWithoutEdges);
  out.Line(2, "</nodes>");
  out.Line(2, "<edges>");
  std::sort(pairs_.begin(), pairs_.end(), [](const Pair& x, const Pair& y) {
    return x.source != y.source ? x.source < y.source : x.target < y.target;
  });
  uint32_t edgeId = 0;
  uint32_t lastSource = 0;
  uint32_t sources = 0;
  for (const Pair& p : pairs_) {
    if (p.source != lastSource) {
      lastSource = p.source;
      if (++sources % kSourceServiceEvery == 0 && !Service()) return false;
    }
    if (switches.dataReduction && relations_.edges > kMaxEdges) break;
    if (!written_[p.source] || !written_[p.target]) continue;
    if (switches.discardTopLevel && (source_.entries[p.source].depth == 0 || source_.entries[p.target].depth == 0))
      continue;
    const uint32_t w = matrix_->PairCount(p.source, p.target);
    if (w <= minimumEdgeWeight_) continue;
    out.Line(2, "<edge id=\"" + Num(edgeId++) + "\" source=\"" + Num(p.source) + "\" target=\"" + Num(p.target) +
                    "\" weight=\"" + Num(w) + "\"/>");
    ++relations_.edges;
  }
  Footer(out);
  if (progressLine) progressLine(msg::kSaving);
  matrix_.reset();
  nodeThreshold = baseThreshold;
  return Finish(out, path);
}

bool TExportGephiGEXF::BuildDocumentMatrix(uint32_t minimumEdgeWeight, uint32_t& nodes, uint32_t& edges,
                                           double& meanNode, double& meanEdge) {
  ResetMatrix(true);
  std::fill(outEdge_.begin(), outEdge_.end(), 0);
  std::fill(inEdge_.begin(), inEdge_.end(), 0);
  std::vector<uint8_t> seen(frequency_.size(), 0);
  std::vector<uint32_t> marked;
  uint32_t document = 0;
  uint32_t words = 0;
  bool ok = true;
  auto pairUp = [&] {
    std::sort(marked.begin(), marked.end());
    for (size_t i = 0; ok && i < marked.size(); ++i)
      for (size_t j = 0; ok && j < i; ++j) {
        if (!Increment(marked[i], marked[j])) ok = false;
        outEdge_[marked[i]] = inEdge_[marked[j]] = 1;
      }
    for (uint32_t e : marked) seen[e] = 0;
    marked.clear();
  };
  if (source_.walkWords) {
    source_.walkWords([&](uint32_t doc, uint32_t entry) {
      if (++words % kWordServiceEvery == 0 && !Service()) {
        ok = false;
        return false;
      }
      if (doc != document) {
        pairUp();
        document = doc;
      }
      if (entry == 0 || entry >= frequency_.size() || frequency_[entry] == 0 || frequency_[entry] < nodeThreshold)
        return ok;
      if (!seen[entry]) {
        seen[entry] = 1;
        marked.push_back(entry);
      }
      return ok;
    });
  }
  if (ok) pairUp();
  if (!ok) return false;
  nodes = 0;
  uint64_t nodeTotal = 0;
  for (size_t e = 1; e < frequency_.size(); ++e)
    if (frequency_[e] > 0 && frequency_[e] >= nodeThreshold) ++nodes, nodeTotal += frequency_[e];
  edges = 0;
  uint64_t edgeTotal = 0;
  for (const Pair& p : pairs_) {
    const uint32_t w = matrix_->PairCount(p.source, p.target);
    if (w > minimumEdgeWeight) ++edges, edgeTotal += w;
  }
  meanNode = nodes > 0 ? static_cast<double>(nodeTotal) / nodes : 0;
  meanEdge = edges > 0 ? static_cast<double>(edgeTotal) / edges : 0;
  return true;
}

bool TExportGephiGEXF::ExportMatrix(const std::string& path) {
  uint32_t minimumEdge = switches.dataReduction ? 1 : 0;
  const uint32_t baseThreshold = nodeThreshold;
  uint32_t previousThreshold = nodeThreshold, previousEdge = minimumEdge;
  int rounds = 0;
  for (;;) {
    uint32_t nodes = 0, edges = 0;
    double meanNode = 0, meanEdge = 0;
    for (rounds = 1;; ++rounds) {
      if (!BuildDocumentMatrix(minimumEdge, nodes, edges, meanNode, meanEdge)) return false;
      if (progressLine) progressLine(msg::kMatrixCompression);
      if (nodes < 300 || edges < kMaxEdges || !switches.dataReduction || rounds >= 5) break;
      previousThreshold = nodeThreshold;
      previousEdge = minimumEdge;
      if (rounds >= 2 && meanEdge > 3) ++minimumEdge;
      if (meanNode <= 10) {
        if (meanEdge < 4) break;
      } else {
        ++nodeThreshold;
      }
    }
    minimumEdgeWeight_ = minimumEdge;
    Writer out(switches.flat);
    Header(out, false);
    matrixStats_ = {};
    ConceptNodes(out, matrixStats_, switches.hierarchical, switches.discardNodesWithoutEdges);
    if (switches.includeDocuments) DocumentNodes(out);
    out.Line(2, "</nodes>");
    out.Line(2, "<edges>");
    std::sort(pairs_.begin(), pairs_.end(), [](const Pair& x, const Pair& y) {
      const uint32_t xs = std::max(x.source, x.target), ys = std::max(y.source, y.target);
      const uint32_t xt = std::min(x.source, x.target), yt = std::min(y.source, y.target);
      return xs != ys ? xs < ys : xt < yt;
    });
    uint32_t edgeId = 0;
    for (const Pair& p : pairs_) {
      const uint32_t source = std::max(p.source, p.target), target = std::min(p.source, p.target);
      if (target >= source || !written_[source] || !written_[target]) continue;
      const uint32_t w = matrix_->PairCount(source, target);
      if (w <= minimumEdge) continue;
      out.Line(2, "<edge id=\"" + Num(edgeId++) + "\" source=\"" + Num(source) + "\" target=\"" + Num(target) +
                      "\" weight=\"" + Num(w) + "\"/>");
      ++matrixStats_.edges;
    }
    Footer(out);
    if (progressLine) progressLine(msg::kSaving);
    // Nothing left after the reduction: the previous thresholds once more.
    if (matrixStats_.nodes == 0 && rounds > 1 && (nodeThreshold != previousThreshold || minimumEdge != previousEdge)) {
      nodeThreshold = previousThreshold;
      minimumEdge = previousEdge;
      switches.dataReduction = false;
      continue;
    }
    matrix_.reset();
    nodeThreshold = baseThreshold;
    return Finish(out, path);
  }
}

GexfSource GexfSourceFromEngine() {
  GexfSource source;
  TOntologyEngine* engine = OntologyEngine.get();
  if (engine != nullptr) {
    source.scenarioLoaded = engine->IsScenarioLoaded();
    const uint32_t count = engine->ScenarioEntryCount();
    source.entries.resize(static_cast<size_t>(count) + 1);
    for (uint32_t e = 1; e <= count; ++e) {
      GexfSource::Entry& entry = source.entries[e];
      entry.label = engine->ScenarioClassName(static_cast<int32_t>(e));
      entry.depth = static_cast<int>(engine->ScenarioEntryDepth(e));
      entry.counted = engine->ScenarioEntryCounted(e);
      entry.frequency = engine->ScenarioEntryOccurrences(e);
      entry.preVerb = AnalysisResults ? AnalysisResults->PreVerbCount(4, e) : 0;
    }
  }
  for (int i = 1; i <= FileQueue.Count(); ++i) source.documents.emplace_back(FileQueue.Get(i));
  source.walkWords = [](const std::function<bool(uint32_t, uint32_t)>& visit) {
    for (TWordNode* node = TextWords.First(); node != nullptr && node != TextWords.Tail();
         node = TWordList::NextNode(node))
      if (!visit(node->fileNumber, node->category.ClassIds[3])) return;
  };
  source.walkRelationPairs = [](const std::function<void(uint32_t, uint32_t)>& visit) {
    if (!AnalysisResults) return;
    const TRelationStore& store = AnalysisResults->Relations;
    for (size_t i = 0; i < store.Count(); ++i) {
      const TRelationRecord* record = store.Record(i);
      if (record != nullptr && record->first[3] != 0 && record->second[3] != 0)
        visit(record->first[3], record->second[3]);
    }
  };
  return source;
}

}  // namespace quilor::ui
