#include <gtest/gtest.h>

#include "frame/inifile.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "platform/fileio.h"
#include "support/test_support.h"

using namespace kandelo;
using test::TempUserEnvironment;

namespace {
TBigInifile Store(const TempUserEnvironment& env) { return TBigInifile(env.settingsFile(), true); }
void Seed(const TempUserEnvironment& env, const std::string& text) {
  platform::fs().makeDirectory(env.root() + "/config");
  platform::fs().makeDirectory(env.root() + "/config/Kandelo");
  test::writeFile(env.settingsFile(), text);
}
}  // namespace

TEST(Settings, EmptyStoreGivesDefaultsCreatesDirectoriesAndWritesLanguages) {
  TempUserEnvironment env;
  LoadSettings();
  const TProgramSettings& s = Settings();
  const std::string p = env.dataDir() + "/";
  EXPECT_EQ(s.ProgDir, env.dataDir());
  EXPECT_EQ(s.LumDir1, p + "LUMDAT");
  EXPECT_EQ(s.LumDir2, p + "LUMDAT");
  EXPECT_EQ(s.PicDir2, p + "PICTS");
  EXPECT_EQ(s.SktDir2, p + "SKETCH");
  EXPECT_EQ(s.ExtData, p + "PDATA");
  EXPECT_EQ(s.LumDb, p + "KTBLUMD2");
  EXPECT_EQ(s.LangDir, p + "LANGUAGE");
  EXPECT_EQ(s.PolarDir, p + "GRAPHS/POLAR/");
  EXPECT_EQ(s.EDistrDir, p + "GRAPHS/E_DISTR/");
  EXPECT_EQ(s.DbLang, 1);
  EXPECT_EQ(s.DbLangExt, ".GER");
  EXPECT_EQ(s.UiLangExt, ".ENG");
  EXPECT_EQ(s.DestLangExt, ".GER");
  EXPECT_EQ(s.DestLang, -1);
  EXPECT_EQ(s.MsgTxtFile, p + "LANGUAGE/MSGTXT.GER");
  EXPECT_EQ(s.IesExt, "IES");
  // No print footer until the user enters one.
  EXPECT_EQ(s.UserName, "");
  EXPECT_EQ(s.UserAddr, "");
  EXPECT_EQ(s.UserLogo, "");
  EXPECT_TRUE(s.Tm14Version2 && s.ShowLor && s.BoldFont);
  EXPECT_FLOAT_EQ(s.MeasDist, 10.0f);
  for (const char* d : {"LUMDAT", "PICTS", "SKETCH", "PDATA", "TXT", "LANGUAGE", "GRAPHS", "GRAPHS/POLAR",
                        "GRAPHS/CARTESIAN", "GRAPHS/UTF_TM5", "GRAPHS/E_DISTR"})
    EXPECT_TRUE(DirExists(p + d)) << d;
  EXPECT_FALSE(FileExistsS(p + "KTBLUMD2"));  // a base name, not created

  auto store = Store(env);
  EXPECT_EQ(store.ReadString("LANGUAGES", "LANG1", ""), "GERMAN");
  EXPECT_EQ(store.ReadString("LANGUAGES", "LANG3", ""), "FRANCAIS");
  EXPECT_EQ(store.ReadString("LANGUAGES", "FRANCAIS", ""), "FRA");
  // Loading writes back only the language names and extensions.
  EXPECT_FALSE(store.SectionExists("GLOBAL"));
}

