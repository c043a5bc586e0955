// Texts of the engine (Windows-1252) as Qt strings, and back.
#pragma once

#include <QString>

#include <string>

#include "core/messages.h"
#include "platform/text_encoding.h"

namespace quilor::ui {

inline QString FromCp1252(const std::string& text) { return QString::fromStdString(Cp1252ToUtf8(text)); }
inline std::string ToCp1252(const QString& text) { return Utf8ToCp1252(text.toStdString()); }
inline QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }
// The string-table text of a message number.
inline QString MessageText(int id) { return FromCp1252(GetMessageText(id)); }
// The text with its first letter upper-cased (captions kept lower-cased in the table).
inline QString CapitalisedMessage(int id) {
  QString s = MessageText(id);
  if (!s.isEmpty()) s[0] = s[0].toUpper();
  return s;
}

}  // namespace quilor::ui
