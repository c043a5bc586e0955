// Office Open XML and OpenDocument packages: a zip archive of XML parts.
// Parts are decompressed as a stream, never beyond their cap, and parsed as
// they come; document type declarations are refused (no entity expansion).
#include <expat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "import/filter_formats.h"
#include "platform/compound_file.h"
#include "platform/read_file.h"

namespace quilor {
namespace {

constexpr int64_t kMaxEntries = 65536;
// Most bytes decompressed from all the parts of one package.
constexpr size_t kMaxPackageBytes = size_t{256} << 20;
constexpr size_t kMaxDepth = 4096;
// Most bytes of one piece of markup (a start tag with its attributes, a
// comment): the parser reads such a piece again each time more of it comes,
// so a longer one would cost time as the square of its length.
constexpr uint64_t kMaxMarkupBytes = uint64_t{4} << 20;
constexpr size_t kReadBlock = 65536;
constexpr char kNsSeparator = '|';

// ---------------------------------------------------------------- zip package

class ZipPackage {
 public:
  ~ZipPackage() {
    if (zip_) zip_discard(zip_);
  }
  bool OpenFile(const std::string& path) {
    // A regular file only: a pipe or a device is never waited on.
    int fd = OpenRegularFile(path);
    if (fd < 0) return false;
    int error = 0;
    zip_ = zip_fdopen(fd, ZIP_RDONLY, &error);
    if (!zip_) ::close(fd);
    return Check();
  }
  bool OpenMemory(std::string_view data) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(data.data(), data.size(), 0, &error);
    zip_error_fini(&error);
    if (!source) return false;
    zip_error_init(&error);
    zip_ = zip_open_from_source(source, ZIP_RDONLY, &error);
    zip_error_fini(&error);
    if (!zip_) zip_source_free(source);
    return Check();
  }
  int64_t Count() const { return count_; }
  std::string Name(int64_t i) const {
    const char* n = zip_get_name(zip_, static_cast<zip_uint64_t>(i), 0);
    return n ? n : "";
  }
  int64_t Find(const std::string& name) const { return zip_name_locate(zip_, name.c_str(), 0); }

  // Streams part i into sink, at most kMaxPartBytes; the sink returns false to stop.
  FilterError Read(int64_t i, const std::function<bool(const char*, size_t)>& sink) const {
    zip_stat_t st;
    zip_stat_init(&st);
    if (i < 0 || zip_stat_index(zip_, static_cast<zip_uint64_t>(i), 0, &st) != 0) return FilterError::kAccess;
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) return FilterError::kPassword;
    zip_file_t* f = zip_fopen_index(zip_, static_cast<zip_uint64_t>(i), 0);
    if (!f) return FilterError::kAccess;
    std::unique_ptr<char[]> buffer(new char[kReadBlock]);
    size_t total = 0;
    FilterError result = FilterError::kNone;
    while (true) {
      zip_int64_t n = zip_fread(f, buffer.get(), kReadBlock);
      if (n < 0) {
        result = FilterError::kChunking;
        break;
      }
      if (n == 0) break;
      total += static_cast<size_t>(n);
      packageTotal_ += static_cast<size_t>(n);
      if (total > DocumentFilter::kMaxPartBytes || packageTotal_ > kMaxPackageBytes) {
        result = FilterError::kPartTooLarge;
        break;
      }
      if (!sink(buffer.get(), static_cast<size_t>(n))) break;
    }
    zip_fclose(f);
    return result;
  }
  FilterError ReadWhole(int64_t i, std::string& out, size_t max) const {
    out.clear();
    FilterError e = Read(i, [&](const char* p, size_t n) {
      out.append(p, std::min(n, max - out.size()));
      return out.size() < max;
    });
    return e;
  }

