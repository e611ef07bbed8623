// The user interface's code-page boundary: the core keeps Windows-1252 text,
// Qt wants Unicode.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace kandelo {

inline QString Q(std::string_view s) { return QString::fromStdString(platform::cp1252ToUtf8(s)); }
inline std::string S(const QString& s) { return platform::utf8ToCp1252(s.toStdString()); }

}  // namespace kandelo
