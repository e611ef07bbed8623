// Qt's own texts (standard buttons, the print and file dialogs) in the
// language of the session, from the translations of the Qt installation.
#pragma once

#include <string>

namespace kandelo {

// Replaces the Qt translations in use by those of the language with this file
// extension (".GER", ".FRA"); any other language gets Qt's built-in English.
// Returns false when the translations of that language are not installed.
bool UseQtTranslations(const std::string& langExt);

}  // namespace kandelo
