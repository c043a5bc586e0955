#include "dico/wordnet.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace quilor::wordnet {

namespace {

constexpr const char* kLexFiles[kLexFileCount] = {"adj.all",          "adj.pert",           "adv.all",
                                                  "noun.Tops",        "noun.act",           "noun.animal",
                                                  "noun.artifact",    "noun.attribute",     "noun.body",
                                                  "noun.cognition",   "noun.communication", "noun.event",
                                                  "noun.feeling",     "noun.food",          "noun.group",
                                                  "noun.location",    "noun.motive",        "noun.object",
                                                  "noun.person",      "noun.phenomenon",    "noun.plant",
                                                  "noun.possession",  "noun.process",       "noun.quantity",
                                                  "noun.relation",    "noun.shape",         "noun.state",
                                                  "noun.substance",   "noun.time",          "verb.body",
                                                  "verb.change",      "verb.cognition",     "verb.communication",
                                                  "verb.competition", "verb.consumption",   "verb.contact",
                                                  "verb.creation",    "verb.emotion",       "verb.motion",
                                                  "verb.perception",  "verb.possession",    "verb.social",
                                                  "verb.stative",     "verb.weather",       "adj.ppl"};

// Splits a line into blank-separated fields, reading no further than the line.
class Fields {
 public:
  explicit Fields(std::string_view line) : line_(line) {}
  bool Next(std::string_view& field) {
    while (pos_ < line_.size() && line_[pos_] == ' ') ++pos_;
    if (pos_ >= line_.size()) return false;
    size_t start = pos_;
    while (pos_ < line_.size() && line_[pos_] != ' ') ++pos_;
    field = line_.substr(start, pos_ - start);
    return true;
  }
  std::string_view Rest() const { return pos_ < line_.size() ? line_.substr(pos_) : std::string_view(); }

 private:
  std::string_view line_;
  size_t pos_ = 0;
};

bool ParseUnsigned(std::string_view text, int base, uint32_t limit, uint32_t& value) {
  if (text.empty() || text.size() > 10) return false;
  uint64_t v = 0;
  for (char c : text) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    if (d >= base) return false;
    v = v * base + d;
    if (v > limit) return false;
  }
  value = static_cast<uint32_t>(v);
  return true;
}

bool Fail(std::string& error, const char* what) {
  error = what;
  return false;
}

}  // namespace

std::string LowerAscii(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool ReadWholeFile(const std::string& path, std::string& text, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return false;
  }
  std::ostringstream s;
  s << in.rdbuf();
  if (in.bad()) {
    error = "cannot read " + path;
    return false;
  }
  text = s.str();
  return true;
}

const char* PosFileSuffix(Pos pos) {
  switch (pos) {
    case Pos::Noun: return "noun";
    case Pos::Verb: return "verb";
    case Pos::Adjective: return "adj";
    case Pos::Adverb: return "adv";
  }
  return "";
}

bool PosFromLetter(char letter, Pos& pos) {
  switch (letter) {
    case 'n': pos = Pos::Noun; return true;
    case 'v': pos = Pos::Verb; return true;
    case 'a':
    case 's': pos = Pos::Adjective; return true;
    case 'r': pos = Pos::Adverb; return true;
    default: return false;
  }
}

const char* LexFileName(int number) { return number >= 0 && number < kLexFileCount ? kLexFiles[number] : ""; }

int LexFileNumber(std::string_view name) {
  for (int i = 0; i < kLexFileCount; ++i)
    if (name == kLexFiles[i]) return i;
  return -1;
}

bool Synset::HasPointer(std::string_view symbol) const {
  return std::any_of(pointers.begin(), pointers.end(), [&](const Pointer& p) { return p.symbol == symbol; });
}

bool ParseIndexLine(std::string_view line, IndexEntry& entry, std::string& error) {
  Fields f(line);
  std::string_view lemma, pos, field;
  uint32_t synsetCount, pointerCount, value;
  if (!f.Next(lemma) || !f.Next(pos) || pos.size() != 1)
    return Fail(error, "index line without lemma and part of speech");
  Pos p;
  if (!PosFromLetter(pos[0], p)) return Fail(error, "unknown part of speech");
  if (!f.Next(field) || !ParseUnsigned(field, 10, 100000, synsetCount)) return Fail(error, "bad synset count");
  if (!f.Next(field) || !ParseUnsigned(field, 10, 1000, pointerCount)) return Fail(error, "bad pointer count");
  for (uint32_t i = 0; i < pointerCount; ++i)
    if (!f.Next(field)) return Fail(error, "missing pointer symbol");
  if (!f.Next(field) || !ParseUnsigned(field, 10, 100000, value)) return Fail(error, "bad sense count");
  if (!f.Next(field) || !ParseUnsigned(field, 10, 100000, value)) return Fail(error, "bad tagged sense count");
  entry.lemma = LowerAscii(lemma);
  entry.tagSenseCount = static_cast<int>(value);
  entry.synsets.clear();
  for (uint32_t i = 0; i < synsetCount; ++i) {
    if (!f.Next(field) || !ParseUnsigned(field, 10, 0xFFFFFFFFu, value)) return Fail(error, "bad synset offset");
    entry.synsets.push_back(value);
  }
  return true;
}

