// The tag groups of the Brown corpus and the major classes each accepts, as
// the project scores agreement (tags not listed, and tags joined with '+',
// are not scored; a suffix after '-' is dropped).
#pragma once

#include <algorithm>
#include <cctype>
#include <map>
#include <vector>
#include <string>

#include "core/category.h"

namespace quilor::brown {

enum Group { kNoun, kVerb, kAdjective, kPronoun, kDeterminant, kConjunction, kAdverb, kGroups, kNotScored = -1 };
inline const char* const kGroupNames[kGroups] = {
    "substantive", "verb", "adjective", "pronoun", "determinant/preposition", "conjunction", "adverb"};

inline int GroupOfTag(std::string tag) {
  if (tag.find('+') != std::string::npos) return kNotScored;
  const size_t dash = tag.find('-');
  if (dash != std::string::npos && dash > 0) tag.resize(dash);
  static const std::map<std::string, int> kTags = [] {
    std::map<std::string, int> m;
    for (const char* t : {"nn", "nns", "nn$", "nns$", "np", "nps", "np$", "nps$"}) m[t] = kNoun;
    for (const char* t : {"vb",  "vbd", "vbg", "vbn", "vbz", "be", "bed", "bedz", "beg", "bem", "ben",
                          "ber", "bez", "do",  "dod", "doz", "hv", "hvd", "hvg",  "hvn", "hvz", "md"})
      m[t] = kVerb;
    for (const char* t : {"jj", "jjr", "jjs", "jjt", "cd", "od"}) m[t] = kAdjective;
    // ex: existential there, a pronoun of the analysis (dico/README.md, "Word kinds").
    for (const char* t : {"pp$", "pp$$", "ppl", "ppls", "ppo", "pps", "ppss", "pn", "wps", "wpo", "wp$", "ex"})
      m[t] = kPronoun;
    for (const char* t : {"at", "dt", "dti", "dts", "dtx", "abn", "abx", "ap", "in"}) m[t] = kDeterminant;
    for (const char* t : {"cc", "cs"}) m[t] = kConjunction;
    for (const char* t : {"rb", "rbr", "rbt", "rn", "ql", "*"}) m[t] = kAdverb;
    return m;
  }();
  const auto it = kTags.find(tag);
  return it == kTags.end() ? kNotScored : it->second;
}

// The major classes a group accepts, the group's own class first.
inline std::vector<int> AcceptedClasses(int group) {
  switch (group) {
    case kNoun: return {kClassSubstantive};
    case kVerb: return {kClassVerb};
    case kAdjective: return {kClassAdjective};
    case kPronoun: return {kClassPronoun};
    case kDeterminant: return {kClassDeterminant, kClassDeterminant2, kClassConnector};
    case kConjunction: return {kClassConnector, kClassPronoun};  // the Pronoun for relative "that"
    case kAdverb: return {kClassModality, kClassConnector};
    default: return {};
  }
}

// Whether a class agrees with the group of a (lower-case) word.
inline bool Accepts(int group, int cls, const std::string& word) {
  if (group == kConjunction && cls == kClassPronoun) return word == "that";
  const std::vector<int> accepted = AcceptedClasses(group);
  return std::find(accepted.begin(), accepted.end(), cls) != accepted.end();
}

// A token without a letter or a digit.
inline bool IsPunctuationToken(const std::string& word) {
  return !std::any_of(word.begin(), word.end(), [](unsigned char c) { return std::isalnum(c); });
}

}  // namespace quilor::brown
