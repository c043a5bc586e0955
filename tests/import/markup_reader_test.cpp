#include "import/markup_reader.h"

#include <gtest/gtest.h>

#include "core/files.h"
#include "import/charset.h"
#include "tests/import/block_feed.h"

namespace quilor {
namespace {

using testing::ReadInBlocks;
using testing::ReadWithCut;

std::string Read(std::string_view text, int kind = kDocHtml) {
  MarkupReader reader;
  reader.Reset(kind);
  return ReadInBlocks(reader, text, 0);
}

TEST(MarkupReader, NamedReferences) {
  EXPECT_EQ(Read("caf&eacute;"), "caf\xE9");
  EXPECT_EQ(Read("&Eacute;t&eacute;"), "\xC9t\xE9");
  EXPECT_EQ(Read("caf&eacute bar"), "caf\xE9 bar");  // resolved as soon as the name is complete
  EXPECT_EQ(Read("caf&eacutes"), "caf\xE9s");
  EXPECT_EQ(Read("&quot;x&quot;"), "\"x\"");
  EXPECT_EQ(Read("l&rsquo;homme &lsquo;a&rsquo;"), "l'homme 'a'");
  EXPECT_EQ(Read("&ldquo;a&rdquo;"), "\"a\"");
  EXPECT_EQ(Read("&aring;&Aring;"), "\xE5\xC5");
  EXPECT_EQ(Read("&AMP;"), "&");
  EXPECT_EQ(Read("a &lt; b"), "a < b");
  EXPECT_EQ(Read("&nbsp;x&euro;"), " x\x80");
  // A name that begins a longer one ("plus", "plusmn") waits for the letters after it.
  EXPECT_EQ(Read("&plusmn;5 &plusmn5 &plus;1 &plusx &plusm; &Plus"),
            "\xB1"
            "5 \xB1"
            "5 +1 +x +m; +");
}

TEST(MarkupReader, EveryKnownNameGivesItsCharacter) {
  // Dashes become hyphens and single quotes apostrophes, which the word cutter reads; a soft hyphen only joins.
  const std::pair<const char*, const char*> kNames[] = {
      {"gt", ">"},        {"lt", "<"},        {"nbsp", " "},      {"amp", "&"},       {"laquo", "\xAB"},
      {"raquo", "\xBB"},  {"quot", "\""},     {"ccedil", "\xE7"}, {"aacute", "\xE1"}, {"eacute", "\xE9"},
      {"iacute", "\xED"}, {"oacute", "\xF3"}, {"uacute", "\xFA"}, {"yacute", "\xFD"}, {"agrave", "\xE0"},
      {"egrave", "\xE8"}, {"igrave", "\xEC"}, {"ograve", "\xF2"}, {"ugrave", "\xF9"}, {"acirc", "\xE2"},
      {"ecirc", "\xEA"},  {"icirc", "\xEE"},  {"ocirc", "\xF4"},  {"ucirc", "\xFB"},  {"auml", "\xE4"},
      {"euml", "\xEB"},   {"iuml", "\xEF"},   {"ouml", "\xF6"},   {"uuml", "\xFC"},   {"yuml", "\xFF"},
      {"ntilde", "\xF1"}, {"atilde", "\xE3"}, {"otilde", "\xF5"}, {"szlig", "\xDF"},  {"aszlig", "\xE5"},
      {"aring", "\xE5"},  {"ndash", "-"},     {"mdash", "-"},     {"aelig", "\xE6"},  {"lsquo", "'"},
      {"rsquo", "'"},     {"ldquo", "\""},    {"rdquo", "\""},    {"copy", "\xA9"},   {"trade", "\x99"},
      {"reg", "\xAE"},    {"euro", "\x80"},   {"pound", "\xA3"},  {"apos", "'"},      {"yen", "\xA5"},
      {"cent", "\xA2"},   {"deg", "\xB0"},    {"micro", "\xB5"},  {"curren", "\xA4"}, {"sup1", "\xB9"},
      {"sup2", "\xB2"},   {"sup3", "\xB3"},   {"frac14", "\xBC"}, {"frac12", "\xBD"}, {"frac34", "\xBE"},
      {"plusmn", "\xB1"}, {"times", "\xD7"},  {"divide", "\xF7"}, {"acute", "'"},     {"sect", "\xA7"},
      {"shy", ""},        {"brvbar", "|"},    {"not", "\xAC"},    {"middot", "\xB7"}, {"iexcl", "\xA1"},
      {"iquest", "\xBF"}, {"oslash", "\xF8"}, {"oelig", "\x9C"},  {"comma", ","},     {"midast", "*"},
      {"lcub", "{"},      {"rcub", "}"},      {"lbrake", "{"},    {"rbrake", "}"},    {"period", "."},
      {"semi", ";"},      {"colon", ":"},     {"excl", "!"},      {"quest", "?"},     {"lpar", "("},
      {"rpar", ")"},      {"plus", "+"}};
  for (const auto& [name, character] : kNames) {
    EXPECT_EQ(Read(std::string("x&") + name + ";y"), std::string("x") + character + "y") << name;
    EXPECT_EQ(Read(std::string("x&") + name + " y"), std::string("x") + character + " y") << name;
  }
}

TEST(MarkupReader, ReferenceFollowedByBlankKeepsTheBlank) {
  EXPECT_EQ(Read("&lt; word"), "< word");
  EXPECT_EQ(Read("Tom &amp Jerry"), "Tom & Jerry");
  EXPECT_EQ(Read("a&amp;;b"), "a&;b");  // only the first semicolon ends the reference
}

TEST(MarkupReader, NumericReferences) {
  EXPECT_EQ(Read("&#233;t&#xE9;"), "\xE9t\xE9");
  EXPECT_EQ(Read("&#X20AC;"), "\x80");
  EXPECT_EQ(Read("&#8217;"), "'");      // U+2019 gives 146, read as the apostrophe
  EXPECT_EQ(Read("&#08364;"), "\x80");  // five digits
  EXPECT_EQ(Read("&#65;&#66"), "AB");
  EXPECT_EQ(Read("&#128512;"), "#");   // beyond the 16-bit range
  EXPECT_EQ(Read("&#233x"), "\xE9x");  // a non-digit ends the number
}

TEST(MarkupReader, UnresolvedReferencesStayAsWritten) {
  EXPECT_EQ(Read("AT&T Corp"), "AT&T Corp");
  EXPECT_EQ(Read("R&D, sales"), "R&D, sales");
  EXPECT_EQ(Read("a & b"), "a & b");
  // An unknown name ended by its semicolon is a reference: it goes, with the semicolon.
  EXPECT_EQ(Read("&bogus; x"), " x");
  EXPECT_EQ(Read("wait&hellip;and see"), "waitand see");
  EXPECT_EQ(Read("&Hellip;"), "");
  EXPECT_EQ(Read("&#; &#x; &#0; &#99999999;"), "&#; &#x; &#0; &#99999999;");
  EXPECT_EQ(Read("x&"), "x&");
  std::string longName(100, 'q');
  EXPECT_EQ(Read("&" + longName + " y"), "&" + longName + " y");
}

TEST(MarkupReader, InlineTagsKeepWordsWhole) {
  EXPECT_EQ(Read("<p>w<b>or</b>d <i class=\"x\">it</i>a<u>l</u></p>"), " word ital \r ");
  EXPECT_EQ(Read("a<br>b"), "a b");
  EXPECT_EQ(Read("a<strong>b</strong>c"), "a b c");
}

TEST(MarkupReader, BlockEndsGiveLineBreaksInHtmlOnly) {
  EXPECT_EQ(Read("a</p>b</td>c</h1>d</span>e"), "a \r b \r c \r d e");
  EXPECT_EQ(Read("a</p>b", kDocXml), "a b");
  EXPECT_EQ(Read("a</p>b", kDocSgml), "a b");
}

TEST(MarkupReader, ScriptsStylesAndEncodedDataAreDropped) {
  EXPECT_EQ(Read("a<script type=x>var x = 1;</script>b"), "a  b");
  EXPECT_EQ(Read("a<STYLE>p { color: red }</STYLE>b"), "a  b");
  // Elements whose names only begin like them drop nothing.
  EXPECT_EQ(Read("<style:style name=\"x\"/>kept<scripts>too</scripts>", kDocXml), " kept too ");
  EXPECT_EQ(Read("<script src=\"x.js\"/>kept"), " kept");
  EXPECT_EQ(Read("a<w:binData w:name=\"x\">QUJD</w:binData>b", kDocXml), "a  b");
  EXPECT_EQ(Read("a<ns:bindata>QUJD</ns:bindata>b", kDocXml), "a QUJD b");  // only a one-letter prefix
  // SGML drops no element.
  EXPECT_EQ(Read("a<script>x</script>b", kDocSgml), "a x b");
  EXPECT_EQ(Read("<doc><title>T</title><p>x</doc>", kDocSgml), "  T  x ");
}

TEST(MarkupReader, CharacterDataIsTextAsItStands) {
  EXPECT_EQ(testing::Squeeze(Read("<a><![CDATA[plain <b>words</b> & more]]></a>", kDocXml)),
            "plain <b>words</b> & more");
  EXPECT_EQ(testing::Squeeze(Read("<a><![CDATA[x]y]]z]]]></a>", kDocXml)), "x]y]]z]");
  EXPECT_EQ(Read("a<![CDATA[line\none]]>b"), "a line one b");
  EXPECT_EQ(testing::Squeeze(Read("<a><![CDATA[open]]", kDocXml)), "open]]");
  // A script's character data is still script.
  EXPECT_EQ(testing::Squeeze(Read("<script>//<![CDATA[\nvar x = 1;\n//]]></script>after")), "after");
}

TEST(MarkupReader, CommentsHideAllTheyHold) {
  EXPECT_EQ(testing::Squeeze(Read("a<!-- <b>hidden</b> words -->b")), "a b");
  EXPECT_EQ(testing::Squeeze(Read("<!-- a > b -- c -->kept", kDocXml)), "kept");
  EXPECT_EQ(testing::Squeeze(Read("<!---->x<!-->y<!--->z", kDocSgml)), "x y z");
  EXPECT_EQ(testing::Squeeze(Read("x<!-- never closed <p>lost</p>")), "x");
}

TEST(MarkupReader, SoftHyphensJoin) {
  EXPECT_EQ(Read("hy&shy;phen"), "hyphen");
  EXPECT_EQ(Read("hy&#173;phen hy&#xAD;phen hy\xADphen"), "hyphen hyphen hyphen");
  EXPECT_EQ(testing::Squeeze(Read("<meta charset=\"utf-8\"><p>hy\xC2\xADphen</p>")), "hyphen");
}

TEST(MarkupReader, MalformedTagsAreSafe) {
  EXPECT_EQ(Read("a</>b<>c< >d"), "a b c d");
  std::string longTag = "<" + std::string(1000, 's') + ">x";
  EXPECT_EQ(Read(longTag), " x");
  EXPECT_EQ(Read("x<unterminated"), "x");
}

TEST(MarkupReader, LineBreaksBecomeBlanksEverywhere) {
  EXPECT_EQ(Read("a\r\nb"), "a  b");
  EXPECT_EQ(Read("<a\nhref=x>t</a>"), "  t ");
  EXPECT_EQ(Read("&eac\nute;"), "&eac ute;");
}

TEST(MarkupReader, CharsetOfTheDocument) {
  MarkupReader reader;
  reader.Reset(kDocHtml);
  std::string page =
      "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"></head>"
      "<body>caf\xC3\xA9 \xE2\x80\x99</body></html>";
  EXPECT_EQ(testing::Squeeze(ReadInBlocks(reader, page, 0)), "caf\xE9 '");
  EXPECT_EQ(reader.charsetMode(), kCharsetUtf8);
  // The short name many servers write is UTF-8 too.
  for (const char* name : {"utf8", "UTF8", "utf_8"}) {
    reader.Reset(kDocHtml);
    EXPECT_EQ(
        testing::Squeeze(ReadInBlocks(
            reader, std::string("<html><head><meta charset=") + name + "></head><body>caf\xC3\xA9</body></html>", 0)),
        "caf\xE9")
        << name;
    EXPECT_EQ(reader.charsetMode(), kCharsetUtf8) << name;
  }
  for (const auto& [name, mode] : {std::pair{"utf-16", kCharsetUtf16}, std::pair{"utf16", kCharsetUtf16},
                                   std::pair{"UCS-2", kCharsetUcs}, std::pair{"iso-10646-ucs-2", kCharsetUcs},
                                   std::pair{"windows-1252", kCharsetAnsi}, std::pair{"utf", kCharsetUtf16}})
    EXPECT_EQ(CharsetModeFromName(name, -1), mode) << name;
  EXPECT_EQ(CharsetModeFromName("koi8-r", -1), -1);  // a name of no rule leaves the mode

  reader.Reset(kDocHtml);
  page = "<html><head><meta charset=\"iso-8859-1\"></head><body>caf\xE9</body></html>";
  EXPECT_EQ(testing::Squeeze(ReadInBlocks(reader, page, 0)), "caf\xE9");
  EXPECT_EQ(reader.charsetMode(), kCharsetAnsi);

  // A document without a declaration is UTF-8 when its bytes are; an HTML
  // page whose bytes are not is ANSI.
  reader.Reset(kDocHtml);
  EXPECT_EQ(testing::Squeeze(ReadInBlocks(reader, "<p>caf\xC3\xA9</p>", 0)), "caf\xE9");
  reader.Reset(kDocHtml);
  EXPECT_EQ(testing::Squeeze(ReadInBlocks(reader, "<p>na\xEFve \xC3\xA9</p>", 0)), "na\xEFve \xC3\xA9");
  EXPECT_EQ(reader.charsetMode(), kCharsetAnsi);
  reader.Reset(kDocXml);
  EXPECT_EQ(testing::Squeeze(ReadInBlocks(reader, "<p>caf\xC3\xA9</p>", 0)), "caf\xE9");

  // Single quotes and blanks around the equals sign.
  reader.Reset(kDocXml);
  EXPECT_EQ(testing::Squeeze(ReadInBlocks(reader, "<?xml version='1.0' encoding = 'ISO-8859-1'?><a>\xE9</a>", 0)),
            "\xE9");
  EXPECT_EQ(reader.charsetMode(), kCharsetAnsi);

  // A Latin-1 text declared as UTF-8 keeps its accented letters.
  reader.Reset(kDocXml);
  EXPECT_EQ(testing::Squeeze(ReadInBlocks(reader, "<?xml version=\"1.0\" encoding=\"utf-8\"?><a>caf\xE9 ok</a>", 0)),
            "caf\xE9 ok");
}

TEST(MarkupReader, TheCharacterSetIsChosenFromTheSameStartHoweverTheDocumentIsCut) {
  // The start alone decides: a byte far on that no UTF-8 text holds changes
  // nothing, whether the document comes whole or in small blocks.
  const std::string doc = "<p>" + std::string(kCharsetProbeSize, 'a') + " caf\xC3\xA9 na\xEFve</p>";
  MarkupReader reader;
  reader.Reset(kDocHtml);
  const std::string whole = ReadInBlocks(reader, doc, 0);
  EXPECT_NE(whole.find("caf\xE9 na\xEFve"), std::string::npos);
  reader.Reset(kDocHtml);
  EXPECT_EQ(ReadInBlocks(reader, doc, 21), whole);
}

TEST(MarkupReader, ByteOrderMarks) {
  MarkupReader reader;
  reader.Reset(kDocHtml);
  EXPECT_EQ(testing::Squeeze(ReadInBlocks(reader, "\xEF\xBB\xBF<p>caf\xC3\xA9</p>", 0)), "caf\xE9");

  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>caf\xE9 \x19 &amp;</a>";
  std::string le = "\xFF\xFE", be = "\xFE\xFF", bare;
  for (char c : text) {
    char hi = c == '\x19' ? '\x20' : 0;  // U+2019
    le += c;
    le += hi;
    be += hi;
    be += c;
    bare += c;
    bare += hi;
  }
  for (const std::string& doc : {le, be, bare}) {
    reader.Reset(kDocXml);
    EXPECT_EQ(testing::Squeeze(ReadInBlocks(reader, doc, 3)), "caf\xE9 ' &");
    EXPECT_EQ(reader.charsetMode(), kCharsetUtf16);
  }
}

TEST(MarkupReader, NoStateLeaksBetweenDocuments) {
  MarkupReader reader;
  reader.Reset(kDocHtml);
  ReadInBlocks(reader, "<p>a</p><script>unfinished &eac", 0);
  reader.Reset(kDocXml);
  EXPECT_EQ(ReadInBlocks(reader, "x</p>y", 0), "x y");
}

TEST(MarkupReader, AnyCutGivesTheSameText) {
  const std::string doc =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?><html><head><style>b{}</style></head>"
      "<body><p class=\"a\">Caf\xC3\xA9 &eacute;t&eacute; &#x2019;&#8364; AT&T</p><b>x</b>y"
      "<w:bindata>zz</w:bindata><script>if(a<b)x();</script>&lt;tail&gt;<!-- <p>c</p> -->"
      "<![CDATA[d]e]]f<g>]]]>hy&shy;phen</body></html>";
  for (int kind : {kDocHtml, kDocXml, kDocSgml}) {
    MarkupReader reader;
    reader.Reset(kind);
    const std::string whole = ReadInBlocks(reader, doc, 0);
    for (size_t cut = 0; cut <= doc.size(); ++cut) {
      reader.Reset(kind);
      ASSERT_EQ(ReadWithCut(reader, doc, cut), whole) << "kind " << kind << " cut " << cut;
    }
    for (size_t block = 1; block < 8; ++block) {
      reader.Reset(kind);
      ASSERT_EQ(ReadInBlocks(reader, doc, block), whole) << "block " << block;
    }
  }
}

}  // namespace
}  // namespace quilor