bool ParseDataLine(std::string_view line, Synset& synset, std::string& error) {
  size_t bar = line.find(" | ");
  std::string_view head = bar == std::string_view::npos ? line : line.substr(0, bar);
  synset = Synset();
  if (bar != std::string_view::npos) {
    std::string_view gloss = line.substr(bar + 3);
    while (!gloss.empty() && gloss.back() == ' ') gloss.remove_suffix(1);
    synset.gloss = std::string(gloss);
  }
  Fields f(head);
  std::string_view field;
  uint32_t value, wordCount, pointerCount;
  if (!f.Next(field) || !ParseUnsigned(field, 10, 0xFFFFFFFFu, synset.offset)) return Fail(error, "bad synset offset");
  if (!f.Next(field) || !ParseUnsigned(field, 10, kLexFileCount - 1, value))
    return Fail(error, "bad lexicographer file");
  synset.lexFile = static_cast<int>(value);
  Pos p;
  if (!f.Next(field) || field.size() != 1 || !PosFromLetter(field[0], p)) return Fail(error, "bad synset type");
  synset.type = field[0];
  if (!f.Next(field) || !ParseUnsigned(field, 16, 255, wordCount) || wordCount == 0)
    return Fail(error, "bad word count");
  for (uint32_t i = 0; i < wordCount; ++i) {
    std::string_view word, lexId;
    if (!f.Next(word) || !f.Next(lexId) || !ParseUnsigned(lexId, 16, 15, value)) return Fail(error, "bad word");
    SynsetWord w;
    size_t open = word.find('(');
    if (open != std::string_view::npos && open > 0 && word.back() == ')') {
      w.marker = std::string(word.substr(open + 1, word.size() - open - 2));
      word = word.substr(0, open);
    }
    w.text = std::string(word);
    w.lexId = static_cast<uint8_t>(value);
    synset.words.push_back(std::move(w));
  }
  if (!f.Next(field) || !ParseUnsigned(field, 10, 100000, pointerCount)) return Fail(error, "bad pointer count");
  for (uint32_t i = 0; i < pointerCount; ++i) {
    std::string_view symbol, offset, pos, st;
    Pointer ptr;
    if (!f.Next(symbol) || !f.Next(offset) || !f.Next(pos) || !f.Next(st)) return Fail(error, "short pointer");
    if (!ParseUnsigned(offset, 10, 0xFFFFFFFFu, ptr.offset) || pos.size() != 1 || !PosFromLetter(pos[0], ptr.pos) ||
        st.size() != 4 || !ParseUnsigned(st.substr(0, 2), 16, 255, value))
      return Fail(error, "bad pointer");
    ptr.source = static_cast<uint8_t>(value);
    if (!ParseUnsigned(st.substr(2, 2), 16, 255, value)) return Fail(error, "bad pointer");
    ptr.target = static_cast<uint8_t>(value);
    ptr.symbol = std::string(symbol);
    synset.pointers.push_back(std::move(ptr));
  }
  // Verb frames ("nn + ff ww ...") are not kept.
  return true;
}

bool ParseExceptionLine(std::string_view line, std::string& form, std::vector<std::string>& bases, std::string& error) {
  Fields f(line);
  std::string_view field;
  bases.clear();
  if (!f.Next(field)) return Fail(error, "empty exception line");
  form = LowerAscii(field);
  while (f.Next(field)) bases.push_back(LowerAscii(field));
  if (bases.empty()) return Fail(error, "exception without base form");
  return true;
}

namespace {

std::string SenseKey(std::string_view lemma, int lexFile, int lexId) {
  return std::string(lemma) + "%" + std::to_string(lexFile) + ":" + std::to_string(lexId);
}

}  // namespace

bool ParseCountLine(std::string_view line, SenseCount& sense, std::string& error) {
  Fields f(line);
  std::string_view key, field;
  uint32_t value;
  if (!f.Next(key) || !f.Next(field) || !f.Next(field)) return Fail(error, "short count line");
  if (!ParseUnsigned(field, 10, 10000000, value)) return Fail(error, "bad tag count");
  sense.count = static_cast<int>(value);
  size_t percent = key.find('%');
  if (percent == std::string_view::npos || percent == 0 || key.size() < percent + 5 || key[percent + 2] != ':')
    return Fail(error, "bad sense key");
  sense.lemma = LowerAscii(key.substr(0, percent));
  switch (key[percent + 1]) {
    case '1': sense.pos = Pos::Noun; break;
    case '2': sense.pos = Pos::Verb; break;
    case '3':
    case '5': sense.pos = Pos::Adjective; break;
    case '4': sense.pos = Pos::Adverb; break;
    default: return Fail(error, "bad sense type");
  }
  if (!ParseUnsigned(key.substr(percent + 3, 2), 10, kLexFileCount - 1, value))
    return Fail(error, "bad lexicographer file");
  sense.lexFile = static_cast<int>(value);
  if (key.size() < percent + 8 || key[percent + 5] != ':' || !ParseUnsigned(key.substr(percent + 6, 2), 10, 99, value))
    return Fail(error, "bad lexical id");
  sense.lexId = static_cast<int>(value);
  return true;
}

