#include "frame/startup.h"

#include "frame/msgbox.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "platform/fileio.h"
#include "platform/locale_info.h"
#include "platform/resources.h"

namespace kandelo {

namespace pf = kandelo::platform;

std::string WidenShortDateFormat(const std::string& format) {
  if (format.find("yyyy") != std::string::npos) return format;
  auto pos = format.find("yy");
  if (pos == std::string::npos) return format;
  std::string f = format;
  f.insert(pos, "yy");
  return f;
}

void InstallLanguageFiles() {
  const std::string dir = AddBackslash(Settings().LangDir);
  if (dir.empty()) return;
  for (const std::string& res : pf::EmbeddedFiles("language/")) {
    std::string target = dir + res.substr(std::string("language/").size());
    if (pf::fs().exists(target)) continue;
    if (auto data = pf::EmbeddedFile(res)) pf::writeFileAtomic(target, std::string(*data));
  }
}

void InstallDefaultLampTable() {
  const std::string dir = AddBackslash(Settings().ExtData);
  if (dir.empty() || pf::fs().exists(dir + "DEFLAMPS.DAT")) return;
  auto dat = pf::EmbeddedFile("lamps/DEFLAMPS.DAT");
  auto idx = pf::EmbeddedFile("lamps/DEFLAMPS.IDX");
  if (!dat || !idx) return;
  // The index first: a data file without its index is rebuilt, never lost.
  if (pf::writeFileAtomic(dir + "DEFLAMPS.IDX", std::string(*idx)))
    pf::writeFileAtomic(dir + "DEFLAMPS.DAT", std::string(*dat));
}

StartupState StartProgram(const StartupSteps& steps) {
  StartupState state;
  pf::setShortDateFormat(WidenShortDateFormat(pf::shortDateFormat()));
  LoadSettings();
  InstallLanguageFiles();

  if (steps.initEngine) {
    // The engine reports its own error number; this box follows it.
    if (steps.initEngine() != 0)
      ShowError("GB no init");
    else
      state.engineReady = true;
  }
  UpgradeRecordLength(Settings().LumDb + ".DAT", 512);
  InstallDefaultLampTable();
  UpgradeRecordLength(AddBackslash(Settings().ExtData) + "DEFLAMPS.DAT", 34);

  if (steps.catalogueHeld && steps.catalogueHeld()) {
    state.catalogueHeld = true;
  } else if (steps.openCatalogue) {
    if (!steps.openCatalogue())
      ShowError("Ldb not init");
    else
      state.catalogueReady = true;
  }
  return state;
}

void ShutdownProgram(const StartupSteps& steps, const StartupState& state) {
  if (state.catalogueReady && steps.closeCatalogue) steps.closeCatalogue();
  if (state.engineReady && steps.releaseEngine) steps.releaseEngine();
}

}  // namespace kandelo