 private:
  bool Check() {
    if (!zip_) return false;
    count_ = zip_get_num_entries(zip_, 0);
    return count_ >= 0 && count_ <= kMaxEntries;
  }
  zip_t* zip_ = nullptr;
  int64_t count_ = 0;
  mutable size_t packageTotal_ = 0;  // bytes decompressed from all parts
};

// ---------------------------------------------------------------- XML walker

struct XmlName {
  std::string_view uri, local;
  bool In(const char* nsKey) const { return uri.find(nsKey) != std::string_view::npos; }
  bool Is(const char* nsKey, const char* name) const { return local == name && In(nsKey); }
};

XmlName SplitName(const char* name) {
  std::string_view n(name);
  size_t bar = n.rfind(kNsSeparator);
  if (bar == std::string_view::npos) return {{}, n};
  return {n.substr(0, bar), n.substr(bar + 1)};
}

// Receives the parse events of one part.
class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  virtual bool Start(const XmlName& name, const char** attributes) = 0;
  virtual bool End(const XmlName& name) = 0;
  virtual bool Text(std::string_view text) = 0;
};

class XmlParser {
 public:
  explicit XmlParser(XmlHandler& handler) : handler_(handler) {
    parser_ = XML_ParserCreateNS(nullptr, kNsSeparator);
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, &XmlParser::OnStart, &XmlParser::OnEnd);
    XML_SetCharacterDataHandler(parser_, &XmlParser::OnText);
    XML_SetStartDoctypeDeclHandler(parser_, &XmlParser::OnDoctype);
  }
  ~XmlParser() { XML_ParserFree(parser_); }
  // False when the XML is malformed or the handler stopped.
  bool Feed(const char* data, size_t n, bool last) {
    if (stopped_) return false;
    if (XML_Parse(parser_, data, static_cast<int>(n), last) == XML_STATUS_ERROR) {
      if (!stopped_) malformed_ = true;
      return false;
    }
    // Every event is reported as soon as its markup is whole (character
    // data piece by piece): bytes fed long after the last event are one
    // piece of markup still unfinished.
    fed_ += n;
    if (!stopped_ && fed_ - lastEvent_ > kMaxMarkupBytes) Halt(true);
    return !stopped_;
  }
  bool Stopped() const { return stopped_; }
  bool Malformed() const { return malformed_; }

 private:
  void Halt(bool hostile) {
    if (hostile) malformed_ = true;
    stopped_ = true;
    XML_StopParser(parser_, XML_FALSE);
  }
  void Seen() {
    const XML_Index at = XML_GetCurrentByteIndex(parser_);
    if (at > 0) lastEvent_ = static_cast<uint64_t>(at);
  }
  static void OnStart(void* self, const char* name, const char** attributes) {
    auto* p = static_cast<XmlParser*>(self);
    if (p->stopped_) return;
    p->Seen();
    if (++p->depth_ > kMaxDepth) return p->Halt(true);
    if (!p->handler_.Start(SplitName(name), attributes)) p->Halt(false);
  }
  static void OnEnd(void* self, const char* name) {
    auto* p = static_cast<XmlParser*>(self);
    if (p->stopped_) return;
    p->Seen();
    --p->depth_;
    if (!p->handler_.End(SplitName(name))) p->Halt(false);
  }
  static void OnText(void* self, const char* text, int n) {
    auto* p = static_cast<XmlParser*>(self);
    if (p->stopped_) return;
    p->Seen();
    if (!p->handler_.Text(std::string_view(text, static_cast<size_t>(n)))) p->Halt(false);
  }
  static void OnDoctype(void* self, const char*, const char*, const char*, int) {
    static_cast<XmlParser*>(self)->Halt(true);
  }
  XmlHandler& handler_;
  XML_Parser parser_;
  size_t depth_ = 0;
  uint64_t fed_ = 0;        // bytes given to the parser
  uint64_t lastEvent_ = 0;  // where the markup of the last event began
  bool stopped_ = false;
  bool malformed_ = false;
};

