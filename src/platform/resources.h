// Files embedded into the program at build time (language files, coefficient
// tables, sample luminaires), addressed by their path below resources/.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kandelo::platform {

// The bytes of an embedded file such as "language/MSGTXT.GER".
std::optional<std::string_view> EmbeddedFile(std::string_view path);
// Paths of all embedded files that begin with the prefix.
std::vector<std::string> EmbeddedFiles(std::string_view prefix = {});

}  // namespace kandelo::platform
