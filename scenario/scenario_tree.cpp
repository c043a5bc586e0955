#include "scenario/scenario_tree.h"

#include <algorithm>
#include <array>

#include "core/chartables.h"

namespace quilor::ui {

namespace {

constexpr size_t kMaxText = 79;
constexpr int kMaxDepth = ScenarioTree::kDeepestDepth;

std::string LowerCopy(std::string text) {
  for (char& c : text) c = static_cast<char>(ToLowerChar(static_cast<unsigned char>(c)));
  return text;
}

char KindOfCode(const ClassFileEntry& e) {
  const char k = e.code[0];
  if (k == 'A' || k == 'S' || k == 'V') return k;
  if (k >= '1' && k <= '3') return k;
  return '0';
}

int PictureOfKind(char kind) {
  switch (kind) {
    case 'V': return kPicVerb;
    case 'A': return kPicAdjective;
    case 'S': return kPicSubstantive;
    case '1':
    case '2':
    case '3': return kPicClass;
    default: return kPicWord;
  }
}

const std::vector<int> kNoChildren;

}  // namespace

char SuffixOfKind(char kind) {
  switch (kind) {
    case '1': return '*';
    case '2': return '2';
    case '3': return '1';
    case 'V':
    case 'A':
    case 'S': return kind;
    default: return 0;
  }
}

SplitLabel SplitDisplayLabel(const std::string& label) {
  SplitLabel out{label, '0'};
  const size_t n = label.size();
  if (n <= 4 || label[n - 1] != ')' || label[n - 3] != '(' || label[n - 4] != ' ') return out;
  switch (label[n - 2]) {
    case '*':
    case '3': out.kind = '1'; break;
    case '2': out.kind = '2'; break;
    case '1': out.kind = '3'; break;
    case 'A':
    case 'S':
    case 'V': out.kind = label[n - 2]; break;
    default: return out;
  }
  out.text = label.substr(0, n - 4);
  return out;
}

std::string ItemDisplayLabel(const std::string& text, char kind) {
  const char suffix = SuffixOfKind(kind);
  if (!suffix) return text;
  return text + " (" + suffix + ")";
}

std::string GroupNameOf(const std::string& name, bool capitals) {
  std::string out = name;
  if (capitals && !out.empty()) out[0] = static_cast<char>(ToUpperChar(static_cast<unsigned char>(out[0])));
  for (size_t i = 1; i < out.size(); ++i)
    if (out[i] == '_') out[i] = ' ';
  return out;
}

ScenarioTree::ScenarioTree() { Clear(); }

void ScenarioTree::Clear() {
  nodes_.assign(1, ScenarioNode{});
  top_.clear();
  nodeCount_ = 0;
  selected_ = 0;
  cut_ = 0;
  wordWithoutReference_ = false;
  ++generation_;
}

const ScenarioNode* ScenarioTree::Node(int id) const {
  if (id <= 0 || static_cast<size_t>(id) >= nodes_.size() || nodes_[static_cast<size_t>(id)].id == 0) return nullptr;
  return &nodes_[static_cast<size_t>(id)];
}

const std::vector<int>& ScenarioTree::ChildrenOf(int id) const {
  if (id == 0) return top_;
  const ScenarioNode* n = Node(id);
  return n ? n->children : kNoChildren;
}

std::vector<int>& ScenarioTree::SiblingsOf(int id) {
  const int parent = At(id).parent;
  return parent == 0 ? top_ : At(parent).children;
}

int ScenarioTree::Depth(int id) const {
  const ScenarioNode* n = Node(id);
  if (!n) return -1;
  int depth = 0;
  while (n->parent) {
    n = Node(n->parent);
    ++depth;
  }
  return depth;
}

int ScenarioTree::HeightInto(int id, std::vector<int>& heights) const {
  int height = 0;
  for (int child : nodes_[static_cast<size_t>(id)].children) height = std::max(height, HeightInto(child, heights) + 1);
  if (!heights.empty()) heights[static_cast<size_t>(id)] = height;
  return height;
}

int ScenarioTree::Height(int id) const {
  if (!Node(id)) return 0;
  std::vector<int> none;
  return HeightInto(id, none);
}

bool ScenarioTree::FitsUnder(int node, int parent) const {
  const int depth = parent ? Depth(parent) + 1 : 0;
  return depth + Height(node) <= kMaxDepth;
}

std::string ScenarioTree::Label(int id) const {
  const ScenarioNode* n = Node(id);
  if (!n) return {};
  return n->group ? n->text : ItemDisplayLabel(n->text, n->kind);
}

int ScenarioTree::Picture(int id) const {
  const ScenarioNode* n = Node(id);
  if (!n) return 0;
  if (n->group) return n->visible ? kPicGroup : kPicHiddenGroup;
  if (n->error) return kPicError;
  return PictureOfKind(n->kind);
}

std::vector<int> ScenarioTree::InTreeOrder() const {
  std::vector<int> out;
  out.reserve(nodeCount_);
  std::vector<std::pair<const std::vector<int>*, size_t>> stack{{&top_, 0}};
  while (!stack.empty()) {
    auto& [list, i] = stack.back();
    if (i >= list->size()) {
      stack.pop_back();
      continue;
    }
    const int id = (*list)[i++];
    out.push_back(id);
    const ScenarioNode& n = nodes_[static_cast<size_t>(id)];
    if (!n.children.empty()) stack.push_back({&n.children, 0});
  }
  return out;
}

bool ScenarioTree::IsDescendantOrSelf(int node, int ancestor) const {
  for (const ScenarioNode* n = Node(node); n; n = Node(n->parent))
    if (n->id == ancestor) return true;
  return false;
}

int ScenarioTree::EnclosingGroup(int id) const {
  const ScenarioNode* n = Node(id);
  if (!n) return 0;
  if (n->group) return id;
  const ScenarioNode* p = Node(n->parent);
  return p && p->group ? p->id : 0;
}

void ScenarioTree::Select(int id) {
  selected_ = Node(id) ? id : 0;
  ++generation_;
}

int ScenarioTree::NewNode() {
  ScenarioNode n;
  n.id = static_cast<int>(nodes_.size());
  nodes_.push_back(n);
  ++nodeCount_;
  return n.id;
}

int ScenarioTree::AddGroup(int parent, const std::string& label, bool visible, int before) {
  const int id = NewNode();
  ScenarioNode& n = At(id);
  n.parent = parent;
  n.group = true;
  n.visible = visible;
  n.text = label;
  std::vector<int>& siblings = parent == 0 ? top_ : At(parent).children;
  auto it = before ? std::find(siblings.begin(), siblings.end(), before) : siblings.end();
  siblings.insert(it, id);
  ++generation_;
  return id;
}

int ScenarioTree::AddItem(int parent, const std::string& text, char kind, bool error) {
  const int id = NewNode();
  ScenarioNode& n = At(id);
  n.parent = parent;
  n.text = text;
  n.kind = kind;
  n.error = error;
  (parent == 0 ? top_ : At(parent).children).push_back(id);
  ++generation_;
  return id;
}

void ScenarioTree::CheckCompound(const std::string& text) {
  const std::string head = text.substr(0, kMaxText);
  if (head.find_first_of("_-") == std::string::npos) return;
  if (!compoundKnown || !compoundKnown(head)) wordWithoutReference_ = true;
}

void ScenarioTree::Fill(const ClassFileList& list) {
  Clear();
  groupCounter_ = 0;
  // The last group met at each depth, as the engine reads the file: an item
  // or group goes under the nearest shallower one.
  std::array<int, kMaxDepth + 1> stack{};
  auto nearestAbove = [&](int depth) {
    for (int d = depth - 1; d >= 0; --d)
      if (stack[static_cast<size_t>(d)]) return stack[static_cast<size_t>(d)];
    return 0;
  };
  bool noGroupYet = true;
  int leadingGroup = 0;
  for (const ClassFileEntry& e : list.Entries()) {
    const int depth = std::min(e.Depth(), kMaxDepth);
    if (e.IsGroup()) {
      noGroupYet = false;
      const int id = AddGroup(nearestAbove(depth), e.text2.value_or(std::string()), e.code[3] != 'H');
      ScenarioNode& g = At(id);
      int32_t number = 0;
      try {
        size_t used = 0;
        number = static_cast<int32_t>(std::stol(e.text1, &used));
        if (used != e.text1.size()) number = 0;
      } catch (...) {
        number = 0;
      }
      if (number <= 0) number = ++GroupNumbering.counter;
      g.number = number;
      g.fileDepth = depth;
      groupCounter_ = std::max(groupCounter_, number);
      stack[static_cast<size_t>(depth)] = id;
      for (int d = depth + 1; d <= kMaxDepth; ++d) stack[static_cast<size_t>(d)] = 0;
      continue;
    }
    int parent = 0;
    if (noGroupYet) {
      // A file that does not begin with a group: items carry their group's name.
      const std::string name = e.text2.value_or(std::string());
      if (!leadingGroup || At(leadingGroup).text != name) leadingGroup = AddGroup(0, name, true);
      parent = leadingGroup;
    } else if (const int deepest = stack[static_cast<size_t>(kMaxDepth)];
               depth == kMaxDepth && deepest && At(deepest).text == e.text2.value_or(std::string())) {
      // An item of a group at the deepest depth carries that depth too (its
      // own would be one more): the name of its group says it belongs there.
      parent = deepest;
    } else {
      parent = nearestAbove(depth);
    }
    const char kind = KindOfCode(e);
    const int id = AddItem(parent, e.text1, kind, e.code[3] != '#');
    if (parent && At(parent).id && !noGroupYet) At(id).fileDepth = depth;
    if (At(id).error)
      for (int p = parent; p; p = At(p).parent) At(p).expanded = true;
    if (kind == '0') CheckCompound(e.text1);
  }
  SortAll();
  modified_ = false;
  ++generation_;
}

// What the writer knows while it goes: the list, and the group the reader
// will hold at each depth once it has read the lines written so far.
struct ScenarioTree::WriteState {
  ClassFileList& list;
  bool ok = true;
  std::vector<int> heights;
  std::array<int, kMaxDepth + 1> reader{};
};

void ScenarioTree::WriteNode(int id, int parentDepth, WriteState& state) {
  ScenarioNode& n = At(id);
  if (!n.group && n.parent == 0) return;  // an item outside every group is not written
  // The depth read from the file is kept when the reader still puts the node
  // back under its parent from there (no group held between the two depths)
  // and everything below it still fits; otherwise the node goes one below
  // its parent.
  int depth = parentDepth + 1;
  const int kept = n.fileDepth;
  if (kept > depth && kept + state.heights[static_cast<size_t>(id)] <= kMaxDepth) {
    bool clear = true;
    for (int d = depth; d < kept; ++d) clear = clear && state.reader[static_cast<size_t>(d)] == 0;
    if (clear) depth = kept;
  }
  depth = std::min(depth, kMaxDepth);
  ClassFileEntry e;
  e.code[1] = '#';
  e.code[2] = static_cast<char>('0' + depth);
  if (n.group) {
    if (n.number <= 0) n.number = ++groupCounter_;
    e.code[0] = 'G';
    e.code[3] = n.visible ? 'V' : 'H';
    e.text1 = std::to_string(n.number);
    e.text2 = n.text.substr(0, kMaxText);
    if (state.ok && !state.list.Add(e)) state.ok = false;
    state.reader[static_cast<size_t>(depth)] = id;
    for (int d = depth + 1; d <= kMaxDepth; ++d) state.reader[static_cast<size_t>(d)] = 0;
    for (int child : std::vector<int>(n.children)) WriteNode(child, depth, state);
    return;
  }
  e.code[0] = n.kind;
  e.code[3] = '#';
  e.text1 = n.text.substr(0, kMaxText);
  e.text2 = At(n.parent).text.substr(0, kMaxText);
  if (n.kind == '0') CheckCompound(n.text);
  if (state.ok && !state.list.Add(e)) state.ok = false;
}

bool ScenarioTree::Write(ClassFileList& list) {
  list.Clear();
  for (const ScenarioNode& n : nodes_)
    if (n.id && n.group) groupCounter_ = std::max(groupCounter_, n.number);
  WriteState state{list, true, std::vector<int>(nodes_.size(), 0), {}};
  for (int id : top_) HeightInto(id, state.heights);
  for (int id : std::vector<int>(top_)) WriteNode(id, -1, state);
  return state.ok;
}

bool ScenarioTree::CreateOrSelectGroup(const std::string& pending, int position, bool asChild) {
  tooDeep_ = false;
  const std::string name = GroupNameOf(pending, capitals);
  const std::string key = LowerCopy(name);
  int reference = 0;
  if (position < 0) {
    reference = selected_;
  } else {
    for (int id : InTreeOrder()) {
      const ScenarioNode& n = At(id);
      if (n.parent == 0 && Depth(id) == position && LowerCopy(Label(id)) >= key) {
        reference = id;
        break;
      }
    }
  }
  int id = 0;
  if (reference && position >= 0 && At(reference).group && LowerCopy(At(reference).text) == key) {
    id = reference;
  } else if (!reference) {
    id = AddGroup(0, name, true);
  } else if (asChild && At(reference).group) {
    if (Depth(reference) >= kMaxDepth) {
      tooDeep_ = true;
      return false;
    }
    id = AddGroup(reference, name, true);
  } else {
    id = AddGroup(At(reference).parent, name, true, reference);
  }
  selected_ = id;
  SortChildren(id);
  SetModified(true);
  return true;
}

bool ScenarioTree::AddPendingItem(const std::string& pendingName, int level, char pendingKind, bool checkDuplicates) {
  tooDeep_ = false;
  if (pendingName.empty() || !Node(selected_)) return false;
  std::string clean = pendingName;
  NormaliseExpression(clean, true);
  if (clean.empty()) return false;
  char kind = '0';
  if (level >= 1 && level <= 3) kind = static_cast<char>('0' + level);
  else if (pendingKind == 'V' || pendingKind == 'A' || pendingKind == 'S') kind = pendingKind;
  if (checkDuplicates && FindItemByLabel(ItemDisplayLabel(clean, kind))) return false;
  const int group = EnclosingGroup(selected_);
  if (!group) return false;
  if (Depth(group) >= kMaxDepth) {
    tooDeep_ = true;
    return false;
  }
  const int id = AddItem(group, clean, kind);
  At(group).expanded = true;
  SortChildren(group);
  selected_ = id;
  SetModified(true);
  return true;
}

bool ScenarioTree::PutItemInOwnGroup(int& node) {
  const ScenarioNode* n = Node(node);
  if (!n || n->group || !n->parent || !At(n->parent).group) return false;
  const int parent = n->parent;
  if (Depth(parent) >= kMaxDepth - 1) return false;
  const int group = AddGroup(parent, GroupNameOf(n->text, capitals), true, node);
  Detach(node);
  At(node).parent = group;
  At(node).fileDepth = -1;
  At(group).children.push_back(node);
  At(group).expanded = true;
  SortChildren(parent);
  node = group;
  SetModified(true);
  return true;
}

bool ScenarioTree::FindNodeByLabel(const std::string& text, bool groupsOnly) {
  std::string key = LowerCopy(text.substr(0, kMaxText));
  for (int pass = 0; pass < 2; ++pass) {
    for (int id : InTreeOrder()) {
      if (groupsOnly && Picture(id) != kPicGroup) continue;
      if (LowerCopy(Label(id)) != key) continue;
      selected_ = id;
      for (int p = At(id).parent; p; p = At(p).parent) At(p).expanded = true;
      At(id).expanded = true;
      ++generation_;
      return true;
    }
    if (key.find('-') == std::string::npos) break;
    std::replace(key.begin(), key.end(), '-', '_');
  }
  return false;
}

bool ScenarioTree::FindItemByLabel(const std::string& label) {
  const std::string key = LowerCopy(label.substr(0, kMaxText));
  for (int id : InTreeOrder()) {
    if (At(id).group || LowerCopy(Label(id)) != key) continue;
    selected_ = id;
    for (int p = At(id).parent; p; p = At(p).parent) At(p).expanded = true;
    ++generation_;
    return true;
  }
  return false;
}

bool ScenarioTree::FindNextNode(std::string text, int& start, bool mayShorten) {
  const std::vector<int> order = InTreeOrder();
  auto search = [&]() {
    if (start < 0 || static_cast<size_t>(start) >= order.size()) start = 0;
    const std::string key = LowerCopy(text);
    for (size_t i = static_cast<size_t>(start); i < order.size(); ++i) {
      if (LowerCopy(Label(order[i])).compare(0, key.size(), key) != 0) continue;
      selected_ = order[i];
      for (int p = At(order[i]).parent; p; p = At(p).parent) At(p).expanded = true;
      start = static_cast<int>(i) + 1;
      ++generation_;
      return true;
    }
    return false;
  };
  if (search()) return true;
  if (!mayShorten) return false;
  if (text.size() > 6) text.pop_back();
  // A shortened text keeps more than 3 characters.
  for (int k = 0; k < 2 && text.size() > 4; ++k) {
    text.pop_back();
    start = 0;
    if (search()) return true;
  }
  return false;
}

bool ScenarioTree::Rename(int id, const std::string& newText) {
  ScenarioNode* n = Node(id) ? &At(id) : nullptr;
  if (!n || !CanRename(*n)) return false;
  std::string clean = newText;
  const bool complete = NormaliseExpression(clean, false);
  std::string result = newText;
  if (newText.empty() || !complete) result = clean.size() < 2 ? Label(id) + " ???" : clean;
  if (n->group) {
    n->text = result;
  } else {
    SplitLabel split = SplitDisplayLabel(result);
    n->text = split.text;
    n->kind = split.kind;
  }
  SetModified(true);
  return true;
}

void ScenarioTree::SetVisible(int id, bool visible) {
  if (!Node(id) || !At(id).group) return;
  At(id).visible = visible;
  SetModified(true);
}

void ScenarioTree::Cut(int id) {
  cut_ = Node(id) ? id : 0;
  ++generation_;
}

void ScenarioTree::Detach(int id) {
  std::vector<int>& siblings = SiblingsOf(id);
  siblings.erase(std::remove(siblings.begin(), siblings.end(), id), siblings.end());
}

void ScenarioTree::ResetDepths(int id) {
  At(id).fileDepth = -1;
  for (int child : At(id).children) ResetDepths(child);
}

bool ScenarioTree::MoveNode(int node, int parent) {
  tooDeep_ = false;
  if (!Node(node) || (parent && !Node(parent)) || (parent && IsDescendantOrSelf(parent, node))) return false;
  if (parent && !At(parent).group) return false;
  if (!FitsUnder(node, parent)) {
    tooDeep_ = true;
    return false;
  }
  const int former = At(node).parent;
  Detach(node);
  At(node).parent = parent;
  (parent == 0 ? top_ : At(parent).children).push_back(node);
  ResetDepths(node);
  if (former && At(former).parent == 0 && At(former).children.empty()) Delete(former);
  SetModified(true);
  return true;
}

bool ScenarioTree::Paste(int target) {
  tooDeep_ = false;
  if (!Node(cut_) || !Node(target)) return false;
  int into = At(target).group ? target : At(target).parent;
  if (into && IsDescendantOrSelf(into, cut_)) return false;
  if (!into && !At(cut_).group) return false;  // an item is never pasted outside every group
  if (!MoveNode(cut_, into)) return false;
  cut_ = 0;
  return true;
}

void ScenarioTree::Delete(int id) {
  if (!Node(id)) return;
  Detach(id);
  std::vector<int> doomed{id};
  for (size_t i = 0; i < doomed.size(); ++i) {
    ScenarioNode& n = At(doomed[i]);
    doomed.insert(doomed.end(), n.children.begin(), n.children.end());
  }
  for (int d : doomed) {
    if (d == cut_) cut_ = 0;
    if (d == selected_) selected_ = 0;
    nodes_[static_cast<size_t>(d)] = ScenarioNode{};
    --nodeCount_;
  }
  SetModified(true);
}

void ScenarioTree::Dissociate(int id) {
  if (!Node(id)) return;
  auto moveOut = [&](int node) {
    if (At(node).group) {
      MoveNode(node, 0);
      return;
    }
    const int keepSelected = selected_;
    CreateOrSelectGroup(At(node).text, 0, false);
    const int target = selected_;
    if (target != At(node).parent) MoveNode(node, target);
    selected_ = Node(keepSelected) ? keepSelected : 0;
  };
  At(id).expanded = true;
  if (At(id).group && At(id).parent == 0) {
    for (int child : std::vector<int>(At(id).children))
      if (Node(child)) moveOut(child);
  } else {
    moveOut(id);
  }
  SortAll();
  SetModified(true);
}

bool ScenarioTree::UpperCase(int id) {
  if (Picture(id) != kPicGroup) return false;
  std::string& text = At(id).text;
  const std::string before = text;
  for (size_t i = 0; i < text.size(); ++i)
    if (i == 0 || text[i - 1] == ' ' || text[i - 1] == '-')
      text[i] = static_cast<char>(ToUpperChar(static_cast<unsigned char>(text[i])));
  if (text == before) return false;
  SetModified(true);
  return true;
}

void ScenarioTree::SortChildren(int parent) {
  std::vector<int>& list = parent == 0 ? top_ : At(parent).children;
  std::vector<std::pair<std::string, int>> keyed;
  keyed.reserve(list.size());
  for (int id : list) keyed.emplace_back(LowerCopy(Label(id)), id);
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 0; i < list.size(); ++i) list[i] = keyed[i].second;
  ++generation_;
}

