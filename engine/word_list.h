// The analysed text as a stream of words in reading order.
//
// Nodes and word texts live in chunks of 64 KB that are never freed one by
// one: an append costs no heap call but once per chunk, and clearing costs
// one release per chunk. The list is append-only, so the nodes of a chunk
// follow each other in memory and the chunks are linked both ways: a node
// needs no link fields of its own (see NextNode / PreviousNode).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string_view>
#include <unordered_map>

#include "core/category.h"

namespace quilor {

// TWordCategoryData (core/category.h) is the category data of each node.

struct TWordNode {
  const char* text;       // NUL-terminated, in the list's string pool; nullptr in the tail
  int32_t position;       // running number of the word in the analysis
  uint32_t lexicalEntry;  // dictionary entry id; 0 for inserted marks
  TWordCategoryData category;
  char tag[4];          // punctuation before the word, at most 3 characters
  uint16_t fileNumber;  // number of the document in the file queue
  uint8_t mark;         // set when the user marks the word
  uint8_t written;      // the text is followed by its gap and written form (TWordList::GapOf)
  // The value of the word's reading: the class triple number given by the
  // first semantic pass, or the value chosen among the readings of an
  // ambiguous noun by the second; 0 for words without one.
  int32_t readingValue;
};
static_assert(sizeof(TWordNode) == 56);

namespace wordlist_detail {
constexpr size_t kChunkBytes = 65536;
struct Chunk;
}  // namespace wordlist_detail

// A chain of 64 KB chunks used from the first on; the first stays allocated
// when the chain is cleared.
class TChunkChain {
 public:
  TChunkChain() = default;
  ~TChunkChain() { Release(); }
  TChunkChain(const TChunkChain&) = delete;
  TChunkChain& operator=(const TChunkChain&) = delete;

  // Moves on to the next chunk, allocating it when needed; false when no
  // memory is left. The bytes of a freshly allocated chunk are zero.
  bool Advance();
  // Frees every chunk but the first and goes back to before the first.
  void Clear();
  // Frees every chunk.
  void Release();
  unsigned char* Data() const;  // the current chunk's bytes (nullptr before the first)
  size_t ChunkCount() const { return chunkCount_; }

 private:
  wordlist_detail::Chunk* first_ = nullptr;
  wordlist_detail::Chunk* current_ = nullptr;
  size_t chunkCount_ = 0;
};

// What the string pool and the node pool share: a chain of chunks and the
// count used of the current one.
class TChunkedPool {
 public:
  // Frees every chunk but the first and starts again at its beginning.
  void Clear() {
    chain_.Clear();
    used_ = kFull;
  }
  void Release() {
    chain_.Release();
    used_ = kFull;
  }
  size_t ChunkCount() const { return chain_.ChunkCount(); }

 protected:
  static constexpr size_t kFull = ~size_t{0} / 2;
  TChunkChain chain_;
  size_t used_ = kFull;  // units used in the current chunk
};

// Chunked storage of NUL-terminated strings.
class TWordStringPool : public TChunkedPool {
 public:
  // A copy of text[0..length) with a NUL; nullptr when no memory is left.
  // Strings longer than a chunk can hold are cut.
  const char* Store(const char* text, size_t length);
  // Copies of the pieces, each with its NUL, one after the other.
  const char* Store(const std::string_view* pieces, size_t count);
};

// A word as the reader sees it in its document: what stands between it and
// the word before (blanks folded, curly quotes, dashes and the punctuation
// the analysis does not keep included), and the word as written there (the
// words of a joined expression or number with what was between them).
struct TWrittenText {
  size_t gapLength = 0;
  const char* gap = "";
  size_t wordLength = 0;
  const char* word = "";
};

// Chunked storage of word nodes: 1,170 nodes a chunk.
class TWordNodePool : public TChunkedPool {
 public:
  static const size_t kNodesPerChunk;
  // A zero-filled node following the previous one; nullptr when no memory is left.
  TWordNode* Take();
};

// The word list's bookmarks (cursor slots 1..10): what each keeps and who
// keeps it there. 6 and 8 to 10 are free.
enum WordBookmark : int {
  // The text page's first proposition and the one of its last line: the
  // text view and its layout, the selection operations, the results list,
  // the diagnosis and the graphs' clicks; the context window borrows both.
  kBookmarkPageStart = 1,
  kBookmarkPageEnd = 2,
  // Where the search for the selection's next occurrence starts (the
  // selection, the text page, the copy window, printing).
  kBookmarkSearchStart = 3,
  // A walk over the words that puts the cursor back when it ends (the
  // graphs' source, printing); never held past the walk.
  kBookmarkWalk = 4,
  // Where the word search goes on (the word search, the terminology
  // extractor; the diagnosis puts it at the text's start).
  kBookmarkWordSearch = 5,
  // The word the last word search found (the text's start after an analysis).
  kBookmarkFoundWord = 7,
};

class TWordList {
 public:
  static constexpr int kBookmarkCount = 10;

  TWordList() { Init(); }
  ~TWordList() { Done(); }
  TWordList(const TWordList&) = delete;
  TWordList& operator=(const TWordList&) = delete;

  // Takes the first node (a failure ends the program), sets built, then Reset.
  void Init();
  // The list becomes empty (the first node is the tail); every bookmark and
  // the cursor go to the start.
  void Reset();
  // Empties the list and gives its memory back.
  void Clear();
  void Done();

