#include "import/filter_plugin.h"

#include <dlfcn.h>
#include <elf.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <vector>

#include "import/filter_plugin_abi.h"
#include "platform/read_file.h"

namespace quilor {

namespace {

#if defined(__x86_64__)
constexpr uint16_t kMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr uint16_t kMachine = EM_AARCH64;
#elif defined(__i386__)
constexpr uint16_t kMachine = EM_386;
#elif defined(__arm__)
constexpr uint16_t kMachine = EM_ARM;
#elif defined(__riscv)
constexpr uint16_t kMachine = EM_RISCV;
#else
constexpr uint16_t kMachine = EM_NONE;  // no library is accepted
#endif

constexpr unsigned char kClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
constexpr size_t kChunkCapacity = 32768;
constexpr long kMaxChunks = 500000;

uint16_t Read16(std::string_view h, size_t at, bool little) {
  const auto b0 = static_cast<unsigned char>(h[at]), b1 = static_cast<unsigned char>(h[at + 1]);
  return little ? static_cast<uint16_t>(b0 | b1 << 8) : static_cast<uint16_t>(b1 | b0 << 8);
}

// An open library with its entry points; closed with the last converter.
struct PluginLibrary {
  void* handle = nullptr;
  QuilorFilterOpenFunction open = nullptr;
  QuilorFilterNextFunction next = nullptr;
  QuilorFilterCloseFunction close = nullptr;
  ~PluginLibrary() {
    if (handle) dlclose(handle);
  }
};

class PluginFilter final : public DocumentFilter {
 public:
  PluginFilter(ConverterFormat format, std::shared_ptr<PluginLibrary> library)
      : DocumentFilter(format, ""), library_(std::move(library)) {}

 protected:
  bool Run(const std::string* path, std::string_view data) override {
    (void)data;
    if (!path) return Stop(FilterError::kInitFailure, kStepDocumentLoaded);  // a library reads files only
    int error = QUILOR_FILTER_OK;
    void* document = library_->open(path->c_str(), &error);
    if (!document)
      return Stop(ErrorOf(error == QUILOR_FILTER_OK ? QUILOR_FILTER_NOT_THIS_FORMAT : error), kStepDocumentLoaded);
    step_ = kStepReadingChunks;
    std::vector<char> buffer(kChunkCapacity + 1);
    bool ok = true;
    for (long chunks = 0;; ++chunks) {
      if (chunks >= kMaxChunks) {
        ok = Stop(FilterError::kTooLong, kStepTooLong);
        break;
      }
      step_ = kStepReadingChunk;
      const long n = library_->next(document, buffer.data(), kChunkCapacity);
      if (n == 0) break;
      if (n < 0 || static_cast<unsigned long>(n) > kChunkCapacity) {
        // A size outside the buffer is not trusted, nor anything after it.
        ok = Stop(n < 0 && n >= -4 ? ErrorOf(static_cast<int>(-n)) : FilterError::kChunking, kStepStopped);
        break;
      }
      if (!AppendChunk(std::string_view(buffer.data(), static_cast<size_t>(n))) || (addSeparator && !AppendRaw(' '))) {
        ok = false;
        break;
      }
    }
    library_->close(document);
    return ok;
  }

 private:
  static FilterError ErrorOf(int code) {
    switch (code) {
      case QUILOR_FILTER_PASSWORD: return FilterError::kPassword;
      case QUILOR_FILTER_ACCESS: return FilterError::kAccess;
      case QUILOR_FILTER_DAMAGED: return FilterError::kChunking;
      default: return FilterError::kInitFailure;
    }
  }
  std::shared_ptr<PluginLibrary> library_;
};

}  // namespace

bool IsLoadableElfHeader(std::string_view h) {
  if (h.size() < 20 || std::memcmp(h.data(), ELFMAG, SELFMAG) != 0) return false;
  if (static_cast<unsigned char>(h[EI_CLASS]) != kClass) return false;
  const bool little = h[EI_DATA] == ELFDATA2LSB;
  if (h[EI_DATA] != (std::endian::native == std::endian::little ? ELFDATA2LSB : ELFDATA2MSB)) return false;
  if (h[EI_VERSION] != EV_CURRENT) return false;
  if (Read16(h, 16, little) != ET_DYN) return false;
  return kMachine != EM_NONE && Read16(h, 18, little) == kMachine;
}

std::unique_ptr<DocumentFilter> LoadFilterPlugin(ConverterFormat format, const std::string& libraryPath,
                                                 std::string* error) {
  auto fail = [&](const char* why) -> std::unique_ptr<DocumentFilter> {
    if (error) *error = why;
    return nullptr;
  };
  char header[64] = {};
  {
    // A regular file only: a FIFO or a device named in the settings must
    // not hang the start-up.
    const int fd = OpenRegularFile(libraryPath);
    if (fd < 0) return fail("cannot be read");
    ssize_t got = 0;
    do got = ::read(fd, header, sizeof header);
    while (got < 0 && errno == EINTR);
    ::close(fd);
    if (got < 0 || !IsLoadableElfHeader(std::string_view(header, static_cast<size_t>(got))))
      return fail("not a shared object of this machine");
  }
  auto library = std::make_shared<PluginLibrary>();
  library->handle = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library->handle) return fail("cannot be loaded");
  auto version = reinterpret_cast<QuilorFilterVersionFunction>(dlsym(library->handle, QUILOR_FILTER_VERSION_SYMBOL));
  library->open = reinterpret_cast<QuilorFilterOpenFunction>(dlsym(library->handle, QUILOR_FILTER_OPEN_SYMBOL));
  library->next = reinterpret_cast<QuilorFilterNextFunction>(dlsym(library->handle, QUILOR_FILTER_NEXT_SYMBOL));
  library->close = reinterpret_cast<QuilorFilterCloseFunction>(dlsym(library->handle, QUILOR_FILTER_CLOSE_SYMBOL));
  if (!version || !library->open || !library->next || !library->close) return fail("lacks the filter entry points");
  if (version() != QUILOR_FILTER_ABI_VERSION) return fail("is of another version");
  auto filter = std::make_unique<PluginFilter>(format, std::move(library));
  if (!filter->Load(true, libraryPath)) return fail("cannot be read");
  return filter;
}

}  // namespace quilor
