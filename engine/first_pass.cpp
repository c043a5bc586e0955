#include "engine/first_pass.h"

#include <algorithm>
#include <new>
#include <system_error>

#include "core/category.h"
#include "core/name_index.h"
#include "core/worker_threads.h"
#include "engine/ontology_engine.h"
#include "platform/letter_case.h"

namespace quilor {

namespace {

bool IsMark(const TWordNode* n) { return n->text[0] == '/' && n->text[1] == 0; }

}  // namespace

void TFirstPass::Begin(bool numbersAsWords) {
  engine_.ClearTextCounts();
  engine_.ResetTextClasses();
  engine_.BeginTextReadings();
  forms_.Clear();
  numerals_ = numbersAsWords;
  words_ = 0;
}

bool TFirstPass::ClassifySubstantive(TWordNode* n) {
  TWordCategoryData& d = n->category;
  Classified* known = nullptr;
  try {
    known = &forms_.Obtain(n->text).byMark[(d.Category.SubField2 & 2) ? 1 : 0];
  } catch (const std::bad_alloc&) {
    known = nullptr;  // no room for the table: the engine answers every time
  }
  Classified fresh;
  if (known && known->known) {
    if (known->classified) engine_.CountClassOccurrences(known->classes);
  } else {
    // The loading's threads ask the engine only what it reads from its
    // dictionary (LookupEntry): the classification needs no lock of theirs.
    int32_t value = 0;
    fresh.known = true;
    fresh.classified = engine_.ClassifySubstantive(n->text, &d.Category, value);
    fresh.value = value;
    if (fresh.classified) {
      const auto& best = engine_.BestClasses();
      std::copy(best.begin(), best.end(), fresh.classes);
      fresh.baseForm = engine_.BestBaseForm();
    } else if (engine_.LastReadingAmbiguous()) {
      // The second step chooses among its readings: they are looked up now.
      const ReadingsToken token = engine_.ReadingsOf(n->text);
      if (token.generation == engine_.TextToken(0).generation) fresh.readings = token.readings;
    }
    if (known) *known = fresh;
    else known = &fresh;
    if (readingsAhead_ && !fresh.readings &&
        (!fresh.classified || (IsUpperCaseLetter(static_cast<unsigned char>(n->text[0])) && n->text[1])))
      engine_.ReadingsOf(n->text);
  }
  if (!known->classified) {
    if (known->readings) {
      n->readingValue = static_cast<int32_t>(known->readings);
      d.PassByte |= kPassReadingsBit;
    }
    return false;
  }
  std::copy(std::begin(known->classes), std::end(known->classes), d.ClassIds);
  n->lexicalEntry = known->baseForm;
  n->readingValue = known->value > 0 ? known->value : 0;
  return true;
}

void TFirstPass::Take(TWordNode* n) {
  TWordCategoryData& d = n->category;
  n->mark = 0;
  n->readingValue = 0;
  d.PassByte = 0;
  std::fill(std::begin(d.ClassIds), std::end(d.ClassIds), 0u);
  if (IsMark(n)) return;
  ++words_;
  TCategoryRecord& c = d.Category;
  if (numerals_ && IsNumeralAdjective(c)) {
    if (AdjectiveIndex && n->lexicalEntry >= 1 &&
        n->lexicalEntry <= static_cast<uint32_t>(AdjectiveIndex->NameEntryCount())) {
      const char* name = AdjectiveIndex->NameOfEntry(static_cast<int>(n->lexicalEntry));
      if (name && name[0]) TextWords.ReplaceText(*n, name);
    }
    SetSubstantive(c);
    c.SubField2 |= 3;
  }
  if (IsSubstantive(c)) {
    if (ClassifySubstantive(n)) {
      uint32_t unused = 0;
      if (TextIndex) TextIndex->CountTextIndexEntry(n->lexicalEntry, unused);
    }
  } else if (IsVerb(c) || IsAdjective(c)) {
    uint32_t entry = 0;
    if (IsVerb(c)) CountVerbOccurrence(n->lexicalEntry, entry);
    else CountAdjectiveOccurrence(n->lexicalEntry, entry);
    d.ClassIds[3] = entry;
    engine_.CountScenarioOccurrence(entry);
  }
}

// ---------------------------------------------------------------------------

bool TFirstPassBesideLoading::Start(TOntologyEngine& engine, bool numbersAsWords) {
  Finish(false);
  pass_ = std::make_unique<TFirstPass>(engine);
  pass_->Begin(numbersAsWords);
  pass_->LookUpReadingsAhead();
  finish_.store(false, std::memory_order_relaxed);
  // The count of words is set by Finish, and read only when done.
  complete_ = done_ = false;
  try {
    thread_ = std::thread([this] { RunWorker("first pass", [this] { Follow(); }); });
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

void TFirstPassBesideLoading::Follow() {
  TWordNode* last = nullptr;
  uint32_t taken = 0;
  for (;;) {
    // Taken first: an announcement made after it ends the wait below at once.
    const uint32_t announced = TextWords.Announcements();
    const bool finishing = finish_.load(std::memory_order_acquire);
    if (finishing && !complete_) return;
    // Once the loading has finished the count read is the last.
    const uint32_t published = TextWords.Published();
    for (; taken < published; ++taken) {
      last = last ? TWordList::NextNode(last) : TextWords.First();
      pass_->Take(last);
    }
    if (finishing) return;
    TextWords.AwaitAnnouncement(announced);
  }
}

void TFirstPassBesideLoading::Finish(bool complete) {
  if (!thread_.joinable()) return;
  complete_ = complete;
  finish_.store(true, std::memory_order_release);
  TextWords.Announce();
  thread_.join();
  // A pass that found no memory took only part of the text.
  done_ = complete && !WorkerMemoryLow();
  words_ = pass_->Words();
  pass_->End();
}

}  // namespace quilor
