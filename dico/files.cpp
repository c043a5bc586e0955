#include "dico/files.h"

#include <algorithm>
#include <cstring>

#include "core/chartables.h"
#include "core/lexicon.h"
#include "core/name_index.h"

namespace quilor::dico {

namespace {

// The first verb reading of a form in the lexicon; 0 when it has none.
TCategoryCode FirstVerbReading(const LexiconModel& model, const std::string& form) {
  auto it = model.Entries().find(form);
  if (it == model.Entries().end()) return 0;
  for (TCategoryCode c : it->second)
    if (MajorClassOfCode(c) == 1) return c;
  return 0;
}

// A name index of base forms and their other forms. A form belongs to one
// base (the model's choice); a form that is itself a base form stays another
// form only when its first verb reading is not a present (found: find, but
// lay keeps its own entry).
bool WriteNameIndex(const LexiconModel& model, const std::map<std::string, std::vector<std::string>>& forms, bool verbs,
                    const std::string& path, size_t& names, size_t& formCount, size_t& refused, std::string& error) {
  NameIndexWriter writer(kNameIndexPrimarySegments, kNameIndexSecondarySegments);
  std::map<std::string, int> entries;
  for (const auto& [base, others] : forms) {
    int entry = writer.AddName(base);
    if (entry > 0) {
      entries[base] = entry;
      ++names;
    } else {
      ++refused;
    }
  }
  for (const auto& [base, others] : forms) {
    auto e = entries.find(base);
    if (e == entries.end()) continue;
    for (const std::string& form : others) {
      if ((verbs ? model.VerbOfForm(form) : model.AdjectiveOfForm(form)) != base) continue;
      if (forms.count(form)) {
        if (!verbs) continue;
        TCategoryCode c = FirstVerbReading(model, form);
        if (c == 0 || (c & 0x7C) == 0) continue;  // a present indicative: the form is its own verb
      }
      if (writer.AddForm(form, e->second)) {
        ++formCount;
      } else {
        ++refused;
      }
    }
  }
  return writer.Write(path, &error);
}

}  // namespace

bool WriteDictionaryFiles(const LexiconModel& model, const WordLists& lists, const std::string& folder,
                          WriteReport& report, std::string& error) {
  WorkingTables tables = DefaultWorkingTables();
  std::memcpy(tables.styleNorms, lists.styleNorms.data(), sizeof tables.styleNorms);
  LexiconWriter lexicon(tables, kDictionaryStamp, static_cast<uint32_t>(model.Entries().size()));
  for (const auto& [word, codes] : model.Entries()) {
    std::vector<TCategoryCode> plain(codes.size());
    std::transform(codes.begin(), codes.end(), plain.begin(),
                   [](TCategoryCode c) { return static_cast<TCategoryCode>(c & ~kAmbiguityBit); });
    if (lexicon.AddWord(word, plain)) ++report.words;
    else ++report.refused;
  }
  return lexicon.Write(folder + "/englex.lv8", &error) &&
         WriteNameIndex(model, model.VerbForms(), true, folder + "/englex.vv8", report.verbs, report.verbForms,
                        report.refused, error) &&
         WriteNameIndex(model, model.AdjectiveForms(), false, folder + "/englex.av8", report.adjectives,
                        report.adjectiveForms, report.refused, error);
}

}  // namespace quilor::dico
