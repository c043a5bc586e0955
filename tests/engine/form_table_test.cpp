#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/form_table.h"

namespace quilor {
namespace {

// Forms that a careless comparison would confuse: equal up to the bytes
// kept in a slot, a form and the same with NUL bytes after it, the empty form,
// forms longer than a slot holds that differ only at their ends.
std::vector<std::string> LookAlikeForms() {
  std::vector<std::string> forms = {"", "a", std::string("a\0", 2), std::string("a\0\0", 3), "bank", "banks"};
  const std::string stem(24, 'x');
  for (char last : {'a', 'b'}) {
    forms.push_back(stem.substr(0, 23) + last);  // 24 bytes: the longest kept in its slot
    forms.push_back(stem + last);                // 25 bytes
    forms.push_back(stem + stem + last);
  }
  forms.push_back(stem);
  forms.push_back(stem + std::string(1, '\0'));
  return forms;
}

// The table answers as a map does, through its growths and after Clear, and
// a form it never saw has no value.
TEST(FormTable, AnswersAsAMapThroughGrowthAndClear) {
  TFormTable<int> table;
  EXPECT_EQ(table.Find("bank"), nullptr);  // nothing allocated yet
  std::map<std::string, int> expected;
  const std::vector<std::string> lookAlikes = LookAlikeForms();
  for (size_t i = 0; i < lookAlikes.size(); ++i) {
    table.Obtain(lookAlikes[i]) = static_cast<int>(i) + 1;
    expected[lookAlikes[i]] = static_cast<int>(i) + 1;
  }
  // Enough forms for several growths, some asked for twice.
  for (int i = 0; i < 5000; ++i) {
    const std::string form = "w" + std::to_string(i * 7919 % 3001) + (i % 5 == 0 ? std::string(30, 'z') : "");
    int& value = table.Obtain(form);
    EXPECT_EQ(value, expected.count(form) ? expected[form] : 0) << form;
    value = i + 1000;
    expected[form] = i + 1000;
  }
  EXPECT_EQ(table.Size(), expected.size());
  for (const auto& [form, value] : expected) {
    const int* found = table.Find(form);
    ASSERT_NE(found, nullptr) << form;
    EXPECT_EQ(*found, value) << form;
  }
  EXPECT_EQ(table.Find(std::string("bank\0", 5)), nullptr);
  EXPECT_EQ(table.Find(std::string(25, 'x') + "c"), nullptr);

  table.Clear();
  EXPECT_EQ(table.Size(), 0u);
  for (const auto& entry : expected) EXPECT_EQ(table.Find(entry.first), nullptr) << entry.first;
  // A form made again after Clear starts from a fresh value.
  EXPECT_EQ(table.Obtain(lookAlikes.back()), 0);
  EXPECT_EQ(table.Obtain(std::string(60, 'q')), 0);
  table.Obtain(std::string(60, 'q')) = 5;
  EXPECT_EQ(*table.Find(std::string(60, 'q')), 5);
  EXPECT_EQ(table.Find(std::string(59, 'q')), nullptr);
}

}  // namespace
}  // namespace quilor
