// The Scenario as the editor holds it: a tree of groups (number, label,
// visible or hidden) and items (text, kind, error flag), with the mapping to
// and from the class-file list and every edit as a named operation. Plain
// C++; the window only shows it. Texts are Windows-1252.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/class_file.h"

namespace quilor::ui {

// Pictures of the nodes (derived from the data, never read from labels).
enum ScenarioPicture : int {
  kPicWord = 2,
  kPicClass = 3,
  kPicVerb = 4,
  kPicAdjective = 5,
  kPicError = 6,
  kPicSubstantive = 7,
  kPicGroup = 8,
  kPicHiddenGroup = 9,
};

struct ScenarioNode {
  int id = 0;
  int parent = 0;  // 0: top level
  std::vector<int> children;
  bool group = false;
  bool visible = true;  // groups
  int32_t number = 0;   // groups; 0 until one is given
  std::string text;     // group label, or the item's text without suffix
  char kind = '0';      // items: '0' word, 'A', 'S', 'V', or the class level '1'..'3'
  bool error = false;   // items: the entry's fourth code character was not '#'
  int fileDepth = -1;   // depth read from the file, kept while the node stays in place
  bool expanded = false;
};

// A display label split into its text and suffix: only " (X)" with X one of
// * 1 2 3 A S V at the end of a label longer than 4 characters is a suffix.
struct SplitLabel {
  std::string text;
  char kind = '0';  // '0' none, 'A', 'S', 'V', '1'..'3' (class level)
};
SplitLabel SplitDisplayLabel(const std::string& label);
// The display label of an item: text + " (suffix)".
std::string ItemDisplayLabel(const std::string& text, char kind);
// The suffix of an item kind ('*' level 1, '2' level 2, '1' level 3, 'V', 'A', 'S'); 0 for none.
char SuffixOfKind(char kind);
// The group-name treatment: first letter upper case when capitals is set,
// every '_' after the first character a blank.
std::string GroupNameOf(const std::string& name, bool capitals);

class ScenarioTree {
 public:
  // The deepest depth a class file holds (its depth digit). A group at this
  // depth can hold nothing: its items would be read back into the group above.
  static constexpr int kDeepestDepth = 9;

  ScenarioTree();

  // Mapping.
  // Rebuilds the tree from the list; counter is the list's group counter,
  // used for groups whose number is not a number. The children of every
  // node are sorted by text. Clears the modified flag.
  void Fill(const ClassFileList& list);
  // Empties the list and adds one entry per node in tree order; items at the
  // top level are not written. Each node is written at a depth from which the
  // reader puts it back under its own parent. False when the list refused an
  // entry.
  bool Write(ClassFileList& list);

  // Queries.
  const ScenarioNode* Node(int id) const;
  const std::vector<int>& TopLevel() const { return top_; }
  const std::vector<int>& ChildrenOf(int id) const;
  int Depth(int id) const;  // -1 for no node
  // The levels below a node: 0 for an item or an empty group.
  int Height(int id) const;
  // Whether node, with everything below it, can become a child of parent
  // (0: the top level) and still be held by a class file.
  bool FitsUnder(int node, int parent) const;
  std::string Label(int id) const;
  int Picture(int id) const;
  // Every node in tree order.
  std::vector<int> InTreeOrder() const;
  bool IsDescendantOrSelf(int node, int ancestor) const;
  size_t NodeCount() const { return nodeCount_; }
  // The group of a node: itself when it is a group, else its parent when that is a group; 0 none.
  int EnclosingGroup(int id) const;

  // Selection, modified flag and the Cut mark.
  int Selected() const { return selected_; }
  void Select(int id);
  bool Modified() const { return modified_; }
  void SetModified(bool m) {
    modified_ = m;
    ++generation_;
  }
  int CutMark() const { return cut_; }
  uint64_t Generation() const { return generation_; }
  bool WordWithoutReference() const { return wordWithoutReference_; }
  // The last edit was refused because it would have gone past kDeepestDepth.
  bool RefusedTooDeep() const { return tooDeep_; }

  // Options used by the name treatment and the compound check.
  bool capitals = false;
  // Tells whether a compound word ('_' or '-') is known to the lexicon.
  std::function<bool(const std::string&)> compoundKnown;

  // Edits.
  void Clear();
  // Adds a group (as last child of parent, or before `before` among its siblings when before != 0).
  int AddGroup(int parent, const std::string& label, bool visible, int before = 0);
  int AddItem(int parent, const std::string& text, char kind, bool error = false);
  // Makes name a group at the top level at its sorted place, or selects the
  // existing one. position < 0 takes the selection as reference; asChild adds
  // under the reference instead of before it.
  bool CreateOrSelectGroup(const std::string& name, int position, bool asChild);
  // Adds an item under the selected node; with checkDuplicates an existing
  // label anywhere is selected instead. False when nothing was added.
  bool AddPendingItem(const std::string& name, int level, char kind, bool checkDuplicates);
  // An item inside a group gets a group of its own, named by its text, beside
  // it; node becomes that group. False when nothing changed.
  bool PutItemInOwnGroup(int& node);
  // Case-insensitive label search (groups only: visible groups). Selects and expands.
  bool FindNodeByLabel(const std::string& text, bool groupsOnly);
  // The duplicate check of an added item: an item (never a group) with that label, selected.
  bool FindItemByLabel(const std::string& label);
  // From start, the first node whose lower-cased label begins with text.
  bool FindNextNode(std::string text, int& start, bool mayShorten);

  bool Rename(int id, const std::string& newText);
  static bool CanRename(const ScenarioNode& node) { return node.group || node.parent == 0; }
  void SetVisible(int id, bool visible);
  void Cut(int id);
  // Moves the Cut node as last child of target (an item target: into its
  // group). False and nothing changes for a move into itself or a
  // descendant, or past the deepest depth (RefusedTooDeep).
  bool Paste(int target);
  // Deletes the node and its subtree; the Cut mark goes with it.
  void Delete(int id);
  void Dissociate(int id);
  bool UpperCase(int id);
  void SortChildren(int parent);  // parent 0: the top level
  void SortAll();
  void ExpandAll(bool expanded);
  void SetExpanded(int id, bool expanded) {
    if (Node(id)) nodes_[static_cast<size_t>(id)].expanded = expanded;
  }
  // Drag inside the tree: the source moves as last child of the target's own
  // group. Refused like Paste.
  bool DropMove(int source, int target);
  // The group "???" inserted before the node.
  int NewGroupBefore(int id);
  // Moves node as last child of parent (0: top level); the former parent, a
  // top-level group left without children, is deleted. Refused like Paste.
  bool MoveNode(int node, int parent);

 private:
  ScenarioNode& At(int id) { return nodes_[static_cast<size_t>(id)]; }
  std::vector<int>& SiblingsOf(int id);
  void Detach(int id);
  int NewNode();
  struct WriteState;
  void WriteNode(int id, int parentDepth, WriteState& state);
  int HeightInto(int id, std::vector<int>& heights) const;
  void CheckCompound(const std::string& text);
  void ResetDepths(int id);

  std::vector<ScenarioNode> nodes_;  // index = id; id 0 unused; deleted nodes have id 0
  std::vector<int> top_;
  size_t nodeCount_ = 0;
  int selected_ = 0;
  int cut_ = 0;
  bool modified_ = false;
  bool wordWithoutReference_ = false;
  bool tooDeep_ = false;
  uint64_t generation_ = 0;
  int32_t groupCounter_ = 0;
};

}  // namespace quilor::ui