const char* Attribute(const char** attributes, const char* nsKey, const char* local) {
  for (int i = 0; attributes[i]; i += 2) {
    XmlName n = SplitName(attributes[i]);
    if (n.local == local && (nsKey == nullptr || n.In(nsKey))) return attributes[i + 1];
  }
  return nullptr;
}

// Collects the relationship targets of a .rels part by identifier, and the
// target of a relationship type.
class RelsHandler : public XmlHandler {
 public:
  std::map<std::string, std::string> targets;
  std::string officeDocument;
  bool Start(const XmlName& name, const char** a) override {
    if (name.local != "Relationship") return true;
    const char* id = Attribute(a, nullptr, "Id");
    const char* target = Attribute(a, nullptr, "Target");
    const char* type = Attribute(a, nullptr, "Type");
    if (id && target && targets.size() < 100000) targets[id] = target;
    if (target && type && std::string_view(type).ends_with("/officeDocument")) officeDocument = target;
    return true;
  }
  bool End(const XmlName&) override { return true; }
  bool Text(std::string_view) override { return true; }
};

// Collects the relationship identifiers of the slides in presentation order.
class SlideListHandler : public XmlHandler {
 public:
  std::vector<std::string> ids;
  bool Start(const XmlName& name, const char** a) override {
    if (name.local != "sldId") return true;
    if (const char* id = Attribute(a, "relationships", "id"); id && ids.size() < 100000) ids.push_back(id);
    return true;
  }
  bool End(const XmlName&) override { return true; }
  bool Text(std::string_view) override { return true; }
};

// ---------------------------------------------------------------- text handlers

class TextSink {
 public:
  virtual ~TextSink() = default;
  virtual bool Chunk(std::string_view utf8) = 0;
  virtual bool Raw(char c) = 0;
};

// Base of the text handlers: tracks the depth and the subtree being passed over.
class TextHandler : public XmlHandler {
 public:
  bool Text(std::string_view text) override { return (Taking() && !skipFrom_) ? sink_.Chunk(text) : true; }

 protected:
  explicit TextHandler(TextSink& sink) : sink_(sink) {}
  // First thing in Start: true when the element lies in a subtree passed
  // over, or begins one (startsSkip).
  bool Enter(bool startsSkip) {
    ++depth_;
    if (!skipFrom_ && startsSkip) skipFrom_ = depth_;
    return skipFrom_ != 0;
  }
  // First thing in End: true when the element lay in a subtree passed over.
  bool Leave() {
    --depth_;
    if (!skipFrom_) return false;
    if (depth_ < skipFrom_) skipFrom_ = 0;
    return true;
  }
  // The character data now read belongs to the text.
  virtual bool Taking() const = 0;
  TextSink& sink_;

 private:
  int depth_ = 0, skipFrom_ = 0;
};

// Word processing: the text of w:t runs; paragraphs, breaks, tabs and table
// cells give their layout; alternate content is read once.
class WordprocessingHandler : public TextHandler {
 public:
  explicit WordprocessingHandler(TextSink& sink) : TextHandler(sink) {}
  bool Start(const XmlName& n, const char**) override {
    if (Enter(n.Is("markup-compatibility", "Fallback")) || !n.In("wordprocessingml")) return true;
    if (n.local == "t") inText_ = true;
    else if (n.local == "r") ++inRun_;
    else if ((n.local == "tab" && inRun_) || n.local == "ptab") return sink_.Raw('\t');
    else if ((n.local == "br" || n.local == "cr") && inRun_) return sink_.Raw('\n');
    else if (n.local == "noBreakHyphen") return sink_.Raw('-');
    else if (n.local == "sym") return sink_.Raw(' ');
    return true;
  }
  bool End(const XmlName& n) override {
    if (Leave() || !n.In("wordprocessingml")) return true;
    if (n.local == "t") inText_ = false;
    else if (n.local == "r" && inRun_) --inRun_;
    else if (n.local == "p" || n.local == "tr") return sink_.Raw('\n');
    else if (n.local == "tc") return sink_.Raw(' ');
    return true;
  }

