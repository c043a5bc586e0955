// The dictionary matrix ("<code>glex.zv8"): the context weights with which
// the segment resolver scores the readings of an ambiguous word.
//
// File layout: no header, 17,432 bytes, every value a little-endian signed
// 32-bit integer of which only the low 16 bits count (read as signed):
//   0       W0, the bonus of a Connector at the start of a proposition
//   4       unused
//   8       P[a][b]      11 x 11      pair weight, left class a, right class b
//   492     unused (484 bytes)
//   976     T[a][b][c]   11 x 11 x 11 triple weight of three classes in a row
//   6300    unused (5,324 bytes)
//   11624   P5[s][b]     11 x 11      added with P when the left word is a
//                                     Pronoun of subclass s
//   12108   T5[s][b][c]  11 x 11 x 11 added with T likewise
// Classes are the major classes of a category record, 0 read as 8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quilor {

constexpr int kMatrixClasses = 11;
constexpr size_t kDictionaryMatrixSize = 17432;
constexpr int kMsgMatrixUnreadable = 218;

struct TDictionaryMatrix {
  int16_t W0 = 0;
  int16_t P[kMatrixClasses][kMatrixClasses] = {};
  int16_t T[kMatrixClasses][kMatrixClasses][kMatrixClasses] = {};
  int16_t P5[kMatrixClasses][kMatrixClasses] = {};
  int16_t T5[kMatrixClasses][kMatrixClasses][kMatrixClasses] = {};
  bool Loaded = false;
};

// The matrix the analysis uses (all weights 0 until read).
extern TDictionaryMatrix DictionaryMatrix;

// Reads an image; False (matrix untouched) when it is shorter than 17,432
// bytes. Bytes past the matrix are ignored.
bool ParseDictionaryMatrix(const uint8_t* data, size_t size, TDictionaryMatrix& matrix);
// The 17,432-byte image of a matrix (unused fields 0).
std::vector<uint8_t> DictionaryMatrixImage(const TDictionaryMatrix& matrix);
bool WriteDictionaryMatrix(const std::string& path, const TDictionaryMatrix& matrix);
// Reads the ".zv8" file of the dictionary mask into DictionaryMatrix. A file
// that is missing, unreadable or short shows message 218 and ends the
// program (exit code 1).
void ReadDictionaryMatrix(const std::string& dictionaryMask);
// The mask with its extension replaced by ".zv8".
std::string DictionaryMatrixFileName(const std::string& dictionaryMask);

}  // namespace quilor
