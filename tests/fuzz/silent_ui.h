// A message box that answers Ok/Yes and keeps nothing: fuzz targets run
// millions of inputs and must not grow a log of the boxes they caused.
#pragma once

#include <string>

#include "platform/message_ui.h"

namespace quilor {

class SilentMessageUi : public MessageUi {
 public:
  BoxAnswer ShowBox(const BoxRequest&) override { return {1, false}; }
  void ShowSystemError(const std::string&) override {}
};

// Installs one silent box for the whole fuzz run.
inline void InstallSilentMessageUi() {
  static SilentMessageUi ui;
  SetMessageUi(&ui);
}

}  // namespace quilor
