#include "mainwindow/copydata_request.h"

#include <gtest/gtest.h>

namespace quilor::ui {
namespace {

TEST(CopyDataRequest, RoundTripKeepsEveryFieldAtItsOffset) {
  TCopyDataRequest request;
  request.command = 1;
  request.scenario = "Mine.scn";
  request.path = "/home/u/text.txt";
  request.keys[0] = "house";
  request.keys[19] = std::string(200, 'z');
  request.keyKind = 3;
  const std::string block = EncodeRequest(request);
  ASSERT_EQ(block.size(), 2167u);
  EXPECT_EQ(block[0], 1);
  EXPECT_EQ(block.substr(4, 8), "Mine.scn");
  EXPECT_EQ(block.substr(265, 16), "/home/u/text.txt");
  EXPECT_EQ(block.substr(526, 5), "house");
  EXPECT_EQ(static_cast<unsigned char>(block[2126]), 3);

  const auto decoded = DecodeRequest(block);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(decoded->command, 1u);
  EXPECT_EQ(decoded->scenario, "Mine.scn");
  EXPECT_EQ(decoded->path, "/home/u/text.txt");
  EXPECT_EQ(decoded->keys[0], "house");
  EXPECT_EQ(decoded->keys[19], std::string(79, 'z'));
  EXPECT_EQ(decoded->keyKind, 3);
}

TEST(CopyDataRequest, OnlyTheExactSizeIsARequest) {
  EXPECT_FALSE(DecodeRequest(std::string(2000, '\0')).has_value());
  EXPECT_FALSE(DecodeRequest(std::string(2168, '\0')).has_value());
  EXPECT_FALSE(DecodeRequest("").has_value());
}

TEST(CopyDataRequest, FieldsWithoutNulEndAtTheirField) {
  std::string block(2167, 'x');
  const auto decoded = DecodeRequest(block);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(decoded->scenario.size(), 261u);
  EXPECT_EQ(decoded->path.size(), 261u);
  EXPECT_EQ(decoded->keys[0].size(), 79u);
}

}  // namespace
}  // namespace quilor::ui
