// The program settings record and its store (sections and values of the
// per-user settings store of the platform layer).
#pragma once

#include <cstdint>
#include <string>

namespace kandelo {

// Every field is read by LoadSettings from the per-user settings store
// (section\VALUE in brackets) and written back by SaveSettings, unless said
// otherwise. Paths are in the core's 1252 encoding, with or without a trailing
// separator as the user entered them.
struct TProgramSettings {
  std::string ProgDir;  // program data directory, home of the failure list XX.DAT (GLOBAL\PROGDIR);
                        // the per-user data directory when blank
  std::string ExtData;  // external data: the default lamp table DEFLAMPS.DAT, the path list
                        // LUMPATHS.DAT and the mask file EXTENS.DAT (GLOBAL\EXTDATA)
  std::string Texts;    // text directory (GLOBAL\TEXTS)
  std::string Texts2;   // second text directory: never read at start-up, only written (GLOBAL\TEXTS2)
  std::string LumDir1;  // first luminaire directory, always kept in the path list (GLOBAL\LUMDIR1)
  std::string LumDir2;  // luminaire root: where the file dialogs start and the directory scan runs;
                        // files added from elsewhere are copied below it (GLOBAL\LUMDIR2)
  std::string PicDir1;  // picture directories (GLOBAL\PICDIR1, PICDIR2; the second defaults to the first)
  std::string PicDir2;
  std::string SktDir1;  // sketch directories (GLOBAL\SKTDIR1, SKTDIR2; the second defaults to the first)
  std::string SktDir2;
  std::string LangDir;  // language files: MSGTXT, ORVMSG, ORVTXT + language extension (GLOBAL\LANGDIR)
  std::int32_t DbLang = 1;  // number 1..3 of the catalogue and text language: LANGUAGES\LANG<n>
                            // (LANGUAGES\DBLANG; the desktop's language until the user chooses)
  std::string DbLangExt;    // its file extension with the dot, ".GER"
  std::string UiLangExt;    // extension of the language named by LANGUAGES\LANG2 (".ENG"): the fallback
  std::string LumDb;        // catalogue path without extension; the engine adds ".DAT" and the index names
                            // (GLOBAL\LUMDB)
  std::int32_t DestLang = -1;  // target language of a text translation chosen in the language dialog;
                               // -1 (none) after every load, never stored
  std::string DestLangExt;     // its extension; a copy of DbLangExt after loading
  std::string MsgTxtFile;      // dialog-button texts: LangDir + "MSGTXT" + DbLangExt (derived)
  std::string OrvMsgFile;      // message texts: LangDir + "ORVMSG" + extension (set by the shell at start)
  std::string OrvTxtFile;      // window texts: LangDir + "ORVTXT" + extension (set by the shell at start)
  std::string GrafDir;         // root of the graphics export (GLOBAL\GRAFDIR)
  // Export subdirectories of GrafDir, one per kind of drawing, each with its
  // trailing separator, created at load (derived, never stored).
  std::string PolarDir, CartesianDir, MainInfoDir, IsolineDir, SoellnerDir, LumTableDir,
      GlareUgrDir, UtfDinDir, UtfTm5Dir, UtfNbDir, ConeDiagDir, LNumTabDir, EDistrDir;
  std::string EpsDevice;  // printer for exported graphics and print jobs; empty: none chosen (GLOBAL\EPSDEVICE)
  std::string UserName;   // company name in the datasheet header and the PDF's author (USER\NAME)
  std::string UserAddr;   // company address under it (USER\ADDR)
  std::string UserLogo;   // company logo image heading every datasheet page; empty: none (USER\LOGO)
  std::string IesExt;     // extension of written IES files, 3 characters (CONVERSION\IESEXT)
  std::int32_t IesType = 0;  // edition of written IES files: 0 LM-63-1986, 1 -1991, 2 -1995 (CONVERSION\IESTYPE)
  bool Tm14Version2 = true;  // TM14 files are written in version 2 (CONVERSION\TM14_2)
  bool ShowLor = true;       // the light output ratio is printed in intensity diagrams (GRAPHICS\LOR)
  bool BoldFont = true;      // diagram headings in bold (GRAPHICS\FBOLD)
  std::uint8_t UtilMode = 0;  // mounting for utilization factors: 0 automatic, 1 ceiling, 2 pendant (MISC\UTIMMODE)
  std::int32_t GonioPort = 1;     // serial interface number n (COM n) of the goniophotometer (K350\INTF)
  std::int32_t LuxmeterPort = 2;  // serial interface number of the luxmeter; the settings dialog keeps it
                                  // apart from GonioPort (RAD804\INTF)
  float MeasDist = 10.0f;  // luminaire to photometer head, m (MEAS\MDIST)
  float MeasAbs = 1.0f;    // absolute sensitivity of the receiver for flux measurements, nA/lx (MEAS\sABS)
  float MeasFDist = 1.0f;  // receiver to centre of rotation, m (MEAS\fDist)
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
