#include "frame/startup.h"

#include "frame/inifile.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "platform/fileio.h"
#include "platform/locale_info.h"
#include "platform/resources.h"
#include "storage/isam.h"

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

namespace {

// Adds to an installed language file the sections and keys the shipped one has
// and it lacks; what is there (a translator's own texts) stays as it is.
// Returns how many keys were added; -1 when the file could not be written,
// which leaves it as it was.
int AddMissingKeys(const std::string& target, std::string_view shipped) {
  // A file that cannot be read is left alone: taking it for empty would put
  // the shipped texts over the user's.
  const auto text = pf::readWholeFile(target);
  if (!text) return 0;
  // So is one the user made read-only.
  if (const auto attrs = pf::fs().attributes(target); attrs && (*attrs & pf::faReadOnly)) return 0;
  TBigInifile installed("");
  installed.SetTextStr(*text);
  TBigInifile fresh("");
  fresh.SetTextStr(shipped);
  int added = 0;
  for (int i = 0; i < fresh.Count(); ++i) {
    const tsection& section = fresh.GetSection(i);
    const tsection* have = installed.FindSection(section.Name());
    for (int k = 0; k < section.Count(); ++k) {
      if (have && have->Find(section.GetKey(k)) >= 0) continue;
      installed.WriteString(section.Name(), section.GetKey(k), section.GetValue(k));
      have = installed.FindSection(section.Name());
      ++added;
    }
  }
  if (added == 0) return 0;
  return installed.SaveToFile(target) ? added : -1;
}

}  // namespace

LanguageFileUpdate InstallLanguageFiles() {
  LanguageFileUpdate result;
  const std::string dir = AddBackslash(Settings().LangDir);
  if (dir.empty()) return result;
  for (const std::string& res : pf::EmbeddedFiles("language/")) {
    const std::string name = res.substr(std::string("language/").size());
    const std::string target = dir + name;
    const auto data = pf::EmbeddedFile(res);
    if (!data) continue;
    if (!pf::fs().exists(target)) {
      if (!pf::writeFileAtomic(target, std::string(*data))) result.failed.push_back(name);
      continue;
    }
    // A newer program brings keys an older installation lacks.
    const int added = AddMissingKeys(target, *data);
    if (added > 0) result.updated.push_back(name);
    if (added < 0) result.failed.push_back(name);
  }
  return result;
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
  state.languageFiles = InstallLanguageFiles();

  if (steps.initEngine) {
    if (steps.initEngine() != 0)
      state.faults.push_back("GB no init");
    else
      state.engineReady = true;
  }
  isam::UpgradeRecordLength(Settings().LumDb + ".DAT", 512);
  InstallDefaultLampTable();
  isam::UpgradeRecordLength(AddBackslash(Settings().ExtData) + "DEFLAMPS.DAT", 34);

  if (steps.catalogueHeld && steps.catalogueHeld()) {
    state.catalogueHeld = true;
  } else if (steps.openCatalogue) {
    std::string fault;
    if (steps.openCatalogue(fault)) {
      state.catalogueReady = true;
    } else {
      if (!fault.empty()) state.faults.push_back(std::move(fault));
      state.faults.push_back("Ldb not init");
    }
  }
  return state;
}

void ShutdownProgram(const StartupSteps& steps, const StartupState& state) {
  if (state.catalogueReady && steps.closeCatalogue) steps.closeCatalogue();
  if (state.engineReady && steps.releaseEngine) steps.releaseEngine();
}

}  // namespace kandelo
