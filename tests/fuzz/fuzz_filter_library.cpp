// The first bytes of a file the user chose as a filter library: only the
// header of a shared object of this machine passes, and any file that does
// not is refused before it is loaded.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "import/filter_plugin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view header(reinterpret_cast<const char*>(data), size);
  const bool loadable = quilor::IsLoadableElfHeader(header);
  if (loadable && (size < 20 || header.substr(0, 4) != "\x7F"
                                                       "ELF"))
    __builtin_trap();
  if (!loadable) {
    // Refused without being opened as a library.
    char path[] = "/tmp/quilor-fuzz-filter-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return 0;
    if (write(fd, data, size) != static_cast<ssize_t>(size)) {
      close(fd);
      unlink(path);
      return 0;
    }
    close(fd);
    std::string why;
    if (quilor::LoadFilterPlugin(quilor::ConverterFormat::kPdf, path, &why)) __builtin_trap();
    unlink(path);
  }
  return 0;
}
