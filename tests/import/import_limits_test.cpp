// What a reader of documents does at its limits: a converter library of
// another version, text that reaches the most kept exactly, presentation
// parts that are not slides, and bytes that only look like UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "core/messages.h"
#include "import/document_filter.h"
#include "import/filter_plugin.h"
#include "import/plain_text.h"
#include "import/powerpoint_document.h"
#include "platform/compound_file.h"
#include "support/office_builders.h"
#include "tests/platform/temp_folder.h"

namespace quilor {
namespace {

using testing::TempFolder;
using testing::WriteWholeFile;

TEST(ImportLimits, ALibraryOfAnotherVersionIsRefused) {
  std::string why;
  EXPECT_EQ(LoadFilterPlugin(ConverterFormat::kPdf, QUILOR_TEST_FILTER_NEXT, &why), nullptr);
  EXPECT_EQ(why, "is of another version");
  // The same library at this version is taken.
  EXPECT_NE(LoadFilterPlugin(ConverterFormat::kPdf, QUILOR_TEST_FILTER, &why), nullptr);
}

TEST(ImportLimits, TextEndingAtTheMostKeptIsWholeAndOneChunkMoreIsCut) {
  auto filter = LoadFilterPlugin(ConverterFormat::kOpenDocumentText, QUILOR_TEST_FILTER);
  ASSERT_NE(filter, nullptr);
  // The library gives each line as a chunk, followed by a space: lines of
  // 4,095 bytes fill the text 4,096 bytes at a time.
  const std::string line = std::string(4094, 'a') + "\n";
  const size_t lines = DocumentFilter::kMaxTextBytes / 4096;
  std::string whole;
  whole.reserve(lines * line.size() + 16);
  for (size_t i = 0; i < lines; ++i) whole += line;
  TempFolder dir;
  WriteWholeFile(dir / "full.odt", whole);
  ASSERT_TRUE(filter->ExtractIFilterText(dir / "full.odt")) << filter->IFilterErrorText();
  EXPECT_EQ(filter->Text().size(), DocumentFilter::kMaxTextBytes);
  EXPECT_EQ(filter->LastError(), FilterError::kNone);

  whole += "more\n";
  WriteWholeFile(dir / "more.odt", whole);
  EXPECT_FALSE(filter->ExtractIFilterText(dir / "more.odt"));
  EXPECT_EQ(filter->LastError(), FilterError::kTooLong);
  EXPECT_EQ(filter->IFilterErrorText(), "The text of this document is too long: only its beginning is read.");
  EXPECT_EQ(filter->Text().size(), DocumentFilter::kMaxTextBytes);
  EXPECT_EQ(filter->Text().find("more"), std::string::npos);
}

std::string Record(uint16_t verInstance, uint16_t type, const std::string& body) {
  std::string r(8, '\0');
  testing::Put16(r, 0, verInstance);
  testing::Put16(r, 2, type);
  testing::Put32(r, 4, static_cast<uint32_t>(body.size()));
  return r + body;
}

TEST(ImportLimits, OnlyTheSlidesOfAPresentationAreItsText) {
  const uint16_t kContainer = 0x000F, kBytesAtom = 0x0FA8, kSlideList = 0x0FF0;
  auto text = [&](const char* words) { return Record(0, kBytesAtom, words); };
  const std::string stream = Record(kContainer, 0x03E8, text("on the slide")) +
                             Record(kContainer, 0x03F0, text("speaker notes")) +
                             Record(kContainer, 0x03F8, text("master title")) +
                             Record(kContainer | (1 << 4), kSlideList, text("master list")) +
                             Record(kContainer | (2 << 4), kSlideList, text("notes list")) +
                             Record(kContainer, kSlideList, text("slide list"));
  CompoundFile file;
  ASSERT_TRUE(file.Open(testing::BuildCompoundFile({{"PowerPoint Document", stream}})));
  std::string out;
  EXPECT_EQ(ReadPowerPointText(file, out, 1 << 20), PowerPointResult::kOk);
  EXPECT_EQ(out, "on the slide\nslide list\n");
}

bool Utf8(const std::string& bytes) {
  return LooksLikeUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), false);
}

