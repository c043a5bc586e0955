#include "engine/tagged_corpus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quilor {
namespace {

std::vector<std::string> Tokens(std::string_view text) {
  std::vector<std::string> out;
  ReadTaggedText(
      text, [&](std::string_view w) { out.emplace_back(w); }, [&] { out.emplace_back("/"); });
  return out;
}

TEST(TaggedCorpus, WordsWithoutTagsAndSentenceEnds) {
  EXPECT_EQ(Tokens("The/at jury/nn said/vbd ./. It/pps a/b/c ,/, ;/. ``/`` /x"),
            (std::vector<std::string>{"The", "jury", "said", "/", "It", "a/b", "/"}));
  EXPECT_EQ(Tokens(std::string(100, 'a') + "/nn ok/jj"), (std::vector<std::string>{"ok"}));
  EXPECT_TRUE(Tokens(std::string("\0\xff/\x01", 4)).size() <= 1);
}

}  // namespace
}  // namespace quilor
