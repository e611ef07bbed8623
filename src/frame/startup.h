// Start-up and shutdown of the program, shared by the GUI and the CLI. Steps
// that belong to higher layers (engine, catalogue) come in as callbacks, so
// the frame stays at the bottom of the layer order.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kandelo {

struct StartupSteps {
  // Starts the indexed-file engine; returns its error number (0 = success).
  std::function<int()> initEngine;
  // Opens or creates the catalogue; false when it stays unavailable, with the
  // text for the user in `fault` when there is one.
  std::function<bool(std::string& fault)> openCatalogue;
  // Optional: true when another program holds the catalogue. It is then not
  // opened, and no message is shown: the caller says what that means.
  std::function<bool()> catalogueHeld;
  std::function<void()> closeCatalogue;
  std::function<void()> releaseEngine;
};

// What the start did to the language files in LangDir (file names).
struct LanguageFileUpdate {
  std::vector<std::string> updated;  // installed files that got the keys they lacked
  std::vector<std::string> failed;   // could not be written; left as they were
};

struct StartupState {
  LanguageFileUpdate languageFiles;
  bool engineReady = false;
  bool catalogueReady = false;
  bool catalogueHeld = false;
  // What went wrong, in order, for the shell to show: "GB no init" when the
  // engine failed; the catalogue's own text and "Ldb not init" when it failed.
  std::vector<std::string> faults;
};

// Widens the short date format to four-digit years: "dd.MM.yy" -> "dd.MM.yyyy".
std::string WidenShortDateFormat(const std::string& format);

// Copies the shipped language files into LangDir where they are missing, and
// adds to the installed ones the keys a newer program brought, keeping the
// texts they have. Each file is replaced whole (temporary file + rename).
LanguageFileUpdate InstallLanguageFiles();

// Copies the shipped default lamp table (lamps/DEFLAMPS.DAT and .IDX) into
// ExtData when it has no lamp table yet.
void InstallDefaultLampTable();

// Steps 1 to 6: date format, settings, engine, record-length upgrades, language
// files, catalogue. Never stops on its own errors: it returns them.
StartupState StartProgram(const StartupSteps& steps);
// Step 8: closes the catalogue and releases the engine.
void ShutdownProgram(const StartupSteps& steps, const StartupState& state);

}  // namespace kandelo
