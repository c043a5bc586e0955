// String-table texts as the widgets show them.
#pragma once

#include <QString>

#include "core/messages.h"
#include "platform/text_encoding.h"

namespace quilor::ui {

inline QString MessageQString(int id) { return QString::fromStdString(Cp1252ToUtf8(GetMessageText(id))); }

// The text with its first letter upper-cased (captions kept lower-cased in the table).
inline QString CapitalisedMessage(int id) {
  QString s = MessageQString(id);
  if (!s.isEmpty()) s[0] = s[0].toUpper();
  return s;
}

}  // namespace quilor::ui