TEST(Settings, FirstStartSpeaksTheDesktopsLanguageUntilOneIsChosen) {
  struct Case {
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    std::int32_t dbLang;
    const char* ext;
  };
  const Case cases[] = {
      {"", "", "en_GB.UTF-8", 2, ".ENG"},       {"", "", "fr_FR.UTF-8", 3, ".FRA"},
      {"", "", "de_AT", 1, ".GER"},             {"", "", "C.UTF-8", 2, ".ENG"},
      {"", "", "", 2, ".ENG"},                  {"", "", "es_ES.UTF-8", 2, ".ENG"},
      {"", "fr_CA.UTF-8", "de_DE", 3, ".FRA"},  {"en_US.UTF-8", "fr_FR", "de_DE", 2, ".ENG"},
      {"", "FR_be@euro", "", 3, ".FRA"},
  };
  for (const Case& c : cases) {
    TempUserEnvironment env;
    for (auto [var, value] : {std::pair{"LC_ALL", c.lcAll}, {"LC_MESSAGES", c.lcMessages}, {"LANG", c.lang}})
      *value ? setenv(var, value, 1) : unsetenv(var);
    LoadSettings();
    EXPECT_EQ(Settings().DbLang, c.dbLang) << c.lcAll << "/" << c.lcMessages << "/" << c.lang;
    EXPECT_EQ(Settings().DbLangExt, c.ext) << c.lcAll << "/" << c.lcMessages << "/" << c.lang;
    EXPECT_EQ(Settings().MsgTxtFile, Settings().LangDir + "/MSGTXT" + c.ext);
    // The language the user chose wins over the desktop's.
    SaveDatabaseLanguage(1);
    LoadSettings();
    EXPECT_EQ(Settings().DbLangExt, ".GER");
  }
}

TEST(Settings, DefaultsThatDependOnOtherValues) {
  TempUserEnvironment env;
  const std::string prog = env.root() + "/prog";
  Seed(env,
       "[GLOBAL]\r\nPROGDIR=" + prog + "\r\nPICDIR1=" + env.root() + "/pics\r\nLUMDIR1=" + env.root() +
           "/lum1\r\n[LANGUAGES]\r\nDBLANG=3\r\nLANG3=KLINGON\r\n[MEAS]\r\nMDIST=12,5\r\nsABS=abc\r\n");
  LoadSettings();
  const TProgramSettings& s = Settings();
  EXPECT_EQ(s.PicDir2, env.root() + "/pics");         // PICDIR2 follows PICDIR1
  EXPECT_EQ(s.LumDir2, prog + "/LUMDAT");             // LUMDIR2 does not follow LUMDIR1
  EXPECT_EQ(s.DbLangExt, ".ENG");                     // KLINGON has no extension
  EXPECT_FLOAT_EQ(s.MeasDist, 12.5f);                 // "," accepted
  EXPECT_FLOAT_EQ(s.MeasAbs, 1.0f);                   // not a number: default kept
  EXPECT_TRUE(DirExists(prog + "/LUMDAT"));
}

TEST(Settings, SaveAndLoadRoundTrip) {
  TempUserEnvironment env;
  LoadSettings();
  TProgramSettings& s = Settings();
  s.UserName = "Lichtbau M\xFCller";
  s.UserLogo = env.root() + "/logo.png";
  s.IesType = 2;
  s.Tm14Version2 = false;
  s.UtilMode = 2;
  s.MeasDist = 7.25f;
  s.MeasFDist = 0.125f;
  s.Texts2 = env.root() + "/t2";
  SaveSettings();
  SaveDatabaseLanguage(2);
  SaveBrowserPosition(3, 117);

  s = TProgramSettings{};
  LoadSettings();
  EXPECT_EQ(s.UserName, "Lichtbau M\xFCller");
  EXPECT_EQ(s.UserLogo, env.root() + "/logo.png");
  EXPECT_EQ(s.IesType, 2);
  EXPECT_FALSE(s.Tm14Version2);
  EXPECT_EQ(s.UtilMode, 2);
  EXPECT_FLOAT_EQ(s.MeasDist, 7.25f);
  EXPECT_FLOAT_EQ(s.MeasFDist, 0.125f);
  EXPECT_EQ(s.DbLang, 2);
  EXPECT_EQ(s.DbLangExt, ".ENG");
  std::int32_t key = 0, row = 0;
  LoadBrowserPosition(key, row);
  EXPECT_EQ(key, 3);
  EXPECT_EQ(row, 117);
  EXPECT_EQ(Store(env).ReadString("MEAS", "MDIST", ""), "7.25");

  std::string name, ext = "unchanged";
  EXPECT_TRUE(GetLanguageExtension(3, name, ext));
  EXPECT_EQ(name, "FRANCAIS");
  EXPECT_EQ(ext, ".FRA");
  ext = "unchanged";
  EXPECT_FALSE(GetLanguageExtension(9, name, ext));
  EXPECT_EQ(ext, "unchanged");
}

