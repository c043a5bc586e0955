// Word 97-2003 documents: the input is either a whole compound file or, to
// reach the reader's own checks faster, the two streams of a document cut at
// the first "\n--\n".
#include <cstddef>
#include <cstdint>
#include <string>

#include "import/word_document.h"
#include "platform/compound_file.h"

namespace {

void Put(std::string& s, size_t at, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A minimal compound file holding "WordDocument" and "1Table" in regular sectors.
std::string Wrap(const std::string& doc, const std::string& table) {
  auto sectors = [](size_t n) { return (std::max<size_t>(n, 4096) + 511) / 512; };
  size_t a = sectors(doc.size()), b = sectors(table.size());
  size_t total = 2 + a + b;  // FAT, directory, streams
  if (total > 128) return {};
  std::string out(512 * (total + 1), '\0');
  const char sig[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
  out.replace(0, 8, sig, 8);
  Put(out, 26, 3, 2);
  Put(out, 28, 0xFFFE, 2);
  Put(out, 30, 9, 2);
  Put(out, 32, 6, 2);
  Put(out, 44, 1, 4);
  Put(out, 48, 1, 4);
  Put(out, 56, 4096, 4);
  Put(out, 60, 0xFFFFFFFE, 4);
  Put(out, 68, 0xFFFFFFFE, 4);
  for (int k = 0; k < 109; ++k) Put(out, 76 + 4 * k, k == 0 ? 0 : 0xFFFFFFFF, 4);
  size_t fat = 512;
  for (size_t k = 0; k < 128; ++k) Put(out, fat + 4 * k, 0xFFFFFFFF, 4);
  Put(out, fat, 0xFFFFFFFD, 4);
  Put(out, fat + 4, 0xFFFFFFFE, 4);
  auto chain = [&](size_t first, size_t n) {
    for (size_t k = 0; k < n; ++k) Put(out, fat + 4 * (first + k), k + 1 < n ? first + k + 1 : 0xFFFFFFFE, 4);
  };
  chain(2, a);
  chain(2 + a, b);
  size_t dir = 1024;
  auto entry = [&](int i, const char* name, int type, uint32_t child, uint32_t right, uint32_t start, uint32_t size) {
    size_t at = dir + 128 * i;
    size_t n = 0;
    for (; name[n]; ++n) Put(out, at + 2 * n, static_cast<unsigned char>(name[n]), 2);
    Put(out, at + 64, static_cast<uint32_t>((n + 1) * 2), 2);
    out[at + 66] = static_cast<char>(type);
    Put(out, at + 68, 0xFFFFFFFF, 4);
    Put(out, at + 72, right, 4);
    Put(out, at + 76, child, 4);
    Put(out, at + 116, start, 4);
    Put(out, at + 120, size, 4);
  };
  entry(0, "Root Entry", 5, 1, 0xFFFFFFFF, 0xFFFFFFFE, 0);
  entry(1, "WordDocument", 2, 0xFFFFFFFF, 2, 2, static_cast<uint32_t>(std::max<size_t>(doc.size(), 4096)));
  entry(2, "1Table", 2, 0xFFFFFFFF, 0xFFFFFFFF, static_cast<uint32_t>(2 + a),
        static_cast<uint32_t>(std::max<size_t>(table.size(), 4096)));
  entry(3, "", 0, 0xFFFFFFFF, 0xFFFFFFFF, 0, 0);
  out.replace(512 * 3, doc.size(), doc);
  out.replace(512 * (3 + a), table.size(), table);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  quilor::TMSWordDocument doc;
  std::string file = input;
  size_t cut = input.find("\n--\n");
  if (!quilor::CompoundFile::HasSignature(input.data(), input.size()) && cut != std::string::npos)
    file = Wrap(input.substr(0, cut), input.substr(cut + 4));
  try {
    doc.ReadFromMemory(file, "fuzz.doc");
  } catch (const quilor::WordDocumentError&) {
  }
  doc.MainTextString();
  return 0;
}
