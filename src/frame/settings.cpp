#include "frame/settings.h"

#include "frame/inifile.h"
#include "frame/strutil.h"
#include "platform/fileio.h"
#include "platform/locale_info.h"
#include "platform/settings_store.h"

namespace kandelo {

namespace pf = kandelo::platform;

namespace {

// The per-user settings store, opened and closed around each operation like
// the registry key it stands for. Changes are written atomically on close.
// The file is UTF-8 (texts in memory are 1252, as everywhere in the core); a
// file of an older version, in 1252, is read as such and rewritten in UTF-8
// the first time it is opened.
class SettingsKey {
 public:
  SettingsKey() : path_(pf::settingsFilePath()), file_(path_, true), dirty_(file_.WasAnsiFile()) {}
  ~SettingsKey() { Close(); }
  SettingsKey(const SettingsKey&) = delete;
  SettingsKey& operator=(const SettingsKey&) = delete;

  std::string ReadString(const std::string& section, const std::string& value, const std::string& def) const {
    return file_.ReadString(section, value, def);
  }
  long long ReadInteger(const std::string& section, const std::string& value, long long def) const {
    return file_.ReadInteger(section, value, def);
  }
  bool ReadBool(const std::string& section, const std::string& value, bool def) const {
    return ReadInteger(section, value, def ? 1 : 0) != 0;
  }
  void WriteString(const std::string& section, const std::string& value, const std::string& text) {
    if (value.empty()) return;
    file_.WriteString(section, value, text);
    dirty_ = true;
  }
  void WriteInteger(const std::string& section, const std::string& value, long long n) {
    WriteString(section, value, std::to_string(n));
  }
  void WriteBool(const std::string& section, const std::string& value, bool b) {
    WriteString(section, value, b ? "1" : "0");
  }
  bool Close() {
    if (!dirty_) return true;
    dirty_ = false;
    pf::makePath(ParentPath(path_));
    // A read-only settings file is not a write guard to honour silently: the
    // change the user asked for did not happen, and the caller must hear so.
    if (auto attrs = pf::fs().attributes(path_); attrs && (*attrs & pf::faReadOnly)) return false;
    return file_.UpdateFile();
  }

