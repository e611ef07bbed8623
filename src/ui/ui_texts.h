// Message texts of the dialogs from the program's "ORVMSG" file, with the
// built-in text when the file (or an older one) lacks the key.
#pragma once

#include <string>

#include "frame/msgmanager.h"
#include "frame/settings.h"

namespace kandelo {

inline std::string OrvMsgText(const char* section, const char* key, const char* fallback) {
  const std::string text = TMsgManager(Settings().OrvMsgFile).GetText(section, key);
  return text.empty() ? std::string(fallback) : text;
}

}  // namespace kandelo
