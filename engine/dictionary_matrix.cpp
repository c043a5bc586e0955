#include "engine/dictionary_matrix.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <type_traits>

#include "core/messages.h"
#include "platform/fatal.h"
#include "platform/read_file.h"

namespace quilor {

TDictionaryMatrix DictionaryMatrix;

namespace {

constexpr size_t kW0 = 0;
constexpr size_t kPairs = 8;
constexpr size_t kTriples = 976;
constexpr size_t kPronounPairs = 11624;
constexpr size_t kPronounTriples = 12108;

int16_t Low16(const uint8_t* p) { return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8))); }

void Put32(uint8_t* p, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(u >> (8 * i));
}

template <size_t N>
void ReadTable(const uint8_t* data, size_t offset, int16_t (&to)[N]) {
  for (size_t i = 0; i < N; ++i) to[i] = Low16(data + offset + 4 * i);
}
template <size_t N>
void WriteTable(uint8_t* data, size_t offset, const int16_t (&from)[N]) {
  for (size_t i = 0; i < N; ++i) Put32(data + offset + 4 * i, from[i]);
}

// The tables as flat arrays.
template <typename T>
auto& Flat(T& table) {
  using Element = std::remove_all_extents_t<T>;
  return *reinterpret_cast<Element(*)[sizeof(T) / sizeof(Element)]>(&table);
}

[[noreturn]] void Unreadable(const std::string& name) {
  const std::string text = GetMessageText(kMsgMatrixUnreadable);
  ShowError(text);
  Terminate(kExitDictionaryRead, text + " " + name);
}

}  // namespace

bool ParseDictionaryMatrix(const uint8_t* data, size_t size, TDictionaryMatrix& m) {
  if (!data || size < kDictionaryMatrixSize) return false;
  m.W0 = Low16(data + kW0);
  ReadTable(data, kPairs, Flat(m.P));
  ReadTable(data, kTriples, Flat(m.T));
  ReadTable(data, kPronounPairs, Flat(m.P5));
  ReadTable(data, kPronounTriples, Flat(m.T5));
  m.Loaded = true;
  return true;
}

std::vector<uint8_t> DictionaryMatrixImage(const TDictionaryMatrix& m) {
  std::vector<uint8_t> image(kDictionaryMatrixSize, 0);
  Put32(image.data() + kW0, m.W0);
  WriteTable(image.data(), kPairs, Flat(m.P));
  WriteTable(image.data(), kTriples, Flat(m.T));
  WriteTable(image.data(), kPronounPairs, Flat(m.P5));
  WriteTable(image.data(), kPronounTriples, Flat(m.T5));
  return image;
}

bool WriteDictionaryMatrix(const std::string& path, const TDictionaryMatrix& m) {
  const std::vector<uint8_t> image = DictionaryMatrixImage(m);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(image.data(), 1, image.size(), f) == image.size();
  return std::fclose(f) == 0 && ok;
}

std::string DictionaryMatrixFileName(const std::string& mask) {
  const size_t slash = mask.find_last_of("/\\");
  const size_t dot = mask.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return mask + ".zv8";
  return mask.substr(0, dot) + ".zv8";
}

void ReadDictionaryMatrix(const std::string& mask) {
  const std::string name = DictionaryMatrixFileName(mask);
  std::FILE* f = OpenRegularFileStream(name);
  if (!f) Unreadable(name);
  auto image = std::make_unique<uint8_t[]>(kDictionaryMatrixSize);
  const size_t got = std::fread(image.get(), 1, kDictionaryMatrixSize, f);
  std::fclose(f);
  TDictionaryMatrix m;
  if (!ParseDictionaryMatrix(image.get(), got, m)) Unreadable(name);
  DictionaryMatrix = m;
}

}  // namespace quilor
