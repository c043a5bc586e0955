#include "import/owl_import.h"

#include <expat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/chartables.h"
#include "core/inflection.h"
#include "core/lexicon.h"
#include "platform/read_file.h"
#include "platform/safe_save.h"
#include "platform/text_encoding.h"

namespace quilor {

namespace {

constexpr const char* kRdf = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";
constexpr const char* kRdfs = "http://www.w3.org/2000/01/rdf-schema#";
constexpr const char* kOwl = "http://www.w3.org/2002/07/owl#";
constexpr const char* kXml = "http://www.w3.org/XML/1998/namespace";
constexpr const char* kSkos = "http://www.w3.org/2004/02/skos/core#";
constexpr char kSeparator = ' ';
constexpr size_t kBlock = 65536;
constexpr size_t kMaxLabel = 79;
// Bigger input files are refused as unreadable.
constexpr size_t kMaxOwlInput = size_t{1} << 30;
constexpr int kMaxGroupDepth = 8;

struct Name {
  std::string ns;
  std::string local;
  bool Is(const char* n, const char* l) const { return ns == n && local == l; }
};

Name SplitName(const XML_Char* name) {
  const char* sep = std::strchr(name, kSeparator);
  if (!sep) return {std::string(), name};
  return {std::string(name, sep), sep + 1};
}

std::string LocalNameOf(const std::string& iri) {
  const size_t cut = iri.find_last_of("#/");
  return cut == std::string::npos ? iri : iri.substr(cut + 1);
}

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A value as one line: runs of XML white space (and other control
// characters) become one blank; none at either end.
std::string OneLine(const std::string& text) {
  std::string out;
  for (char ch : text) {
    const bool blank = IsXmlSpace(ch) || static_cast<unsigned char>(ch) < 0x20;
    if (!blank) out += ch;
    else if (!out.empty() && out.back() != ' ') out += ' ';
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

size_t CountOf(std::string_view text, char c) { return static_cast<size_t>(std::count(text.begin(), text.end(), c)); }

// A label for the log: the characters Windows-1252 has, and "U+XXXX" for the others.
std::string CodePoints(std::string_view utf8) {
  std::string out;
  size_t at = 0;
  while (at < utf8.size()) {
    char32_t cp = 0;
    if (!NextUtf8CodePoint(utf8, at, cp)) {
      out += '?';
      continue;
    }
    const int byte = Cp1252ByteOf(cp);
    if (byte >= 0) {
      out += static_cast<char>(byte);
      continue;
    }
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
    out += code;
  }
  return out;
}

// Whether a label holds something that can stand for a word: not only
// blanks, "_" and the "?" of characters that could not be converted.
bool HasWordCharacter(std::string_view text) { return text.find_first_not_of(" _?") != std::string_view::npos; }

// Code points up to U+00FF back to their bytes (the input was read as Latin-1).
std::string Utf8ToBytes(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
      const unsigned cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3Fu);
      out += cp <= 0xFF ? static_cast<char>(cp) : '?';
    } else {
      out += '?';
      while (i + 1 < utf8.size() && (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) ++i;
    }
  }
  return out;
}

enum class FrameKind { kOther, kRdf, kMainClass, kSubClassOf, kRestriction, kLabel, kSynonym };

struct Frame {
  FrameKind kind = FrameKind::kOther;
  uint32_t cls = 0;  // the main class this element belongs to
  bool inSubClassOf = false;
  bool inRestriction = false;
};

struct OwlClass {
  std::string id;
  std::vector<std::string> labels;  // first label first, then the others and synonyms
  bool hasLabel = false;
  uint32_t parent = 0;
};

class Converter {
 public:
  Converter(const OwlImportOptions& options, OwlImportResult& result) : options_(options), result_(result) {}
  ~Converter() {
    if (parser_) XML_ParserFree(parser_);
  }

  void Log(const std::string& line) { result_.log += line + "\r\n"; }

  bool Parse(std::string_view xml) {
    parser_ = XML_ParserCreateNS(options_.unicode ? nullptr : "ISO-8859-1", kSeparator);
    if (!parser_) {
      Log("*** Internal Error: Init TrieOWLClassId");
      return false;
    }
    XML_SetUserData(parser_, this);
    XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetEntityDeclHandler(parser_, &Converter::OnEntityDecl);
    XML_SetElementHandler(parser_, &Converter::OnStart, &Converter::OnEnd);
    XML_SetCharacterDataHandler(parser_, &Converter::OnText);
    size_t pos = 0;
    do {
      const size_t n = std::min(kBlock, xml.size() - pos);
      if (options_.dumpInput) {
        std::string block(xml.substr(pos, n));
        std::replace(block.begin(), block.end(), '\0', ' ');
        Log("---dump (begin)---");
        Log(block);
        Log("---dump (end)---");
      }
      const bool last = pos + n >= xml.size();
      if (XML_Parse(parser_, xml.data() + pos, static_cast<int>(n), last) != XML_STATUS_OK) {
        result_.failureLine = XML_GetCurrentLineNumber(parser_);
        result_.failureColumn = XML_GetCurrentColumnNumber(parser_) + 1;  // the parser counts from 0
        if (result_.failure == OwlFailure::kNone) {
          result_.failure = OwlFailure::kMalformed;
          result_.failureDetail = XML_ErrorString(XML_GetErrorCode(parser_));
          Log("*** XML Syntax Error !!! " + result_.failureDetail + " at line " + std::to_string(result_.failureLine) +
              ", column " + std::to_string(result_.failureColumn));
        } else {
          Log("*** XML Syntax Error !!! " + refusal_);
        }
        return false;
      }
      pos += n;
    } while (pos < xml.size());
    return true;
  }

  void BuildTree() {
    for (const auto& [id, cls] : queue_) {
      auto it = ids_.find(id);
      if (it == ids_.end()) {
        if (leftOut_.count(id)) {
          Log("*** Warning - superclass left out (over the class limit) for: " + NameOf(cls));
          continue;
        }
        Log("*** Error - ClassId undefined for: " + id);
        ++result_.stats.classIdErrors;
        continue;
      }
      OwlClass& c = classes_[cls];
      if (it->second == cls) continue;  // a class is not its own parent
      if (c.parent == 0) {
        c.parent = it->second;
        if (options_.verbose) Log("* Processing: " + NameOf(cls) + " -> Class: \"" + NameOf(it->second) + "\"");
      } else if (c.parent != it->second) {
        Log("*** Warning - multiple SubClassOf for: " + NameOf(cls));
      }
    }
  }

  void WriteScenario() {
    const size_t count = classes_.size() - 1;
    std::vector<std::vector<uint32_t>> children(classes_.size());
    for (uint32_t c = 1; c <= count; ++c)
      if (classes_[c].parent) children[classes_[c].parent].push_back(c);
    std::vector<bool> written(classes_.size(), false);
    auto writeTree = [&](uint32_t root) {
      std::vector<std::pair<uint32_t, int>> stack{{root, 0}};
      while (!stack.empty()) {
        auto [c, depth] = stack.back();
        stack.pop_back();
        if (written[c]) continue;
        written[c] = true;
        WriteClass(c, depth);
        for (auto it = children[c].rbegin(); it != children[c].rend(); ++it)
          if (!written[*it]) stack.push_back({*it, depth + 1});
      }
    };
    for (uint32_t c = 1; c <= count; ++c)
      if (!classes_[c].parent) writeTree(c);
    // What is left hangs from a cycle of superclasses: a member of the cycle
    // goes to the top, and its subtree with it.
    for (uint32_t c = 1; c <= count; ++c) {
      if (written[c]) continue;
      std::unordered_set<uint32_t> seen;
      uint32_t member = c;
      while (classes_[member].parent && seen.insert(member).second) member = classes_[member].parent;
      Log("** Warning - SubClassOf cycle, class written at the top: " + NameOf(member));
      writeTree(member);
    }
  }

  std::string NameOf(uint32_t c) const {
    const OwlClass& k = classes_[c];
    return k.labels.empty() ? LocalNameOf(k.id) : k.labels.front();
  }

  uint32_t ClassCount() const { return static_cast<uint32_t>(classes_.size() - 1); }

 private:
  static void XMLCALL OnEntityDecl(void* data, const XML_Char* name, int isParameter, const XML_Char* value, int length,
                                   const XML_Char*, const XML_Char* systemId, const XML_Char* publicId,
                                   const XML_Char* notation) {
    auto* self = static_cast<Converter*>(data);
    const bool refers = value && (std::memchr(value, '&', static_cast<size_t>(length)) ||
                                  std::memchr(value, '%', static_cast<size_t>(length)));
    if (!isParameter && !systemId && !publicId && !notation && value && !refers) return;
    self->Stop(OwlFailure::kEntity, name, std::string("Entity refused: ") + name);
  }

  std::string Text(const std::string& utf8) const { return options_.unicode ? Utf8ToCp1252(utf8) : Utf8ToBytes(utf8); }

  std::string Attribute(const XML_Char** attributes, const char* ns, const char* local) const {
    for (size_t i = 0; attributes[i]; i += 2) {
      const Name n = SplitName(attributes[i]);
      if (n.Is(ns, local)) return attributes[i + 1];
    }
    return {};
  }

  std::string Resolve(const std::string& reference) const {
    if (!reference.empty() && reference[0] == '#') return base_ + reference;
    return reference;
  }

  // The class identifier of an element: rdf:ID, rdf:about or rdf:resource.
  std::string ClassId(const XML_Char** attributes) const {
    const std::string id = Attribute(attributes, kRdf, "ID");
    if (!id.empty()) return base_ + "#" + id;
    const std::string about = Attribute(attributes, kRdf, "about");
    if (!about.empty()) return Resolve(about);
    return Resolve(Attribute(attributes, kRdf, "resource"));
  }

  bool LanguageAccepted(const XML_Char** attributes, const std::string& tag) {
    if (!options_.ignoreOtherLanguages) return true;
    const std::string lang = Attribute(attributes, kXml, "lang");
    if (lang.empty()) return true;
    if (options_.isoLanguage == "??" || options_.isoLanguage.size() < 2) {
      Log("***Unknown language:" + tag);
      return true;
    }
    return lang.size() >= 2 && std::tolower(static_cast<unsigned char>(lang[0])) == options_.isoLanguage[0] &&
           std::tolower(static_cast<unsigned char>(lang[1])) == options_.isoLanguage[1];
  }

  void Stop(OwlFailure failure, const std::string& detail, const std::string& why) {
    if (result_.failure == OwlFailure::kNone) {
      result_.failure = failure;
      result_.failureDetail = detail;
      refusal_ = why;
    }
    XML_StopParser(parser_, XML_FALSE);
  }

  void QueueParent(const std::string& id, uint32_t cls, const char* how) {
    queue_.push_back({id, cls});
    Log(std::string(how) + Text(id));
    if (options_.verbose) Log("* Adding SubClass to queue: " + Text(id));
  }

  static void XMLCALL OnStart(void* data, const XML_Char* element, const XML_Char** attributes) {
    static_cast<Converter*>(data)->Start(element, attributes);
  }
  static void XMLCALL OnEnd(void* data, const XML_Char*) { static_cast<Converter*>(data)->End(); }
  static void XMLCALL OnText(void* data, const XML_Char* text, int length) {
    static_cast<Converter*>(data)->Collect(text, static_cast<size_t>(length));
  }

  void Start(const XML_Char* element, const XML_Char** attributes) {
    if (stack_.size() >= kOwlMaxDepth) {
      Stop(OwlFailure::kTooDeep, std::to_string(kOwlMaxDepth),
           "Elements nested deeper than " + std::to_string(kOwlMaxDepth));
      return;
    }
    const Name name = SplitName(element);
    if (options_.verbose) Log("# Input tag: " + name.local);
    Frame parent = stack_.empty() ? Frame{} : stack_.back();
    Frame frame;
    frame.cls = parent.cls;
    frame.inSubClassOf = parent.inSubClassOf;
    frame.inRestriction = parent.inRestriction;
    if (name.Is(kRdf, "RDF")) {
      frame.kind = FrameKind::kRdf;
      const std::string base = Attribute(attributes, kXml, "base");
      if (!base.empty()) base_ = base;
    } else if (name.Is(kOwl, "Class")) {
      const std::string id = ClassId(attributes);
      if (parent.kind == FrameKind::kRdf) {
        frame.kind = FrameKind::kMainClass;
        frame.cls = MainClass(id);
        frame.inSubClassOf = frame.inRestriction = false;
      } else if (parent.inSubClassOf && !id.empty()) {
        if (parent.inRestriction && options_.ignoreRestrictions) Log("owl:Restriction (discarded): " + Text(id));
        else if (parent.cls) QueueParent(id, parent.cls, "rdfs:subClassOf (kept): ");
      }
    } else if (name.Is(kOwl, "Restriction")) {
      frame.kind = FrameKind::kRestriction;
      frame.inRestriction = true;
    } else if (name.Is(kRdfs, "subClassOf") && parent.kind == FrameKind::kMainClass && parent.cls) {
      frame.kind = FrameKind::kSubClassOf;
      frame.inSubClassOf = true;
      const std::string resource = Attribute(attributes, kRdf, "resource");
      if (!resource.empty()) QueueParent(Resolve(resource), parent.cls, "rdfs:subClassOf (kept) - Class extracted: ");
    } else if (parent.kind == FrameKind::kMainClass && parent.cls &&
               (name.Is(kRdfs, "label") || name.local.find("ynonym") != std::string::npos ||
                name.Is(kSkos, "altLabel"))) {
      const bool label = name.Is(kRdfs, "label");
      if (LanguageAccepted(attributes, name.local)) frame.kind = label ? FrameKind::kLabel : FrameKind::kSynonym;
      text_.clear();
      overflowLogged_ = false;
    }
    stack_.push_back(frame);
  }

  uint32_t MainClass(const std::string& id) {
    Log(std::string(37, '-'));
    if (id.empty()) {
      Log("*** Class extraction error !!! ");
      ++result_.stats.parseErrors;
      return 0;
    }
    Log("owl:Class " + Text(id) + " - Parsed");
    auto it = ids_.find(id);
    if (it != ids_.end()) {
      Log("*** Error - ClassId always defined: " + Text(id));
      return it->second;
    }
    if (ClassCount() >= kOwlMaxClasses) {
      // Past the limit: the class, its labels and its superclasses are left
      // out; the classes before it are imported.
      if (leftOut_.insert(id).second) {
        ++result_.classesLeftOut;
        Log("*** Warning - class left out, over the limit of " + std::to_string(kOwlMaxClasses) +
            " classes: " + Text(id));
      }
      return 0;
    }
    OwlClass c;
    c.id = id;
    classes_.push_back(c);
    const uint32_t number = ClassCount();
    ids_.emplace(id, number);
    ++result_.stats.mainClasses;
    if (options_.verbose) Log("Main Class extracted: " + Text(id));
    return number;
  }

  void Collect(const XML_Char* text, size_t length) {
    if (stack_.empty()) return;
    const FrameKind kind = stack_.back().kind;
    if (kind != FrameKind::kLabel && kind != FrameKind::kSynonym) return;
    const size_t room = kOwlMaxText > text_.size() ? kOwlMaxText - text_.size() : 0;
    if (length > room && !overflowLogged_) {
      Log("*** buffer overflow for : " + Text(text_.substr(0, 100)));
      overflowLogged_ = true;
    }
    text_.append(text, std::min(length, room));
  }

  void End() {
    if (stack_.empty()) return;
    const Frame frame = stack_.back();
    stack_.pop_back();
    if (frame.kind != FrameKind::kLabel && frame.kind != FrameKind::kSynonym) return;
    const std::string value = OneLine(Text(text_));
    // Characters the Scenario cannot hold (outside Windows-1252) become "?":
    // the change is logged, and a label left with nothing else is dropped,
    // never made an item that would stand for any word.
    const bool changed = CountOf(value, '?') > CountOf(text_, '?');
    const std::string original = text_;
    text_.clear();
    if (value.empty()) return;
    if (changed && !HasWordCharacter(value)) {
      Log("*** Warning - label dropped (no character of the Windows-1252 charset): " + CodePoints(original));
      return;
    }
    if (changed)
      Log("** Warning - label changed (characters outside the Windows-1252 charset): " + CodePoints(original) + " -> " +
          value);
    if (options_.verbose) Log("# Input var: " + value);
    OwlClass& c = classes_[frame.cls];
    if (frame.kind == FrameKind::kLabel) {
      Log(value);
      ++result_.stats.labels;
      if (!c.hasLabel) c.labels.insert(c.labels.begin(), value);
      else c.labels.push_back(value);
      c.hasLabel = true;
      return;
    }
    Log("Synonym: " + value);
    if (!c.hasLabel) {
      Log("*** Unexpected synonym before first label of class: " + Text(c.id));
      ++result_.stats.parseErrors;
      return;
    }
    ++result_.stats.synonyms;
    ++result_.stats.labels;
    c.labels.push_back(value);
  }

  void WriteItem(const std::string& key, int depth, const std::string& group) {
    std::string& out = result_.scenario;
    out += "0#" + std::to_string(std::min(depth, 9)) + "#\t" + key + "\t" + group + "\r\n";
  }

  void WriteFlexedForms(const std::string& key, int depth, const std::string& group,
                        std::unordered_set<std::string>& done) {
    auto add = [&](const std::string& form) {
      if (form.empty() || form.size() > kMaxLabel || !done.insert(form).second) return;
      if (options_.verbose) Log("* Flex form generated: " + form);
      WriteItem(form, depth, group);
    };
    auto folded = [&](const std::string& form) {
      char buffer[kWordBufferSize] = {};
      std::strncpy(buffer, form.c_str(), kWordBufferSize - 1);
      return FoldAccents(buffer) ? std::string(buffer) : std::string();
    };
    auto known = [](const std::string& word, bool substantive) {
      if (!MainDictionary || word.empty() || word.size() >= kWordBufferSize) return false;
      if (LookupWord(*MainDictionary, 0, static_cast<int>(word.size()), false, false, word.c_str()) <= 0) return false;
      return !substantive || IsSubstantive(MainDictionary->record);
    };
    if (options_.addFormsWithoutAccent) add(folded(key));
    const size_t underscore = key.find('_', 2);
    if (key.size() > 4 && underscore != std::string::npos && known(key.substr(0, underscore), false) &&
        !(options_.ignoreOtherLanguages && IsAdjective(MainDictionary->record))) {
      char head[kWordBufferSize] = {};
      std::strncpy(head, key.substr(0, underscore).c_str(), kWordBufferSize - 1);
      if (MakePlural(head)) {
        const std::string plural = std::string(head) + key.substr(underscore);
        if (plural.size() < kMaxLabel) {
          add(plural);
          if (options_.addFormsWithoutAccent) add(folded(plural));
        }
      }
    }
    char word[kWordBufferSize] = {};
    char alternative[kWordBufferSize] = {};
    std::strncpy(word, key.c_str(), kWordBufferSize - 1);
    if (IsPlural(word) && !(known(key, false) && SubField3HasBits0And1(MainDictionary->record)) &&
        Singular(word, alternative)) {
      if (known(word, true)) add(word);
      else if (known(alternative, true)) add(alternative);
    }
  }

  void WriteClass(uint32_t c, int depth) {
    OwlClass& k = classes_[c];
    if (k.labels.empty()) {
      k.labels.push_back(OneLine(Text(LocalNameOf(k.id))));
      Log("*** Warning - class without label, named by its identifier: " + Text(k.id));
    }
    std::string group = k.labels.front();
    if (options_.verbose)
      Log(std::string(static_cast<size_t>(std::min(depth, 32)), '\t') + "Class: \"" + group +
          "\" - Level: " + std::to_string(depth));
    if (depth > kMaxGroupDepth) {
      Log("** Warning - tree depth level exceed maximum for: " + group);
      depth = kMaxGroupDepth;
    }
    if (group.size() > kMaxLabel) {
      Log("** Warning - label string length exceed max value for: " + group);
      group.resize(kMaxLabel);
    }
    result_.scenario += "G#" + std::to_string(depth) + "V\t" + group + "\t" + group + "\r\n";
    std::unordered_set<std::string> done;
    for (const std::string& label : k.labels) {
      char key[kWordBufferSize + 2] = {};
      std::string lower = label.substr(0, kMaxLabel);
      LowerCaseString(lower);
      std::strncpy(key, lower.c_str(), kWordBufferSize);
      NormaliseKey(key);
      if (!HasWordCharacter(key) || !done.insert(key).second) continue;
      WriteItem(key, depth + 1, group);
      if (options_.flexedForms) WriteFlexedForms(key, depth + 1, group, done);
    }
  }

  const OwlImportOptions& options_;
  OwlImportResult& result_;
  XML_Parser parser_ = nullptr;
  std::vector<Frame> stack_;
  std::vector<OwlClass> classes_{OwlClass{}};
  std::unordered_map<std::string, uint32_t> ids_;
  std::unordered_set<std::string> leftOut_;  // classes past the limit
  std::vector<std::pair<std::string, uint32_t>> queue_;
  std::string text_;
  std::string base_;
  std::string refusal_;
  bool overflowLogged_ = false;
};

std::string Counts(const OwlImportStats& s) {
  return "Number of OWL main classes: " + std::to_string(s.mainClasses) + "\r\n" +
         "Number of OWL labels kept: " + std::to_string(s.labels) + "\r\n" +
         "Number of Synonyms labels kept: " + std::to_string(s.synonyms) + "\r\n" +
         "Number of parsing errors: " + std::to_string(s.parseErrors) + "\r\n" +
         "Number of Class ID errors (not found): " + std::to_string(s.classIdErrors) + "\r\n";
}

}  // namespace

OwlImportResult ConvertOwl(std::string_view xml, const std::string& inputName, const OwlImportOptions& options) {
  OwlImportResult result;
  Converter converter(options, result);
  converter.Log("Quilor OWL Import Filter log");
  converter.Log("*** Processing file: " + inputName);
  converter.Log("*** Step 1 (OWL parsing)");
  if (!converter.Parse(xml)) {
    converter.Log("*** I/O Error during parsing operation");
    result.failedStep = 1;
    result.scenario.clear();
    return result;
  }
  converter.Log("*** Step 2 (Concept tree generation)");
  converter.BuildTree();
  converter.Log("*** Step 3 (Scenario generation)");
  converter.WriteScenario();
  converter.Log("*** Processing ended successfully");
  result.log += Counts(result.stats);
  if (result.classesLeftOut)
    converter.Log("Number of classes left out (over the limit of " + std::to_string(kOwlMaxClasses) +
                  "): " + std::to_string(result.classesLeftOut));
  result.ok = true;
  return result;
}

OwlImportResult ImportOwlFile(const std::string& inputPath, const std::string& scenarioFolder,
                              const OwlImportOptions& options, std::string& scenarioPath, std::string& logPath) {
  scenarioPath.clear();
  OwlImportResult result;
  // Read straight into one string (no stream copy), from a regular file
  // only: a FIFO named as the input must not hang the import.
  std::string content;
  errno = 0;
  const ReadFileStatus status = ReadWholeFile(inputPath, kMaxOwlInput, content);
  if (status != ReadFileStatus::kOk) {
    const int why = status == ReadFileStatus::kNotFound   ? ENOENT
                    : status == ReadFileStatus::kTooLarge ? EFBIG
                                                          : (errno ? errno : EIO);
    result.failure = OwlFailure::kUnreadable;
    result.failureDetail = std::strerror(why);
    result.log = "Quilor OWL Import Filter log\r\n*** Processing file: " + inputPath +
                 "\r\n*** Step 1 (OWL parsing)\r\n*** I/O error on input file, process ended\r\n"
                 "*** I/O Error during parsing operation\r\n";
    result.failedStep = 1;
  } else {
    result = ConvertOwl(content, inputPath, options);
  }
  if (result.ok) {
    const std::string output = (std::filesystem::path(scenarioFolder) / kOwlOutputName).string();
    const SaveResult saved = SafeSave(output, result.scenario);
    if (saved) {
      scenarioPath = output;
    } else {
      result.failure = OwlFailure::kWriteFailed;
      result.failureDetail = output + ": " + std::strerror(saved.error);
      // The counts stay in the log; the failure is told after them.
      result.log += "*** Fatal Error - Scenario write error: " + output + "\r\n";
      result.log += "*** Fatal error during Scenario generation\r\n";
      result.ok = false;
      result.failedStep = 3;
    }
  }
  logPath = inputPath + ".log";
  if (!SafeSave(logPath, result.log)) {
    logPath = (std::filesystem::path(scenarioFolder) / (std::filesystem::path(inputPath).filename().string() + ".log"))
                  .string();
    if (!SafeSave(logPath, result.log)) logPath.clear();
  }
  return result;
}

}  // namespace quilor
