// Where the per-user files live. The settings themselves are a sectioned text
// file (the registry's sections and values) kept by the frame; only this layer
// knows its location.
#pragma once

#include <string>

namespace kandelo::platform {

// ${XDG_CONFIG_HOME:-$HOME/.config}/Kandelo/settings.ini
std::string settingsFilePath();
// ${XDG_DATA_HOME:-$HOME/.local/share}/Kandelo (the default program directory)
std::string userDataDirectory();
// ${XDG_CACHE_HOME:-$HOME/.cache}/Kandelo
std::string userCacheDirectory();
// Creates a directory and all missing parents; true when it exists afterwards.
bool makePath(const std::string& path);

}  // namespace kandelo::platform