bool Database::AddIndexFile(Pos pos, std::string_view text, const std::string& name, std::string& error) {
  int p = static_cast<int>(pos);
  return ForEachLine(text, name, error, true, [&](std::string_view line, std::string& why) {
    IndexEntry entry;
    if (!ParseIndexLine(line, entry, why)) return false;
    auto [it, added] = indexByLemma_[p].emplace(entry.lemma, index_[p].size());
    if (added) index_[p].push_back(std::move(entry));
    return true;
  });
}

bool Database::AddDataFile(Pos pos, std::string_view text, const std::string& name, std::string& error) {
  int p = static_cast<int>(pos);
  return ForEachLine(text, name, error, true, [&](std::string_view line, std::string& why) {
    Synset synset;
    if (!ParseDataLine(line, synset, why)) return false;
    uint32_t offset = synset.offset;
    data_[p][offset] = std::move(synset);
    return true;
  });
}

bool Database::AddExceptionFile(Pos pos, std::string_view text, const std::string& name, std::string& error) {
  int p = static_cast<int>(pos);
  return ForEachLine(text, name, error, true, [&](std::string_view line, std::string& why) {
    std::string form;
    std::vector<std::string> bases;
    if (!ParseExceptionLine(line, form, bases, why)) return false;
    exceptions_[p].emplace_back(std::move(form), std::move(bases));
    return true;
  });
}

bool Database::AddCountFile(std::string_view text, const std::string& name, std::string& error) {
  return ForEachLine(text, name, error, true, [&](std::string_view line, std::string& why) {
    SenseCount sense;
    if (!ParseCountLine(line, sense, why)) return false;
    int& total = counts_[static_cast<int>(sense.pos)][sense.lemma];
    if (total < 1000000000 - sense.count) total += sense.count;
    int& c = senseCounts_[static_cast<int>(sense.pos)][SenseKey(sense.lemma, sense.lexFile, sense.lexId)];
    if (c < 1000000000 - sense.count) c += sense.count;
    return true;
  });
}

bool Database::Load(const std::string& folder, std::string& error) {
  for (int i = 0; i < kPosCount; ++i) {
    Pos pos = static_cast<Pos>(i);
    std::string suffix = PosFileSuffix(pos);
    std::string text;
    std::string index = folder + "/index." + suffix, data = folder + "/data." + suffix,
                exc = folder + "/" + suffix + ".exc";
    if (!ReadWholeFile(index, text, error) || !AddIndexFile(pos, text, index, error)) return false;
    if (!ReadWholeFile(data, text, error) || !AddDataFile(pos, text, data, error)) return false;
    if (!ReadWholeFile(exc, text, error) || !AddExceptionFile(pos, text, exc, error)) return false;
  }
  std::string text, counts = folder + "/cntlist.rev";
  return ReadWholeFile(counts, text, error) && AddCountFile(text, counts, error);
}

const IndexEntry* Database::FindLemma(Pos pos, std::string_view lemma) const {
  int p = static_cast<int>(pos);
  auto it = indexByLemma_[p].find(std::string(lemma));
  return it == indexByLemma_[p].end() ? nullptr : &index_[p][it->second];
}

const Synset* Database::FindSynset(Pos pos, uint32_t offset) const {
  const auto& d = data_[static_cast<int>(pos)];
  auto it = d.find(offset);
  return it == d.end() ? nullptr : &it->second;
}

int Database::TaggedCount(Pos pos, std::string_view lemma) const {
  const auto& c = counts_[static_cast<int>(pos)];
  auto it = c.find(std::string(lemma));
  return it == c.end() ? 0 : it->second;
}

int Database::SenseTagCount(Pos pos, std::string_view lemma, int lexFile, int lexId) const {
  const auto& c = senseCounts_[static_cast<int>(pos)];
  auto it = c.find(SenseKey(lemma, lexFile, lexId));
  return it == c.end() ? 0 : it->second;
}

int Database::SenseTagCount(Pos pos, std::string_view lemma, const Synset& synset) const {
  for (const SynsetWord& w : synset.words)
    if (LowerAscii(w.text) == lemma) return SenseTagCount(pos, lemma, synset.lexFile, w.lexId);
  return 0;
}

std::vector<const Synset*> Database::Hypernyms(const Synset& synset) const {
  std::vector<const Synset*> result;
  for (const Pointer& p : synset.pointers)
    if (p.symbol == "@" || p.symbol == "@i")
      if (const Synset* s = FindSynset(p.pos, p.offset)) result.push_back(s);
  return result;
}

int Database::FirstSenseLexFile(Pos pos, std::string_view lemma) const {
  const IndexEntry* e = FindLemma(pos, lemma);
  if (!e || e->synsets.empty()) return -1;
  const Synset* s = FindSynset(pos, e->synsets[0]);
  return s ? s->lexFile : -1;
}

}  // namespace quilor::wordnet
