// The Scenario tests' helpers: a Scenario file's text parsed, and the nodes
// of a tree found and named by their labels.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/class_file.h"
#include "scenario/scenario_tree.h"

namespace quilor::ui::scenario_tests {

inline ClassFileList ParseScenario(const std::string& text) {
  GroupNumbering = {};
  ClassFileList list;
  bool damaged = false;
  EXPECT_TRUE(ParseClassFileText(list, text, damaged));
  return list;
}

// The first node of that label in tree order; 0 when none.
inline int FindLabel(const ScenarioTree& tree, const std::string& label) {
  for (int id : tree.InTreeOrder())
    if (tree.Label(id) == label) return id;
  return 0;
}

// The labels from the top down to the node, each after a '/'.
inline std::string PathOf(const ScenarioTree& tree, int id) {
  std::string path;
  for (const ScenarioNode* n = tree.Node(id); n; n = tree.Node(n->parent)) path = "/" + tree.Label(n->id) + path;
  return path;
}

// The paths of every node, sorted.
inline std::vector<std::string> Paths(const ScenarioTree& tree) {
  std::vector<std::string> out;
  for (int id : tree.InTreeOrder()) out.push_back(PathOf(tree, id));
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace quilor::ui::scenario_tests