TEST(Settings, DamagedStoreLoadsWhatIsThere) {
  TempUserEnvironment env;
  // A store cut in the middle of a line, and one with binary garbage.
  for (std::string text : {std::string("[GLOBAL]\r\nEPSDEVICE=PDF\r\n[CONVERSION]\r\nIESTY"),
                           std::string("\0\xFF", 2) + "[\x01]=\r\n[GLOBAL\r\nEPSDEVICE=PDF\r\n"}) {
    Seed(env, text);
    LoadSettings();
    EXPECT_EQ(Settings().EpsDevice, "PDF");
    EXPECT_EQ(Settings().IesType, 0);
    EXPECT_EQ(Settings().DbLangExt, ".GER");
  }
}

TEST(Settings, FailedStoreWriteKeepsThePreviousFile) {
  TempUserEnvironment env;
  LoadSettings();
  const std::string before = test::readFile(env.settingsFile());
  platform::FaultInjectingFileSystem faulty;
  faulty.failWriteAt = 1;
  {
    platform::ScopedFileSystem guard(faulty);
    EXPECT_FALSE(WriteSettingString("USER", "NAME", "lost"));
  }
  EXPECT_EQ(test::readFile(env.settingsFile()), before);
}

// The file is UTF-8; texts in the program are 1252. A file of an older
// version, in 1252, reads as such and is rewritten in UTF-8 once.
TEST(Settings, FileIsUtf8AndOldAnsiFilesAreConvertedOnce) {
  TempUserEnvironment env;
  LoadSettings();
  Settings().UserAddr = "Lichtstra\xDF" "e 1";
  SaveSettings();
  const std::string utf8 = test::readFile(env.settingsFile());
  EXPECT_NE(utf8.find("ADDR=Lichtstra\xC3\x9F" "e 1\r\n"), std::string::npos);

  struct Case {
    const char* what;
    std::string file;
  } cases[] = {
      {"old 1252 file", "[USER]\r\nNAME=M\xFCller & S\xF6hne\r\n"},
      {"UTF-8 file", "[USER]\r\nNAME=M\xC3\xBCller & S\xC3\xB6hne\r\n"},
      {"UTF-8 file with a byte-order mark", "\xEF\xBB\xBF[USER]\r\nNAME=M\xC3\xBCller & S\xC3\xB6hne\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Seed(env, c.file);
    LoadSettings();
    EXPECT_EQ(Settings().UserName, "M\xFCller & S\xF6hne");
    const std::string after = test::readFile(env.settingsFile());
    EXPECT_NE(after.find("NAME=M\xC3\xBCller & S\xC3\xB6hne\r\n"), std::string::npos) << after;
    EXPECT_EQ(after.find('\xFC'), std::string::npos);
  }
  // Only reading an old file converts it too.
  Seed(env, "[USER]\r\nNAME=M\xFCller\r\n");
  EXPECT_EQ(ReadSettingString("USER", "NAME", ""), "M\xFCller");
  EXPECT_EQ(test::readFile(env.settingsFile()), "[USER]\r\nNAME=M\xC3\xBCller\r\n");
}

// A settings file that cannot be replaced is a failed write, not a write
// guard to pass over in silence.
TEST(Settings, AReadOnlyStoreFailsTheWrite) {
  TempUserEnvironment env;
  LoadSettings();
  const std::string before = test::readFile(env.settingsFile());
  ASSERT_TRUE(platform::fs().setAttributes(env.settingsFile(), platform::faReadOnly));
  EXPECT_FALSE(WriteSettingString("USER", "NAME", "lost"));
  EXPECT_EQ(test::readFile(env.settingsFile()), before);
  platform::fs().setAttributes(env.settingsFile(), 0);
}

