// The program settings record and its store (sections and values of the
// per-user settings store of the platform layer).
#pragma once

#include <cstdint>
#include <string>

namespace kandelo {

struct TProgramSettings {
  std::string ProgDir;
  std::string ExtData;
  std::string Texts;
  std::string Texts2;
  std::string LumDir1;
  std::string LumDir2;
  std::string PicDir1;
  std::string PicDir2;
  std::string SktDir1;
  std::string SktDir2;
  std::string LangDir;
  std::int32_t DbLang = 1;
  std::string DbLangExt;   // ".GER"
  std::string UiLangExt;   // ".ENG"
  std::string LumDb;
  std::int32_t DestLang = -1;
  std::string DestLangExt;
  std::string MsgTxtFile;
  std::string OrvMsgFile;
  std::string OrvTxtFile;
  std::string GrafDir;
  std::string PolarDir, CartesianDir, MainInfoDir, IsolineDir, SoellnerDir, LumTableDir,
      GlareUgrDir, UtfDinDir, UtfTm5Dir, UtfNbDir, ConeDiagDir, LNumTabDir, EDistrDir;
  std::string EpsDevice;
  std::string UserName;
  std::string UserAddr;
  std::string UserLogo;  // path of the company's logo image on the datasheet; empty: none
  std::string IesExt;      // 3 characters
  std::int32_t IesType = 0;
  bool Tm14Version2 = true;
  bool ShowLor = true;
  bool BoldFont = true;
  std::uint8_t UtilMode = 0;
  std::int32_t GonioPort = 1;
  std::int32_t LuxmeterPort = 2;
  float MeasDist = 10.0f;
  float MeasAbs = 1.0f;
  float MeasFDist = 1.0f;
};

// The one global settings record.
TProgramSettings& Settings();

void LoadSettings();
void SaveSettings();
void SaveDatabaseLanguage(std::int32_t n);
// Reads LANGUAGES\LANG<n> as name; when not empty, ext = "." + LANGUAGES\<name>
// cut to 4 characters. Returns whether the name was non-empty.
bool GetLanguageExtension(std::int32_t n, std::string& name, std::string& ext);
void SaveBrowserPosition(std::int32_t keyNo, std::int32_t row);
void LoadBrowserPosition(std::int32_t& keyNo, std::int32_t& row);

// Why a section name, value name or value text cannot be kept in the settings
// file, whose lines would break apart or be read back as another section or
// value (a line break in a text, a bracket in a section name, "=" in a value
// name). A text of the [SETUP] section of the message file: its key and the
// English words. Empty key when the texts can be stored.
struct TSettingTextFault {
  const char* key = "";
  const char* english = "";
  explicit operator bool() const { return *key != 0; }
};
TSettingTextFault SettingTextFault(const std::string& section, const std::string& value, const std::string& text);

// Reads and writes one value of the settings store directly. Writing refuses
// (false) what SettingTextFault finds.
std::string ReadSettingString(const std::string& section, const std::string& value,
                              const std::string& def);
bool WriteSettingString(const std::string& section, const std::string& value,
                        const std::string& text);

// Derived language-file paths for the current DbLangExt.
std::string LanguageFilePath(const std::string& baseName);  // LangDir + base + DbLangExt

}  // namespace kandelo

#include <functional>
#include <variant>

namespace kandelo {
// Visits every field of the record under its own name, in declared order.
using SettingsValue = std::variant<std::string, long long, bool, double>;
void ForEachSettingsField(const TProgramSettings& s,
                          const std::function<void(const char* name, const SettingsValue& value)>& visit);
}  // namespace kandelo