 private:
  bool Taking() const override { return inText_; }
  int inRun_ = 0;
  bool inText_ = false;
};

// Presentation slides: the text of a:t runs, paragraphs and breaks.
class SlideHandler : public TextHandler {
 public:
  explicit SlideHandler(TextSink& sink) : TextHandler(sink) {}
  bool Start(const XmlName& n, const char**) override {
    if (Enter(n.Is("markup-compatibility", "Fallback"))) return true;
    if (n.Is("drawingml", "t")) inText_ = true;
    else if (n.Is("drawingml", "br")) return sink_.Raw('\n');
    return true;
  }
  bool End(const XmlName& n) override {
    if (Leave()) return true;
    if (n.Is("drawingml", "t")) inText_ = false;
    else if (n.Is("drawingml", "p")) return sink_.Raw('\n');
    else if (n.Is("drawingml", "tc")) return sink_.Raw(' ');
    return true;
  }

 private:
  bool Taking() const override { return inText_; }
  bool inText_ = false;
};

// OpenDocument content: the text of paragraphs and headings; notes,
// annotations, deleted text and speaker notes are not part of the main text.
class OpenDocumentHandler : public TextHandler {
 public:
  explicit OpenDocumentHandler(TextSink& sink) : TextHandler(sink) {}
  bool Start(const XmlName& n, const char** a) override {
    if (Enter(n.Is(":text:", "note") || n.Is(":office:", "annotation") || n.Is(":text:", "tracked-changes") ||
              n.Is(":presentation:", "notes") || n.Is(":text:", "ruby-text")))
      return true;
    if (n.Is(":text:", "p") || n.Is(":text:", "h")) {
      ++inParagraph_;
    } else if (inParagraph_ && n.Is(":text:", "s")) {
      const char* c = Attribute(a, ":text:", "c");
      long count = c ? std::strtol(c, nullptr, 10) : 1;
      count = std::clamp(count, 1L, 1000L);
      for (long i = 0; i < count; ++i)
        if (!sink_.Raw(' ')) return false;
    } else if (inParagraph_ && n.Is(":text:", "tab")) {
      return sink_.Raw('\t');
    } else if (inParagraph_ && n.Is(":text:", "line-break")) {
      return sink_.Raw('\n');
    }
    return true;
  }
  bool End(const XmlName& n) override {
    if (Leave()) return true;
    if (n.Is(":text:", "p") || n.Is(":text:", "h")) {
      if (inParagraph_) --inParagraph_;
      return sink_.Raw('\n');
    }
    if (n.Is(":drawing:", "page")) return sink_.Raw('\n');
    return true;
  }

 private:
  bool Taking() const override { return inParagraph_ > 0; }
  int inParagraph_ = 0;
};

// ---------------------------------------------------------------- the converter

std::string ResolveTarget(const std::string& base, std::string target) {
  if (!target.empty() && target[0] == '/') return target.substr(1);
  std::string dir = base;
  while (target.rfind("../", 0) == 0) {
    target.erase(0, 3);
    size_t slash = dir.find_last_of('/', dir.empty() ? 0 : dir.size() - 2);
    dir = slash == std::string::npos ? "" : dir.substr(0, slash + 1);
  }
  return dir + target;
}

int SlideNumber(const std::string& name) {
  // "ppt/slides/slideN.xml" -> N, else -1.
  const std::string prefix = "ppt/slides/slide";
  if (name.rfind(prefix, 0) != 0 || !name.ends_with(".xml")) return -1;
  std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - 4);
  if (digits.empty() || digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos) return -1;
  return std::stoi(digits);
}

class PackageFilter : public DocumentFilter, private TextSink {
 public:
  PackageFilter(ConverterFormat format, const char* classId) : DocumentFilter(format, classId) {}