void ScenarioTree::SortAll() {
  SortChildren(0);
  for (int id : InTreeOrder())
    if (!At(id).children.empty()) SortChildren(id);
}

void ScenarioTree::ExpandAll(bool expanded) {
  for (ScenarioNode& n : nodes_)
    if (n.id) n.expanded = expanded;
  ++generation_;
}

bool ScenarioTree::DropMove(int source, int target) {
  tooDeep_ = false;
  if (!Node(source) || !Node(target) || IsDescendantOrSelf(target, source)) return false;
  // The source goes under the target's own group, which takes the target's
  // place when the target is an item.
  if (!FitsUnder(source, target)) {
    tooDeep_ = true;
    return false;
  }
  PutItemInOwnGroup(target);
  if (!At(target).group || IsDescendantOrSelf(target, source)) return false;
  const int former = At(source).parent;
  Detach(source);
  At(source).parent = target;
  At(target).children.push_back(source);
  ResetDepths(source);
  if (former && former != target && At(former).children.empty()) Delete(former);
  SortChildren(target);
  At(target).expanded = true;
  SetModified(true);
  return true;
}

int ScenarioTree::NewGroupBefore(int id) {
  const int parent = Node(id) ? At(id).parent : 0;
  const int group = AddGroup(parent, "???", true, Node(id) ? id : 0);
  selected_ = group;
  SetModified(true);
  return group;
}

}  // namespace quilor::ui
