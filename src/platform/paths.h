// Taking file paths apart: name, parent directory, extension. Paths are
// 8-bit strings with the platform's separator ('/' on Linux; on Windows '\\',
// with a drive colon ending a prefix as well).
#pragma once

#include <string>
#include <string_view>

namespace kandelo::platform {

// Part after the last separator (or drive colon), at most 64 characters.
std::string ExtractName(std::string_view path);
// Part before the last separator; see the comment in the source for roots.
// At most 255 characters.
std::string ParentPath(std::string_view path);
// Extension with its dot ("" when none); ChangeFileExt replaces or appends it.
std::string ExtractFileExt(std::string_view path);
std::string ChangeFileExt(std::string_view path, std::string_view ext);

}  // namespace kandelo::platform