 private:
  std::string path_;
  TBigInifile file_;
  bool dirty_ = false;
};

void CreateDir(const std::string& dir) {
  std::string d = TrimBlanks(dir);
  while (d.size() > 1 && d.back() == kPathSep) d.pop_back();
  if (!d.empty() && !DirExists(d)) pf::fs().makeDirectory(d);  // one level; failures are ignored
}

// Reads a language value; a blank one is written back with its default.
std::string ReadLanguage(SettingsKey& key, const std::string& value, const std::string& def, std::size_t cut) {
  std::string v = TrimBlanks(Cut(key.ReadString("LANGUAGES", value, ""), cut));
  if (v.empty()) {
    v = def;
    key.WriteString("LANGUAGES", value, v);
  }
  return v;
}

// Until the user chooses a language, the program speaks the desktop's:
// German or French sessions get theirs, every other one English.
std::int32_t DesktopLanguageNumber(SettingsKey& key) {
  const std::string code = pf::desktopLanguage();
  const std::string ext = code == "de" ? "GER" : code == "fr" ? "FRA" : "ENG";
  for (std::int32_t n = 1; n < 100; ++n) {
    const std::string name = TrimBlanks(Cut(key.ReadString("LANGUAGES", "LANG" + std::to_string(n), ""), 20));
    if (name.empty()) break;
    if (TrimBlanks(Cut(key.ReadString("LANGUAGES", name, ""), 3)) == ext) return n;
  }
  return 1;
}

float ReadMeasure(SettingsKey& key, const std::string& section, const std::string& value, float def) {
  std::string text = TrimBlanks(Cut(key.ReadString(section, value, ""), 30));
  double d = 0;
  // A text that is not a number keeps the default.
  return ParseDouble(text, d) ? static_cast<float>(d) : def;
}

}  // namespace

TProgramSettings& Settings() {
  static TProgramSettings settings;
  return settings;
}

void LoadSettings() {
  TProgramSettings& s = Settings();
  SettingsKey key;

  s.ProgDir = Cut(key.ReadString("GLOBAL", "PROGDIR", ""));
  if (TrimBlanks(s.ProgDir).empty()) {
    // No configured program directory: the per-user data directory, so that a
    // program started from a desktop menu does not fill the current directory.
    s.ProgDir = pf::userDataDirectory();
  }
  pf::makePath(TrimBlanks(s.ProgDir));
  const std::string p = AddBackslash(s.ProgDir);

  auto readDir = [&](const char* value, const std::string& def) {
    std::string d = Cut(key.ReadString("GLOBAL", value, def));
    CreateDir(d);
    return d;
  };
  s.LumDir1 = readDir("LUMDIR1", p + "LUMDAT");
  s.LumDir2 = readDir("LUMDIR2", p + "LUMDAT");
  s.PicDir1 = readDir("PICDIR1", p + "PICTS");
  s.PicDir2 = readDir("PICDIR2", s.PicDir1);
  s.SktDir1 = readDir("SKTDIR1", p + "SKETCH");
  s.SktDir2 = readDir("SKTDIR2", s.SktDir1);
  s.ExtData = readDir("EXTDATA", p + "PDATA");
  s.Texts = readDir("TEXTS", p + "TXT");
  s.LumDb = Cut(key.ReadString("GLOBAL", "LUMDB", p + "KTBLUMD2"));
  s.LangDir = readDir("LANGDIR", p + "LANGUAGE");
  s.GrafDir = readDir("GRAFDIR", p + "GRAPHS");
  s.EpsDevice = Cut(key.ReadString("GLOBAL", "EPSDEVICE", ""));

  ReadLanguage(key, "LANG1", "GERMAN", 20);
  ReadLanguage(key, "LANG2", "ENGLISH", 20);
  ReadLanguage(key, "LANG3", "FRANCAIS", 20);
  ReadLanguage(key, "GERMAN", "GER", 20);
  ReadLanguage(key, "ENGLISH", "ENG", 20);
  ReadLanguage(key, "FRANCAIS", "FRA", 20);
  std::string uiName = ReadLanguage(key, "LANG2", "ENGLISH", 20);
  std::string uiExt = ReadLanguage(key, uiName, "ENG", 3);
  s.UiLangExt = Cut("." + uiExt, 4);

  s.DbLang = static_cast<std::int32_t>(key.ReadInteger("LANGUAGES", "DBLANG", DesktopLanguageNumber(key)));
  std::string dbName = TrimBlanks(Cut(key.ReadString("LANGUAGES", "LANG" + std::to_string(s.DbLang), "GERMAN"), 20));
  std::string dbExt = TrimBlanks(Cut(key.ReadString("LANGUAGES", dbName, ""), 3));
  s.DbLangExt = dbExt.empty() || dbName.empty() ? s.UiLangExt : Cut("." + dbExt, 4);
  s.DestLangExt = s.DbLangExt;

  // The print footer; a new installation has none until the user enters it.
  s.UserName = Cut(key.ReadString("USER", "NAME", ""));
  s.UserAddr = Cut(key.ReadString("USER", "ADDR", ""));
  s.UserLogo = key.ReadString("USER", "LOGO", "");

  s.IesExt = Cut(key.ReadString("CONVERSION", "IESEXT", "IES"), 3);
  s.IesType = static_cast<std::int32_t>(key.ReadInteger("CONVERSION", "IESTYPE", 0));
  s.Tm14Version2 = key.ReadBool("CONVERSION", "TM14_2", true);
  s.ShowLor = key.ReadBool("GRAPHICS", "LOR", true);
  s.BoldFont = key.ReadBool("GRAPHICS", "FBOLD", true);
  s.UtilMode = static_cast<std::uint8_t>(key.ReadInteger("MISC", "UTIMMODE", 0));
  s.GonioPort = static_cast<std::int32_t>(key.ReadInteger("K350", "INTF", 1));
  s.LuxmeterPort = static_cast<std::int32_t>(key.ReadInteger("RAD804", "INTF", 2));
  s.MeasDist = ReadMeasure(key, "MEAS", "MDIST", 10.0f);
  s.MeasAbs = ReadMeasure(key, "MEAS", "sABS", 1.0f);
  s.MeasFDist = ReadMeasure(key, "MEAS", "fDist", 1.0f);
  key.Close();

  const std::string g = AddBackslash(s.GrafDir);
  s.PolarDir = AddBackslash(g + "POLAR");
  s.CartesianDir = AddBackslash(g + "CARTESIAN");
  s.MainInfoDir = AddBackslash(g + "MAININFO");
  s.IsolineDir = AddBackslash(g + "ISOLINE");
  s.SoellnerDir = AddBackslash(g + "SOELLNER");
  s.LumTableDir = AddBackslash(g + "LUMTABLE");
  s.GlareUgrDir = AddBackslash(g + "GLAREUGR");
  s.UtfDinDir = AddBackslash(g + "UTF_DIN");
  s.UtfTm5Dir = AddBackslash(g + "UTF_TM5");
  s.UtfNbDir = AddBackslash(g + "UTF_NB");
  s.ConeDiagDir = AddBackslash(g + "CONEDIAG");
  s.LNumTabDir = AddBackslash(g + "LNUMTAB");
  s.EDistrDir = AddBackslash(g + "E_DISTR");
  for (const std::string* d : {&s.PolarDir, &s.CartesianDir, &s.MainInfoDir, &s.IsolineDir, &s.SoellnerDir,
                               &s.LumTableDir, &s.GlareUgrDir, &s.UtfDinDir, &s.UtfTm5Dir, &s.UtfNbDir,
                               &s.ConeDiagDir, &s.LNumTabDir, &s.EDistrDir})
    CreateDir(*d);

  s.MsgTxtFile = Cut(AddBackslash(s.LangDir) + "MSGTXT" + s.DbLangExt);
  s.DestLang = -1;
}

void SaveSettings() {
  const TProgramSettings& s = Settings();
  SettingsKey key;
  key.WriteString("GLOBAL", "LUMDIR1", s.LumDir1);
  key.WriteString("GLOBAL", "PICDIR1", s.PicDir1);
  key.WriteString("GLOBAL", "SKTDIR1", s.SktDir1);
  key.WriteString("GLOBAL", "LUMDIR2", s.LumDir2);
  key.WriteString("GLOBAL", "PICDIR2", s.PicDir2);
  key.WriteString("GLOBAL", "SKTDIR2", s.SktDir2);
  key.WriteString("GLOBAL", "PROGDIR", s.ProgDir);
  key.WriteString("GLOBAL", "EXTDATA", s.ExtData);
  key.WriteString("GLOBAL", "TEXTS", s.Texts);
  key.WriteString("GLOBAL", "TEXTS2", s.Texts2);
  key.WriteString("GLOBAL", "LUMDB", s.LumDb);
  key.WriteString("GLOBAL", "LANGDIR", s.LangDir);
  key.WriteString("USER", "NAME", s.UserName);
  key.WriteString("USER", "ADDR", s.UserAddr);
  key.WriteString("USER", "LOGO", s.UserLogo);
  key.WriteString("GLOBAL", "GRAFDIR", s.GrafDir);
  key.WriteString("GLOBAL", "EPSDEVICE", s.EpsDevice);
  key.WriteString("CONVERSION", "IESEXT", s.IesExt);
  key.WriteInteger("CONVERSION", "IESTYPE", s.IesType);
  key.WriteBool("CONVERSION", "TM14_2", s.Tm14Version2);
  key.WriteBool("GRAPHICS", "LOR", s.ShowLor);
  key.WriteBool("GRAPHICS", "FBOLD", s.BoldFont);
  key.WriteInteger("MISC", "UTIMMODE", s.UtilMode);
  key.WriteInteger("K350", "INTF", s.GonioPort);
  key.WriteInteger("RAD804", "INTF", s.LuxmeterPort);
  // Reals are stored with "." whatever the locale; reading accepts "," too.
  key.WriteString("MEAS", "MDIST", FormatFixed(s.MeasDist, 2));
  key.WriteString("MEAS", "sABS", FormatFixed(s.MeasAbs, 3));
  key.WriteString("MEAS", "fDist", FormatFixed(s.MeasFDist, 3));
}

void SaveDatabaseLanguage(std::int32_t n) {
  SettingsKey key;
  key.WriteInteger("LANGUAGES", "DBLANG", n);
}

bool GetLanguageExtension(std::int32_t n, std::string& name, std::string& ext) {
  SettingsKey key;
  name = TrimBlanks(Cut(key.ReadString("LANGUAGES", "LANG" + std::to_string(n), ""), 20));
  if (name.empty()) return false;
  ext = Cut("." + key.ReadString("LANGUAGES", name, ""), 4);
  return true;
}

void SaveBrowserPosition(std::int32_t keyNo, std::int32_t row) {
  SettingsKey key;
  key.WriteInteger("LDBSETTINGS", "ACTKEYNO", keyNo);
  key.WriteInteger("LDBSETTINGS", "ACTENTRY", row);
}

void LoadBrowserPosition(std::int32_t& keyNo, std::int32_t& row) {
  SettingsKey key;
  keyNo = static_cast<std::int32_t>(key.ReadInteger("LDBSETTINGS", "ACTKEYNO", 1));
  row = static_cast<std::int32_t>(key.ReadInteger("LDBSETTINGS", "ACTENTRY", 1));
}

std::string ReadSettingString(const std::string& section, const std::string& value, const std::string& def) {
  SettingsKey key;
  return key.ReadString(section, value, def);
}

TSettingTextFault SettingTextFault(const std::string& section, const std::string& value, const std::string& text) {
  const auto breaks = [](const std::string& s) { return s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos; };
  if (breaks(section) || breaks(value) || breaks(text))
    return {"ST_LINEBREAK", "line breaks and NUL characters cannot be stored in the settings"};
  if (section.empty() || section.find_first_of("[]") != std::string::npos)
    return {"ST_SECTION", "a section name must not be empty or contain [ or ]"};
  if (value.empty() || value.find('=') != std::string::npos || value.front() == '[')
    return {"ST_VALUENAME", "a value name must not be empty, contain = or begin with ["};
  return {};
}

bool WriteSettingString(const std::string& section, const std::string& value, const std::string& text) {
  if (SettingTextFault(section, value, text)) return false;
  SettingsKey key;
  key.WriteString(section, value, text);
  return key.Close();
}

std::string LanguageFilePath(const std::string& baseName) {
  return Cut(AddBackslash(Settings().LangDir) + baseName + Settings().DbLangExt);
}

void ForEachSettingsField(const TProgramSettings& s,
                          const std::function<void(const char*, const SettingsValue&)>& v) {
  auto str = [&](const char* n, const std::string& x) { v(n, SettingsValue(x)); };
  auto num = [&](const char* n, long long x) { v(n, SettingsValue(x)); };
  auto flag = [&](const char* n, bool x) { v(n, SettingsValue(x)); };
  auto real = [&](const char* n, double x) { v(n, SettingsValue(x)); };
  str("ProgDir", s.ProgDir);
  str("ExtData", s.ExtData);
  str("Texts", s.Texts);
  str("Texts2", s.Texts2);
  str("LumDir1", s.LumDir1);
  str("LumDir2", s.LumDir2);
  str("PicDir1", s.PicDir1);
  str("PicDir2", s.PicDir2);
  str("SktDir1", s.SktDir1);
  str("SktDir2", s.SktDir2);
  str("LangDir", s.LangDir);
  num("DbLang", s.DbLang);
  str("DbLangExt", s.DbLangExt);
  str("UiLangExt", s.UiLangExt);
  str("LumDb", s.LumDb);
  num("DestLang", s.DestLang);
  str("DestLangExt", s.DestLangExt);
  str("MsgTxtFile", s.MsgTxtFile);
  str("OrvMsgFile", s.OrvMsgFile);
  str("OrvTxtFile", s.OrvTxtFile);
  str("GrafDir", s.GrafDir);
  str("PolarDir", s.PolarDir);
  str("CartesianDir", s.CartesianDir);
  str("MainInfoDir", s.MainInfoDir);
  str("IsolineDir", s.IsolineDir);
  str("SoellnerDir", s.SoellnerDir);
  str("LumTableDir", s.LumTableDir);
  str("GlareUgrDir", s.GlareUgrDir);
  str("UtfDinDir", s.UtfDinDir);
  str("UtfTm5Dir", s.UtfTm5Dir);
  str("UtfNbDir", s.UtfNbDir);
  str("ConeDiagDir", s.ConeDiagDir);
  str("LNumTabDir", s.LNumTabDir);
  str("EDistrDir", s.EDistrDir);
  str("EpsDevice", s.EpsDevice);
  str("UserName", s.UserName);
  str("UserAddr", s.UserAddr);
  str("UserLogo", s.UserLogo);
  str("IesExt", s.IesExt);
  num("IesType", s.IesType);
  flag("Tm14Version2", s.Tm14Version2);
  flag("ShowLor", s.ShowLor);
  flag("BoldFont", s.BoldFont);
  num("UtilMode", s.UtilMode);
  num("GonioPort", s.GonioPort);
  num("LuxmeterPort", s.LuxmeterPort);
  real("MeasDist", s.MeasDist);
  real("MeasAbs", s.MeasAbs);
  real("MeasFDist", s.MeasFDist);
}

}  // namespace kandelo