 protected:
  bool Run(const std::string* path, std::string_view data) override {
    step_ = kStepDocumentLoaded;
    ZipPackage zip;
    bool opened = path ? zip.OpenFile(*path) : zip.OpenMemory(data);
    if (!opened)
      return Stop(IsEncryptedPackage(path, data) ? FilterError::kPassword : FilterError::kInitFailure,
                  kStepDocumentLoaded);
    for (int64_t i = 0; i < zip.Count(); ++i) {
      std::string name = zip.Name(i);
      if (name.rfind("word/embeddings/", 0) == 0 || name.rfind("ppt/embeddings/", 0) == 0 ||
          (name.rfind("Object ", 0) == 0 && name.ends_with("/content.xml")))
        ++unavailableCount_;
    }
    if (Format() == ConverterFormat::kOpenDocumentText || Format() == ConverterFormat::kOpenDocumentPresentation) {
      std::string manifest;
      int64_t m = zip.Find("META-INF/manifest.xml");
      if (m >= 0 && zip.ReadWhole(m, manifest, 1 << 20) == FilterError::kNone &&
          manifest.find("encryption-data") != std::string::npos)
        return Stop(FilterError::kPassword, kStepDocumentLoaded);
    }
    std::vector<std::string> parts = MainParts(zip);
    if (parts.empty()) return Stop(FilterError::kInitFailure, kStepDocumentLoaded);
    step_ = kStepReadingChunks;
    for (const std::string& part : parts) {
      int64_t index = zip.Find(part);
      if (index < 0) return Stop(FilterError::kAccess, kStepStopped);
      step_ = kStepReadingChunk;
      std::unique_ptr<XmlHandler> handler;
      TextSink& sink = *this;
      switch (Format()) {
        case ConverterFormat::kOffice2007: handler = std::make_unique<WordprocessingHandler>(sink); break;
        case ConverterFormat::kPowerPoint2007: handler = std::make_unique<SlideHandler>(sink); break;
        default: handler = std::make_unique<OpenDocumentHandler>(sink); break;
      }
      XmlParser parser(*handler);
      FilterError e = zip.Read(index, [&](const char* p, size_t n) { return parser.Feed(p, n, false); });
      if (error_ != FilterError::kNone) return false;  // the text cap was reached
      if (e == FilterError::kPassword || e == FilterError::kAccess) return Stop(e, kStepStopped);
      // A part (or the package) that inflates past its cap cuts the text
      // there, as the text cap does: what came before is the beginning of
      // the document, read whole.
      if (e == FilterError::kPartTooLarge && !text_.empty()) return Stop(FilterError::kTooLong, kStepTooLong);
      if (e != FilterError::kNone) return Stop(e, kStepReadingChunk);
      if (!parser.Stopped() && !parser.Feed(nullptr, 0, true) && error_ == FilterError::kNone)
        return Stop(FilterError::kChunking, kStepReadingChunk);
      if (parser.Malformed()) return Stop(FilterError::kChunking, kStepReadingChunk);
      if (error_ != FilterError::kNone) return false;
      if (Format() == ConverterFormat::kPowerPoint2007 && !AppendRaw('\n')) return false;
      step_ = kStepReadingChunks;
    }
    return true;
  }

 private:
  bool Chunk(std::string_view utf8) override { return AppendChunk(utf8); }
  bool Raw(char c) override { return AppendRaw(c); }

  static bool IsEncryptedPackage(const std::string* path, std::string_view data) {
    CompoundFile file;
    bool ok = path ? file.OpenFile(*path) : file.Open(data);
    return ok && file.Find("EncryptedPackage") >= 0;
  }

