// Reader of the WordNet 3.0 database files (index.*, data.*, *.exc,
// cntlist.rev): lemmas by part of speech, synsets with their pointers and
// lexicographer files, tagged sense counts and the exception lists.
//
// Every parser takes the text as it is and refuses a malformed line with a
// message naming the file and the line; nothing in the input can make it
// read outside its buffers or loop.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quilor::wordnet {

// The text with its ASCII capitals in lower case (WordNet's lemmas are
// ASCII; other bytes stay).
std::string LowerAscii(std::string_view text);

// Reads a whole file; false with a message when it cannot.
bool ReadWholeFile(const std::string& path, std::string& text, std::string& error);

// Calls `parse(line, why)` for every line of a text (without its line end),
// except empty lines and, with skipIndented, lines that begin with a blank
// (the licence header of the database files). Stops at the first refusal,
// with the file name and line number before its reason.
template <typename F>
bool ForEachLine(std::string_view text, const std::string& name, std::string& error, bool skipIndented, F parse) {
  size_t start = 0;
  int number = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || (skipIndented && line[0] == ' ')) continue;
    std::string why;
    if (!parse(line, why)) {
      error = name + ":" + std::to_string(number) + ": " + why;
      return false;
    }
  }
  return true;
}

enum class Pos : uint8_t { Noun = 0, Verb = 1, Adjective = 2, Adverb = 3 };
constexpr int kPosCount = 4;

// "noun", "verb", "adj", "adv": the suffix of the database file names.
const char* PosFileSuffix(Pos pos);
// The part of speech of a data-file or pointer letter (n v a s r); false when unknown.
bool PosFromLetter(char letter, Pos& pos);

// Number of lexicographer files and their names (noun.person, verb.stative...).
constexpr int kLexFileCount = 45;
const char* LexFileName(int number);       // "" outside 0..44
int LexFileNumber(std::string_view name);  // -1 when unknown

struct Pointer {
  std::string symbol;   // "@" hypernym, "@i" instance hypernym, "~" hyponym, "\\" pertainym...
  uint32_t offset = 0;  // target synset
  Pos pos = Pos::Noun;  // target part of speech
  uint8_t source = 0;   // word number in this synset, 0 = the whole synset
  uint8_t target = 0;   // word number in the target synset, 0 = the whole synset
};

struct SynsetWord {
  std::string text;  // as written in WordNet (case kept, '_' between words)
  uint8_t lexId = 0;
  std::string marker;  // adjective position marker without brackets: "a", "p", "ip" or ""
};

struct Synset {
  uint32_t offset = 0;
  int lexFile = 0;
  char type = 'n';  // n v a s r
  std::vector<SynsetWord> words;
  std::vector<Pointer> pointers;
  std::string gloss;

  bool HasPointer(std::string_view symbol) const;
};

struct IndexEntry {
  std::string lemma;              // lower case, '_' between words
  std::vector<uint32_t> synsets;  // most frequent sense first
  int tagSenseCount = 0;
};

// One parser per file kind, usable on a single line (fuzzing, tests).
bool ParseIndexLine(std::string_view line, IndexEntry& entry, std::string& error);
bool ParseDataLine(std::string_view line, Synset& synset, std::string& error);
// "form base [base...]": the exceptions of one inflected form.
bool ParseExceptionLine(std::string_view line, std::string& form, std::vector<std::string>& bases, std::string& error);
// "lemma%ss_type:lex_filenum:lex_id:head_word:head_id sense_number tag_count".
struct SenseCount {
  std::string lemma;
  Pos pos = Pos::Noun;
  int lexFile = 0;
  int lexId = 0;
  int count = 0;
};
bool ParseCountLine(std::string_view line, SenseCount& sense, std::string& error);

class Database {
 public:
  // Reads the database of a folder (/usr/share/wordnet). False with a message
  // when a file is missing or malformed.
  bool Load(const std::string& folder, std::string& error);

  // The same from file contents; `name` only serves the messages.
  bool AddIndexFile(Pos pos, std::string_view text, const std::string& name, std::string& error);
  bool AddDataFile(Pos pos, std::string_view text, const std::string& name, std::string& error);
  bool AddExceptionFile(Pos pos, std::string_view text, const std::string& name, std::string& error);
  bool AddCountFile(std::string_view text, const std::string& name, std::string& error);

  // Lemmas of a part of speech in file order (sorted by lemma).
  const std::vector<IndexEntry>& Lemmas(Pos pos) const { return index_[static_cast<int>(pos)]; }
  const IndexEntry* FindLemma(Pos pos, std::string_view lemma) const;
  const Synset* FindSynset(Pos pos, uint32_t offset) const;
  const std::map<uint32_t, Synset>& Synsets(Pos pos) const { return data_[static_cast<int>(pos)]; }
  // The exception list of a part of speech: inflected form -> base forms.
  const std::vector<std::pair<std::string, std::vector<std::string>>>& Exceptions(Pos pos) const {
    return exceptions_[static_cast<int>(pos)];
  }
  // Sum of the tagged counts of the lemma's senses in a part of speech
  // (adjective satellites count as adjectives).
  int TaggedCount(Pos pos, std::string_view lemma) const;
  // The tagged count of one sense of a lemma, named as its sense key names
  // it: the lexicographer file of its synset and the lemma's lexical id in
  // that synset; 0 when untagged. (The sense numbers of cntlist.rev do not
  // always follow the order of the index.)
  int SenseTagCount(Pos pos, std::string_view lemma, int lexFile, int lexId) const;
  // The same for a synset of the lemma.
  int SenseTagCount(Pos pos, std::string_view lemma, const Synset& synset) const;
  // The synsets that the "@" and "@i" pointers of a synset lead to.
  std::vector<const Synset*> Hypernyms(const Synset& synset) const;
  // The lexicographer file of the lemma's most frequent sense, -1 when unknown.
  int FirstSenseLexFile(Pos pos, std::string_view lemma) const;

 private:
  std::vector<IndexEntry> index_[kPosCount];
  std::unordered_map<std::string, size_t> indexByLemma_[kPosCount];
  std::map<uint32_t, Synset> data_[kPosCount];
  std::vector<std::pair<std::string, std::vector<std::string>>> exceptions_[kPosCount];
  std::unordered_map<std::string, int> counts_[kPosCount];
  // "lemma%lexfile:lexid" -> count.
  std::unordered_map<std::string, int> senseCounts_[kPosCount];
};

}  // namespace quilor::wordnet
