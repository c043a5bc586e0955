// The string-table texts of the Scenario windows as owned strings (the
// message buffer is shared, so two texts in one expression need copies).
#pragma once

#include <string>

#include "core/messages.h"

namespace quilor::ui {

inline std::string Msg(int id) { return GetMessageText(id); }

}  // namespace quilor::ui