  bool ParseSmall(const ZipPackage& zip, const std::string& name, XmlHandler& handler) {
    int64_t i = zip.Find(name);
    if (i < 0) return false;
    XmlParser parser(handler);
    if (zip.Read(i, [&](const char* p, size_t n) { return parser.Feed(p, n, false); }) != FilterError::kNone)
      return false;
    return parser.Stopped() || parser.Feed(nullptr, 0, true);
  }

  // The parts that hold the main text, in reading order.
  std::vector<std::string> MainParts(const ZipPackage& zip) {
    switch (Format()) {
      case ConverterFormat::kOffice2007: {
        RelsHandler rels;
        if (ParseSmall(zip, "_rels/.rels", rels) && !rels.officeDocument.empty()) {
          std::string part = ResolveTarget("", rels.officeDocument);
          if (zip.Find(part) >= 0) return {part};
        }
        if (zip.Find("word/document.xml") >= 0) return {"word/document.xml"};
        return {};
      }
      case ConverterFormat::kPowerPoint2007: {
        std::vector<std::string> slides;
        SlideListHandler list;
        RelsHandler rels;
        if (ParseSmall(zip, "ppt/presentation.xml", list) && ParseSmall(zip, "ppt/_rels/presentation.xml.rels", rels)) {
          for (const std::string& id : list.ids) {
            auto it = rels.targets.find(id);
            if (it == rels.targets.end()) continue;
            std::string part = ResolveTarget("ppt/", it->second);
            if (zip.Find(part) >= 0 && std::find(slides.begin(), slides.end(), part) == slides.end())
              slides.push_back(part);
          }
        }
        if (slides.empty()) {
          std::vector<std::pair<int, std::string>> numbered;
          for (int64_t i = 0; i < zip.Count(); ++i) {
            std::string name = zip.Name(i);
            if (int n = SlideNumber(name); n >= 0) numbered.emplace_back(n, name);
          }
          std::sort(numbered.begin(), numbered.end());
          for (auto& [n, name] : numbered) slides.push_back(name);
        }
        return slides;
      }
      default:
        if (zip.Find("content.xml") >= 0) return {"content.xml"};
        return {};
    }
  }
};

}  // namespace

std::unique_ptr<DocumentFilter> CreatePackageFilter(ConverterFormat format) {
  switch (format) {
    case ConverterFormat::kOffice2007:
      return std::make_unique<PackageFilter>(format, "{5A98B233-3C59-4B31-944C-0E560D85E6C3}");
    case ConverterFormat::kPowerPoint2007:
      return std::make_unique<PackageFilter>(format, "{5A98B233-3C59-4B31-944C-0E560D85E6C3}");
    case ConverterFormat::kOpenDocumentText:
      return std::make_unique<PackageFilter>(format, "{9FBC2D8F-6F52-4CFA-A86F-096F3E9EB4B2}");
    case ConverterFormat::kOpenDocumentPresentation:
      return std::make_unique<PackageFilter>(format, "{4693FF15-B962-420A-9E5D-176F7D4B8321}");
    default: return nullptr;
  }
}

bool SniffPackageFormat(const std::string& path, ConverterFormat& format) {
  ZipPackage zip;
  if (!zip.OpenFile(path)) return false;
  if (zip.Find("word/document.xml") >= 0) {
    format = ConverterFormat::kOffice2007;
    return true;
  }
  if (zip.Find("ppt/presentation.xml") >= 0) {
    format = ConverterFormat::kPowerPoint2007;
    return true;
  }
  std::string mime;
  int64_t m = zip.Find("mimetype");
  if (m < 0 || zip.ReadWhole(m, mime, 256) != FilterError::kNone) return false;
  if (mime.rfind("application/vnd.oasis.opendocument.text", 0) == 0) {
    format = ConverterFormat::kOpenDocumentText;
    return true;
  }
  if (mime.rfind("application/vnd.oasis.opendocument.presentation", 0) == 0) {
    format = ConverterFormat::kOpenDocumentPresentation;
    return true;
  }
  return false;
}

}  // namespace quilor