  // Appends a word after the last one. False when no memory is left (reported).
  bool Append(const char* text, const char* tag, uint32_t lexicalEntry, uint16_t fileNumber, int32_t position,
              const TWordCategoryData* category);
  // The same with the text's length known (no NUL needed in text).
  bool Append(const char* text, size_t length, const char* tag, uint32_t lexicalEntry, uint16_t fileNumber,
              int32_t position, const TWordCategoryData* category);
  // The same with the word as written in its document.
  bool Append(const char* text, size_t length, const char* tag, uint32_t lexicalEntry, uint16_t fileNumber,
              int32_t position, const TWordCategoryData* category, const TWrittenText& written);
  // What a node appended with its written form keeps of it: the gap before
  // the word, and the word as written where it is not its text ("" when it
  // is, and for a mark); nullptr for a node appended without.
  const char* GapOf(const TWordNode& node) const;
  const char* WrittenOf(const TWordNode& node) const {
    const char* gap = GapOf(node);
    return gap ? gap + std::strlen(gap) + 1 : nullptr;
  }
  // The text the node was appended with (ReplaceText may have changed it since).
  const char* OriginalText(const TWordNode& node) const;
  // The node's text becomes text (kept elsewhere, as long as the list); its
  // written form stays. Safe beside the thread that appends.
  void ReplaceText(TWordNode& node, const char* text);

  void Rewind() { cursor_ = first_; }
  // Cursor := the first node whose position >= position, or the tail.
  bool SeekPosition(int32_t position);
  // The node of the word at position, the cursor left where it was; nullptr
  // when no word stands there.
  TWordNode* NodeAt(int32_t position);
  bool FileNumberAt(int32_t position, uint16_t& fileNumber);
  bool BackToPropositionStart();
  void SaveCursor(int slot);
  void RestoreCursor(int slot);
  void CopyBookmark(int target, int source);
  // A bookmark's node without moving the cursor (nullptr outside 1..10 or
  // never set); setting one takes a node of this list (nullptr is ignored).
  TWordNode* Bookmark(int slot) const { return slot >= 1 && slot <= kBookmarkCount ? bookmarks_[slot] : nullptr; }
  void SetBookmark(int slot, TWordNode* node) {
    if (slot >= 1 && slot <= kBookmarkCount && node) bookmarks_[slot] = node;
  }
  TWordNode* Cursor() const { return cursor_; }
  void SetCursor(TWordNode* node) {
    if (node) cursor_ = node;
  }
  bool AtEnd() const { return cursor_ == tail_; }
  bool AtStart() const { return cursor_ == first_; }

  // The cursor's word and the cursor moves on; nullptr (outs cleared) at the end.
  const char* NextWord(TWordCategoryData*& category, const char*& tag, int32_t& position);
  const char* NextWordNode(TWordCategoryData*& category, TWordNode*& node, int32_t& position);
  // The cursor moves back one node and gives it; nullptr at the first node.
  const char* PreviousWord(TWordCategoryData*& category, const char*& tag, int32_t& position);
  // As NextWordNode, clearing the node's mark, pass byte and class ids first.
  const char* NextWordForPass(TWordNode*& node, int32_t& position);

  TWordNode* First() const { return first_; }
  TWordNode* Tail() const { return tail_; }
  uint32_t Count() const { return count_; }
  // The count of nodes appended, for a thread that reads the nodes while
  // another appends: the nodes up to it are whole.
  uint32_t Published() const { return published_.load(std::memory_order_acquire); }
  // Such a reader sleeps until the appender (after a batch of appends) or
  // whoever ends its reading announces something: it takes Announcements()
  // before it looks at Published() and then waits for that count to change.
  uint32_t Announcements() const { return announced_.load(std::memory_order_acquire); }
  void AwaitAnnouncement(uint32_t seen) const { announced_.wait(seen, std::memory_order_acquire); }
  void Announce() {
    announced_.fetch_add(1, std::memory_order_acq_rel);
    announced_.notify_one();
  }
  int32_t HighestPosition() const { return highestPosition_; }
  bool Built() const { return built_; }
  size_t NodeChunkCount() const { return nodes_.ChunkCount(); }
  size_t StringChunkCount() const { return strings_.ChunkCount(); }

  // The node after / before a node of a list (the tail has no next, the first no previous).
  static TWordNode* NextNode(const TWordNode* node) {
    // The last node of a chunk ends where the chunk ends: any other is
    // followed by the next node of its chunk (the passes call this for
    // every node, so it is inline).
    const TWordNode* next = node + 1;
    if (reinterpret_cast<uintptr_t>(next) % wordlist_detail::kChunkBytes != 0) return const_cast<TWordNode*>(next);
    return FirstOfNextChunk(node);
  }
  static TWordNode* PreviousNode(const TWordNode* node);
  // The node count nodes after a node of a list (node itself for 0), found
  // chunk by chunk; the caller keeps within the list (up to its tail).
  static TWordNode* NodeAhead(const TWordNode* node, size_t count);

 private:
  bool Append(const char* text, size_t length, const char* tag, uint32_t lexicalEntry, uint16_t fileNumber,
              int32_t position, const TWordCategoryData* category, const TWrittenText* written);
  static TWordNode* FirstOfNextChunk(const TWordNode* last);
  const char* Take(TWordCategoryData*& category, const char*& tag, int32_t& position, TWordNode* node);

  TWordStringPool strings_;
  TWordNodePool nodes_;
  // The texts a replacement took away, which their written forms follow.
  mutable std::mutex replacedMutex_;
  std::unordered_map<const TWordNode*, const char*> replaced_;
  TWordNode* first_ = nullptr;
  TWordNode* tail_ = nullptr;
  TWordNode* cursor_ = nullptr;
  int32_t highestPosition_ = 0;
  uint32_t count_ = 0;
  std::atomic<uint32_t> published_{0};
  std::atomic<uint32_t> announced_{0};
  bool built_ = false;
  TWordNode* bookmarks_[kBookmarkCount + 1] = {};  // 1..10
};

// The words of the current analysis.
extern TWordList TextWords;

}  // namespace quilor
