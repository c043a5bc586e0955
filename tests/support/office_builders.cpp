#include "office_builders.h"

#include <zip.h>
#include <zlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quilor::testing {

void Put16(std::string& s, size_t at, uint16_t v) {
  if (s.size() < at + 2) s.resize(at + 2, '\0');
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>(v >> 8);
}
void Put32(std::string& s, size_t at, uint32_t v) {
  Put16(s, at, static_cast<uint16_t>(v & 0xFFFF));
  Put16(s, at + 2, static_cast<uint16_t>(v >> 16));
}

std::string BuildCompoundFile(const std::vector<std::pair<std::string, std::string>>& streams) {
  constexpr uint32_t kEnd = 0xFFFFFFFE, kFree = 0xFFFFFFFF, kFatMark = 0xFFFFFFFD;
  constexpr size_t kSector = 512, kMini = 64, kCutoff = 4096;
  std::string mini;
  std::vector<uint32_t> miniFat;
  std::vector<uint32_t> start(streams.size(), kEnd);
  std::vector<std::vector<uint32_t>> bigChains(streams.size());
  size_t bigSectors = 0;
  for (size_t i = 0; i < streams.size(); ++i) {
    const std::string& data = streams[i].second;
    if (data.empty()) continue;
    if (data.size() < kCutoff) {
      uint32_t first = static_cast<uint32_t>(mini.size() / kMini);
      size_t count = (data.size() + kMini - 1) / kMini;
      for (size_t k = 0; k < count; ++k) miniFat.push_back(k + 1 < count ? first + k + 1 : kEnd);
      start[i] = first;
      mini += data;
      mini.resize(mini.size() + (count * kMini - data.size()), '\0');
    } else {
      bigSectors += (data.size() + kSector - 1) / kSector;
    }
  }
  size_t dirSectors = (streams.size() + 1 + 3) / 4;
  size_t miniFatSectors = (miniFat.size() + 127) / 128;
  size_t miniStreamSectors = (mini.size() + kSector - 1) / kSector;
  size_t others = dirSectors + miniFatSectors + miniStreamSectors + bigSectors;
  size_t fatSectors = (others + 126) / 127;
  if (fatSectors == 0) fatSectors = 1;
  if (fatSectors > 109) throw std::runtime_error("test compound file too large");
  size_t total = fatSectors + others;
  std::vector<uint32_t> fat(fatSectors * 128, kFree);
  uint32_t next = 0;
  auto chain = [&](size_t count) {
    uint32_t first = next;
    for (size_t k = 0; k < count; ++k, ++next) fat[next] = k + 1 < count ? next + 1 : kEnd;
    return count ? first : kEnd;
  };
  for (size_t k = 0; k < fatSectors; ++k) fat[next++] = kFatMark;
  uint32_t dirStart = chain(dirSectors);
  uint32_t miniFatStart = chain(miniFatSectors);
  uint32_t miniStreamStart = chain(miniStreamSectors);
  for (size_t i = 0; i < streams.size(); ++i)
    if (streams[i].second.size() >= kCutoff) start[i] = chain((streams[i].second.size() + kSector - 1) / kSector);

  std::string out(kSector * (total + 1), '\0');
  const unsigned char sig[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  for (int k = 0; k < 8; ++k) out[k] = static_cast<char>(sig[k]);
  Put16(out, 24, 0x3E);
  Put16(out, 26, 3);
  Put16(out, 28, 0xFFFE);
  Put16(out, 30, 9);
  Put16(out, 32, 6);
  Put32(out, 44, static_cast<uint32_t>(fatSectors));
  Put32(out, 48, dirStart);
  Put32(out, 56, kCutoff);
  Put32(out, 60, miniFatSectors ? miniFatStart : kEnd);
  Put32(out, 64, static_cast<uint32_t>(miniFatSectors));
  Put32(out, 68, kEnd);
  for (int k = 0; k < 109; ++k) Put32(out, 76 + 4 * k, k < static_cast<int>(fatSectors) ? k : kFree);
  auto sectorAt = [&](uint32_t s) { return (static_cast<size_t>(s) + 1) * kSector; };
  for (size_t k = 0; k < fat.size(); ++k) Put32(out, kSector + 4 * k, fat[k]);
  // Directory: the root, then one stream per entry chained to the right.
  auto entry = [&](size_t index, const std::string& name, uint8_t type, uint32_t child, uint32_t right, uint32_t first,
                   uint32_t size) {
    size_t at = sectorAt(dirStart + static_cast<uint32_t>(index / 4)) + (index % 4) * 128;
    for (size_t c = 0; c < name.size() && c < 31; ++c) Put16(out, at + 2 * c, static_cast<unsigned char>(name[c]));
    Put16(out, at + 64, static_cast<uint16_t>((std::min<size_t>(name.size(), 31) + 1) * 2));
    out[at + 66] = static_cast<char>(type);
    out[at + 67] = 1;
    Put32(out, at + 68, kFree);
    Put32(out, at + 72, right);
    Put32(out, at + 76, child);
    Put32(out, at + 116, first);
    Put32(out, at + 120, size);
  };
  for (size_t k = streams.size() + 1; k < dirSectors * 4; ++k) {
    size_t at = sectorAt(dirStart + static_cast<uint32_t>(k / 4)) + (k % 4) * 128;
    Put32(out, at + 68, kFree);
    Put32(out, at + 72, kFree);
    Put32(out, at + 76, kFree);
  }
  entry(0, "Root Entry", 5, streams.empty() ? kFree : 1, kFree, miniStreamSectors ? miniStreamStart : kEnd,
        static_cast<uint32_t>(mini.size()));
  for (size_t i = 0; i < streams.size(); ++i)
    entry(i + 1, streams[i].first, 2, kFree, i + 1 < streams.size() ? static_cast<uint32_t>(i + 2) : kFree, start[i],
          static_cast<uint32_t>(streams[i].second.size()));
  for (size_t k = 0; k < miniFat.size(); ++k) Put32(out, sectorAt(miniFatStart) + 4 * k, miniFat[k]);
  for (size_t k = miniFat.size(); k < miniFatSectors * 128; ++k) Put32(out, sectorAt(miniFatStart) + 4 * k, kFree);
  if (!mini.empty()) out.replace(sectorAt(miniStreamStart), mini.size(), mini);
  for (size_t i = 0; i < streams.size(); ++i)
    if (streams[i].second.size() >= kCutoff)
      out.replace(sectorAt(start[i]), streams[i].second.size(), streams[i].second);
  return out;
}

std::pair<std::string, std::string> BuildWordStreams(const WordLayout& layout) {
  std::string doc(0x400, '\0');
  Put16(doc, 0, 0xA5EC);
  Put16(doc, 2, 0x00C1);
  Put16(doc, 6, layout.lid);
  uint16_t flags = 0x0004 | 0x0200;
  if (layout.encrypted) flags |= 0x0100;
  Put16(doc, 0x0A, flags);
  Put16(doc, 0x20, 14);
  Put16(doc, 0x3E, 22);
  for (int s = 0; s < 8; ++s) Put32(doc, 0x4C + 4 * s, layout.ccp[s]);
  Put16(doc, 0x98, 93);
  uint32_t cpCount = static_cast<uint32_t>(layout.text.size());
  Put32(doc, 0x18, 0x400);
  // The text, 8- or 16-bit.
  for (char16_t c : layout.text) {
    if (layout.eightBit) doc.push_back(static_cast<char>(c & 0xFF));
    else {
      doc.push_back(static_cast<char>(c & 0xFF));
      doc.push_back(static_cast<char>(c >> 8));
    }
  }
  Put32(doc, 0x1C, static_cast<uint32_t>(doc.size()));
  const bool repeated = layout.repeats > 0;
  int n = repeated ? layout.repeats : std::max(1, layout.pieces);
  std::string table;
  table.push_back(2);
  Put32(table, 1, static_cast<uint32_t>((n + 1) * 4 + n * 8));
  for (int i = 0; i <= n; ++i)
    Put32(table, 5 + 4 * i, static_cast<uint32_t>(repeated ? uint64_t{cpCount} * i : uint64_t{cpCount} * i / n));
  size_t pcd = 5 + (n + 1) * 4;
  for (int i = 0; i < n; ++i) {
    uint32_t cp = repeated ? 0 : static_cast<uint32_t>(uint64_t{cpCount} * i / n);
    uint32_t fc = layout.eightBit ? (((0x400 + cp) * 2) | 0x40000000u) : 0x400 + 2 * cp;
    Put16(table, pcd + 8 * i, 0);
    Put32(table, pcd + 8 * i + 2, fc);
    Put16(table, pcd + 8 * i + 6, 0);
  }
  Put32(doc, 0x1A2, 0);
  Put32(doc, 0x1A6, static_cast<uint32_t>(table.size()));
  return {doc, table};
}

std::string BuildWordFile(const WordLayout& layout) {
  auto [doc, table] = BuildWordStreams(layout);
  return BuildCompoundFile({{"WordDocument", doc}, {"1Table", table}});
}

std::string BuildZip(const std::vector<std::pair<std::string, std::string>>& parts) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_t* zip = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  zip_source_keep(buffer);
  for (const auto& [name, data] : parts) {
    zip_source_t* s = zip_source_buffer(zip, data.data(), data.size(), 0);
    zip_file_add(zip, name.c_str(), s, ZIP_FL_OVERWRITE);
  }
  zip_close(zip);
  std::string out;
  zip_source_open(buffer);
  zip_source_seek(buffer, 0, SEEK_END);
  zip_int64_t size = zip_source_tell(buffer);
  zip_source_seek(buffer, 0, SEEK_SET);
  out.resize(static_cast<size_t>(size));
  zip_source_read(buffer, out.data(), static_cast<zip_uint64_t>(size));
  zip_source_close(buffer);
  zip_source_free(buffer);
  zip_error_fini(&error);
  return out;
}

std::string BuildPdfSharingOneStream(int pages, size_t blanks) {
  const std::string plain(blanks, ' ');
  uLongf packedSize = compressBound(static_cast<uLong>(plain.size()));
  std::string packed(packedSize, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(plain.data()),
            static_cast<uLong>(plain.size()), 9);
  packed.resize(packedSize);
  std::string pdf = "%PDF-1.4\n";
  std::vector<size_t> offsets;
  auto object = [&](const std::string& body) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
  };
  object("<< /Type /Catalog /Pages 2 0 R >>");
  std::string kids;
  for (int i = 0; i < pages; ++i) kids += std::to_string(4 + i) + " 0 R ";
  object("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>");
  object("<< /Length " + std::to_string(packed.size()) + " /Filter /FlateDecode >>\nstream\n" + packed + "\nendstream");
  for (int i = 0; i < pages; ++i) object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 3 0 R >>");
  const size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n";
  char line[32];
  for (size_t at : offsets) {
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", at);
    pdf += line;
  }
  pdf += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace quilor::testing
