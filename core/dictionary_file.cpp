#include "core/dictionary_file.h"

#include <bit>
#include <cstring>
#include <filesystem>

#include "core/chartables.h"
#include "core/messages.h"
#include "platform/fatal.h"
#include "platform/read_file.h"

namespace quilor {

static_assert(std::endian::native == std::endian::little, "dictionary arrays are read as little-endian");

void DictionarySource::Read(void* destination, uint64_t n) {
  if (n > Remaining() || !ReadBytes(destination, n)) ReadError();
  position_ += n;
}

void DictionarySource::ReadError() const {
  std::string text = GetMessageText(kMsgDictionaryReadError);
  ShowError(text);
  std::string lower = name_;
  LowerCaseString(lower);
  Terminate(kExitDictionaryRead, text + " " + lower);
}

void DictionarySource::Corrupt(const std::string& why) const {
  std::string text = GetMessageText(kMsgDictionaryCorrupt);
  ShowError(text);
  Terminate(kExitFatal, text + " " + name_ + ": " + why);
}

void DictionarySource::WrongVersion() const {
  std::string text = std::string(GetMessageText(kMsgDictionaryWrongVersion)) + " " + name_;
  ShowError(text);
  Terminate(kExitFatal, text);
}

FileDictionarySource::FileDictionarySource(const std::string& path) {
  name_ = path;
  file_ = OpenRegularFileStream(path);  // never a pipe, a device or a folder
  if (!file_) ReadError();
  if (std::fseek(file_, 0, SEEK_END) != 0) ReadError();
  const long size = std::ftell(file_);
  if (size < 0 || std::fseek(file_, 0, SEEK_SET) != 0) ReadError();
  size_ = static_cast<uint64_t>(size);
}

FileDictionarySource::~FileDictionarySource() {
  if (file_) std::fclose(file_);
}

bool FileDictionarySource::ReadBytes(void* destination, uint64_t n) {
  return n == 0 || std::fread(destination, 1, n, file_) == n;
}

MemoryDictionarySource::MemoryDictionarySource(const uint8_t* data, uint64_t size, const std::string& name)
    : data_(data) {
  name_ = name;
  size_ = size;
}

bool MemoryDictionarySource::ReadBytes(void* destination, uint64_t n) {
  if (n) std::memcpy(destination, data_ + position_, n);
  return true;
}

std::string WithExtension(const std::string& path, const char* extension) {
  std::filesystem::path p(path);
  p.replace_extension(extension);
  return p.string();
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
  const std::string tmp = path + ".tmp";
  std::FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) {
    if (error) *error = "cannot create " + tmp;
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  std::error_code ec;
  if (!written || !closed) {
    std::filesystem::remove(tmp, ec);
    if (error) *error = "cannot write " + tmp;
    return false;
  }
  std::filesystem::rename(tmp, path, ec);
  if (ec) {
    if (error) *error = "cannot rename " + tmp + ": " + ec.message();
    return false;
  }
  return true;
}

}  // namespace quilor
