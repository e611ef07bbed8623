#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>
#include <thread>

#include "cli/cli_common.h"
#include "cli/drawing_part.h"
#include "database/catalogue.h"
#include "storage/isam.h"
#include "frame/inifile.h"
#include "shell/msgbox.h"
#include "frame/settings.h"
#include "shell/ui_services.h"
#include "platform/resources.h"
#include "platform/text.h"

namespace kandelo::cli {

std::vector<CommandSetup>& Commands() {
  static std::vector<CommandSetup> commands;
  return commands;
}

namespace {
// Start-up done by a command; shut down at the end of main when the command
// did not, so that the catalogue and the engine never meet static destruction.
std::optional<StartupState>& Started() {
  static std::optional<StartupState> state;
  return state;
}

double g_waitSeconds = 3;
int g_answer = mrNo;
bool g_unavailableSaid = false;

// The boxes of the start-up, kept until it is known whether one line says
// it all; questions (create or rebuild a damaged catalogue?) get the answer
// of the command.
class StartUi : public UiServices {
 public:
  int showMessage(const MessageBox& box) override {
    boxes.push_back(box);
    for (const auto& b : box.buttons)
      if (b.result == g_answer) return g_answer;
    return box.buttons.empty() ? mrOk : box.buttons.front().result;
  }
  std::vector<MessageBox> boxes;
};

}  // namespace

void SetCatalogueWait(double seconds) { g_waitSeconds = seconds; }
void SetCatalogueQuestionAnswer(int answer) { g_answer = answer; }

void WaitForCatalogue(const std::string& base) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(g_waitSeconds);
  while (CatalogueHolderPid(base) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

// Also without the catalogue (declared where it is used: the lamp commands),
// which then says nothing about it.
StartupState StartCli(bool catalogue) {
  StopCli();
  g_unavailableSaid = false;
  StartUi start;
  {
    ScopedUiServices collect(start);
    StartupSteps steps = CliStartupSteps();
    if (!catalogue) {
      steps.catalogueHeld = nullptr;
      steps.openCatalogue = nullptr;
    }
    Started() = StartProgram(steps);
  }
  if (catalogue && !Started()->catalogueReady && !Settings().LumDb.empty()) {
    // One line instead of the engine's number and "Ldb not init".
    const std::string base = Settings().LumDb;
    if (const std::optional<int> holder = CatalogueHolderPid(base)) {
      std::string text = SessionText("CL_BUSY", "Another program holds the catalogue");
      if (*holder > 0) text += " (" + SessionText("CL_PROCESS", "process") + " " + std::to_string(*holder) + ")";
      FailFile(isam::DataFilePath(base), text);
      g_unavailableSaid = true;
    } else if (!isam::StationsOpen(base) && isam::InspectDataFile(base) != isam::DataFileState::Sound) {
      // (A catalogue that other stations have open is being written, not lost.)
      FailFile(isam::DataFilePath(base),
               SessionText("CL_DATALOST", "The catalogue's data file is missing or cut short; the index is kept. "
                                          "Rebuild with: kandelo-cli catalogue rebuild"));
      g_unavailableSaid = true;
    }
  }
  if (!g_unavailableSaid) {
    for (const auto& box : start.boxes) ui().showMessage(box);
    for (const auto& fault : Started()->faults) ShowError(fault);
  }
  return *Started();
}

StartupState StartCli() { return StartCli(true); }

int CatalogueUnavailable() {
  return g_unavailableSaid ? kFailure : Fail("the catalogue is not available");
}

void StopCli() {
  if (!Started()) return;
  StartupState state = *Started();
  state.catalogueReady = true;  // a command may have opened it later (rebuild); closing is harmless
  ShutdownProgram(CliStartupSteps(), state);
  Started().reset();
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "kandelo-cli: %s\n", ToUtf8(message).c_str());
  return kFailure;
}

namespace {

// The boxes of the core as one line each on stderr, without the title of a
// window (which the message catalogue gives in German by default).
class CliUi : public UiServices {
 public:
  int showMessage(const MessageBox& box) override {
    Fail(box.text);
    return box.buttons.empty() ? mrOk : box.buttons.front().result;
  }
};

// The session's "ORVMSG" file as installed (a translator may have changed
// it), and as shipped, for keys an older installed file lacks.
struct SessionFiles {
  TBigInifile installed{""}, shipped{""};
};

const SessionFiles& SessionMessages() {
  static const SessionFiles files = [] {
    if (Settings().DbLangExt.empty()) LoadSettings();
    SessionFiles f;
    f.installed = TBigInifile(LanguageFilePath("ORVMSG"));
    if (auto text = platform::EmbeddedFile("language/ORVMSG" + platform::upper1252(Settings().DbLangExt)))
      f.shipped.SetTextStr(*text);
    return f;
  }();
  return files;
}

}  // namespace

std::string SessionText(const std::string& key, const std::string& english) {
  return SessionText("COMMANDLINE", key, english);
}

std::string SessionText(const std::string& section, const std::string& key, const std::string& english) {
  std::string t = SessionMessages().installed.ReadString(section, key, "");
  if (t.empty()) t = SessionMessages().shipped.ReadString(section, key, "");
  return t.empty() ? english : t;
}

int FailFile(const std::string& file, const std::string& reason) {
  // The name as the file system has it (bytes, UTF-8 on Linux); the reason is a 1252 text.
  std::fprintf(stderr, "kandelo-cli: %s: %s\n", file.c_str(), ToUtf8(reason).c_str());
  return kFailure;
}

std::string WriteErrorText(platform::WriteError why) {
  using platform::WriteError;
  switch (why) {
    case WriteError::DiskFull: return SessionText("CL_DISKFULL", "the disk is full");
    case WriteError::TooLarge: return SessionText("CL_TOOLARGE", "the file exceeds the size the system allows");
    case WriteError::NameTooLong: return SessionText("CL_NAMELONG", "the file name is too long");
    case WriteError::NoPermission: return SessionText("CL_NOACCESS", "no permission to write there");
    case WriteError::ReadOnly: return SessionText("CL_READONLY", "the medium is read-only");
    case WriteError::NoFolder: return SessionText("CL_NOFOLDER", "the folder does not exist");
    case WriteError::None:
    case WriteError::Unknown: break;
  }
  return {};
}

int FailWrite(const std::string& file, platform::WriteError why) {
  const std::string reason = WriteErrorText(why);
  return FailFile(file, SessionText("CL_NOWRITE", "cannot be written") + (reason.empty() ? "" : " (" + reason + ")"));
}

bool LoadForCommand(TLUM32& lum, const std::string& file, int& exitCode, LoadValues values) {
  const LoadResult loaded = LoadLuminaire(file, lum, values);
  if (loaded.ok()) {
    ShowDiagnostics(loaded.messages);
    return true;
  }
  std::string reason;
  switch (loaded.fault) {
    case LoadFault::NotFound: reason = SessionText("CL_NOTFOUND", "file not found"); break;
    case LoadFault::NotRegular:
      reason = SessionText("CL_NOTREGULAR", "not a regular file (FIFO, device or socket)");
      break;
    case LoadFault::OutOfRange:
      reason = SessionText("CL_RANGE", "values beyond the range of the table (above 1e30 or no number)");
      break;
    case LoadFault::Damaged: {
      reason = SessionText("CL_DAMAGED", "damaged");
      // The reader's words (fixed texts of the formats), without the file name they repeat.
      if (!loaded.messages.empty()) {
        std::string detail = loaded.messages.items.back().text;
        const auto at = detail.find(file + " : ");
        if (at != std::string::npos) detail.erase(0, at + file.size() + 3);
        reason += ": " + detail;
      }
      break;
    }
    default: reason = SessionText("CL_UNKNOWN", "not a photometric file in a known format"); break;
  }
  exitCode = FailFile(file, reason);
  return false;
}

std::string ToUtf8(const std::string& s) { return platform::cp1252ToUtf8(s); }
std::string FromUtf8(const std::string& s) { return platform::utf8ToCp1252(s); }

}  // namespace kandelo::cli

int main(int argc, char** argv) {
  using namespace kandelo::cli;
  CLI::App app{"Kandelo luminaire database, command line"};
  app.set_version_flag("--version", std::string("kandelo-cli ") + KANDELO_VERSION);
  app.require_subcommand(1);
  int exitCode = kOk;
  CliUi cliUi;
  kandelo::ScopedUiServices messages(cliUi);
  double wait = 3;
  app.add_option("--wait", wait, "Seconds to wait for a catalogue that another program holds")
      ->check(CLI::Range(0.0, 3600.0))
      ->each([](const std::string& v) { SetCatalogueWait(std::stod(v)); });
  for (auto& setup : Commands()) setup(app, exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    // A command this program lacks (one that draws) or a request for help:
    // the drawing part is the whole command line and answers it.
    StopCli();
    HandOverToDrawingPart(argc, argv);
    if (dynamic_cast<const CLI::Success*>(&e)) return app.exit(e);
    app.exit(e);
    return kUsage;
  }
  StopCli();
  return exitCode;
}
