// Sends a request to the running program over its local socket:
//   quilor-send [--scenario NAME] [--key KIND:TEXT]... [--command N] FILE
// Command 0 (the default) analyses FILE (made absolute) and applies the keys;
// command 1 reads FILE as a command file. Exit codes: 0 done, 1 refused or
// busy, 2 a malformed request, 64 bad usage, 69 no program answered.
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "mainwindow/copydata_request.h"
#include "mainwindow/request_dispatch.h"
#include "mainwindow/request_server_qt.h"
#include "platform/text_encoding.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: quilor-send [--scenario NAME] [--key KIND:TEXT]... [--command N] FILE\n");
  return 64;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quilor::ui;
  QCoreApplication app(argc, argv);
  TCopyDataRequest request;
  std::string file;
  size_t keys = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--scenario" && i + 1 < argc) {
      request.scenario = quilor::Utf8ToCp1252(argv[++i]);
    } else if (arg == "--key" && i + 1 < argc) {
      const std::string key = argv[++i];
      const size_t colon = key.find(':');
      if (colon != 1 || key[0] < '0' || key[0] > '9' || keys >= kRequestKeySlots) return Usage();
      if (keys == 0) request.keyKind = static_cast<uint16_t>(key[0] - '0');
      request.keys[keys++] = quilor::Utf8ToCp1252(key.substr(2));
    } else if (arg == "--command" && i + 1 < argc) {
      char* end = nullptr;
      const unsigned long command = std::strtoul(argv[++i], &end, 10);
      if (end == argv[i] || *end != '\0' || command > 0xFFFFFFFFul) return Usage();
      request.command = static_cast<uint32_t>(command);
    } else if (!arg.empty() && arg[0] != '-' && file.empty()) {
      file = arg;
    } else {
      return Usage();
    }
  }
  if (file.empty()) return Usage();
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(file, error);
  if (error || absolute.native().size() > 260) {
    std::fprintf(stderr, "quilor-send: the path of %s is too long\n", file.c_str());
    return 64;
  }
  request.path = absolute.lexically_normal().string();

  uint32_t reply = 0;
  if (!SendRequest(RequestSocketPath(), EncodeRequest(request), reply)) {
    std::fprintf(stderr, "quilor-send: no Quilor program answered\n");
    return 69;
  }
  switch (static_cast<RequestReply>(reply)) {
    case RequestReply::kDone: return 0;
    case RequestReply::kBusy:
      std::fprintf(stderr, "quilor-send: the program is busy (analysis or print); nothing was changed\n");
      return 1;
    case RequestReply::kWrongSize:
      std::fprintf(stderr, "quilor-send: the program refused the request record\n");
      return 2;
    default: std::fprintf(stderr, "quilor-send: the program refused the request\n"); return 1;
  }
}