TEST(ImportLimits, OverlongOrOutOfRangeSequencesAreNotUtf8) {
  // The shortest form of each length, and the last code point, are UTF-8.
  for (const char* sequence :
       {"\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xED\x9F\xBF", "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"})
    EXPECT_TRUE(Utf8(std::string("a") + sequence + " b")) << sequence;
  // The same characters written longer than they need, surrogates and code
  // points past U+10FFFF are not: the file is read in its 8-bit code page.
  for (const char* sequence : {"\xC0\xAF", "\xC1\xBF", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xF0\x8F\xBF\xBF",
                               "\xF4\x90\x80\x80", "\xF5\x80\x80\x80"})
    EXPECT_FALSE(Utf8(std::string("a") + sequence + " b")) << sequence;
  EXPECT_FALSE(Utf8("plain ASCII alone"));
}

Utf8Evidence Scan(const std::string& bytes, bool moreFollows) {
  return ScanUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), moreFollows);
}

// A sequence cut by the end of a block waits for the next block; cut by the
// end of the file it is no UTF-8. A byte that continues nothing, or a lead
// byte followed by no continuation, is no UTF-8 either.
TEST(ImportLimits, ASequenceCutByTheEndOfTheBlockOrOfTheFile) {
  using enum Utf8Evidence;
  const std::tuple<std::string, bool, Utf8Evidence> cases[] = {{"caf\xC3\xA9 cr\xC3", true, kWellFormed},
                                                               {"plain cr\xE2\x80", true, kAsciiOnly},
                                                               {"plain cr\xF0\x9F\x98", true, kAsciiOnly},
                                                               {"caf\xC3\xA9 cr\xC3", false, kMalformed},
                                                               {"plain cr\xE2\x80", false, kMalformed},
                                                               {"caf\xC3\xA9", false, kWellFormed},
                                                               {"plain", false, kAsciiOnly},
                                                               {"", false, kAsciiOnly},
                                                               {"caf\xC3\xA9 \x80 x", true, kMalformed},
                                                               {"caf\xC3 x", true, kMalformed},
                                                               {"\xE2\x80x", true, kMalformed},
                                                               {"\xF0\x9F\x98x", true, kMalformed}};
  for (const auto& [bytes, moreFollows, evidence] : cases) EXPECT_EQ(Scan(bytes, moreFollows), evidence) << bytes;
}

std::string Utf16(const std::u16string& units, bool bigEndian, bool moreFollows, std::string* carried = nullptr,
                  const std::string& tail = "") {
  std::string bytes;
  for (char16_t u : units) {
    const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
    bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
  }
  bytes += tail;
  unsigned char carry[4] = {};
  size_t count = 0;
  const size_t n = DecodeUtf16Block(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size(), bigEndian,
                                    moreFollows, carry, count);
  if (carried) carried->assign(reinterpret_cast<const char*>(carry), count);
  return bytes.substr(0, n);
}

// UTF-16 in either byte order to Windows-1252: a character beyond the 16-bit
// range stands as '#', a lone or broken surrogate as '?'; what a block cuts
// (half a pair, an odd byte) is carried to the next block, and at the end of
// the text a half pair is a '?'.
TEST(ImportLimits, Utf16BlocksInEitherOrder) {
  for (bool big : {false, true}) {
    std::string carried;
    EXPECT_EQ(Utf16(u"caf\u00E9 \u20AC", big, false), "caf\xE9 \x80") << big;
    EXPECT_EQ(Utf16(u"a\xD83D\xDE00z", big, false), "a#z") << big;
    EXPECT_EQ(Utf16(u"a\xDE00z", big, false), "a?z") << big;
    EXPECT_EQ(Utf16(u"a\xD83Dz", big, false), "a?z") << big;
    EXPECT_EQ(Utf16(u"a\xD83D", big, false), "a?") << big;
    EXPECT_EQ(Utf16(u"a\xD83D", big, true, &carried), "a") << big;
    EXPECT_EQ(carried.size(), 2u) << big;
    EXPECT_EQ(Utf16(u"a\xD83D", big, true, &carried, "x"), "a") << big;
    EXPECT_EQ(carried.size(), 3u) << big;
    EXPECT_EQ(Utf16(u"ab", big, true, &carried, "x"), "ab") << big;
    EXPECT_EQ(carried, "x") << big;
    EXPECT_EQ(Utf16(u"ab", big, false, &carried, "x"), "ab") << big;
    EXPECT_EQ(carried, "") << big;
  }
}

}  // namespace
}  // namespace quilor
