// Start-up puts the shipped language files into the language directory, so
// that a fresh installation shows localized messages from the first box on.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "frame/msgbox.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "platform/resources.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

namespace pf = kandelo::platform;

std::string LangFile(const std::string& name) { return AddBackslash(Settings().LangDir) + name; }

TEST(StartupLanguageFiles, FreshStartInstallsEveryShippedFile) {
  test::TempUserEnvironment env;
  StartProgram(StartupSteps{});
  const auto shipped = pf::EmbeddedFiles("language/");
  ASSERT_FALSE(shipped.empty());
  for (const auto& res : shipped) {
    const std::string name = res.substr(std::string("language/").size());
    EXPECT_EQ(test::readFile(LangFile(name)), std::string(*pf::EmbeddedFile(res))) << name;
  }
  for (const char* name : {"MSGTXT.GER", "MSGTXT.ENG", "MSGTXT.FRA", "ORVMSG.GER", "ORVMSG.ENG", "ORVMSG.FRA"})
    EXPECT_TRUE(FileExistsS(LangFile(name))) << name;
  // The default database language is German; its message file is in place.
  EXPECT_TRUE(FileExistsS(Settings().MsgTxtFile)) << Settings().MsgTxtFile;
}

TEST(StartupLanguageFiles, KeepsEditedFilesAndRestoresDeletedOnes) {
  test::TempUserEnvironment env;
  LoadSettings();
  InstallLanguageFiles();
  // A translator's own text must survive the next start.
  const std::string edited = "[OUTTXT]\r\nLVK_HD=Light distribution (edited)\r\n";
  test::writeFile(LangFile("ORVMSG.ENG"), edited);
  std::remove(LangFile("MSGTXT.FRA").c_str());

  InstallLanguageFiles();
  EXPECT_EQ(test::readFile(LangFile("ORVMSG.ENG")), edited);
  EXPECT_EQ(test::readFile(LangFile("MSGTXT.FRA")), std::string(*pf::EmbeddedFile("language/MSGTXT.FRA")));
}

TEST(StartupLanguageFiles, InstalledFilesLocalizeTheMessageBoxes) {
  test::TempUserEnvironment env;
  StartProgram(StartupSteps{});
  test::RecordingUi rec;
  ScopedUiServices scoped(rec);

  AskYesNoCancelAllL("?", LangFile("MSGTXT.ENG"));
  ShowErrorL("!", LangFile("MSGTXT.FRA"));
  ASSERT_EQ(rec.shown.size(), 2u);
  EXPECT_EQ(rec.shown[0].title, "Confirmation");
  std::vector<std::string> captions;
  for (const auto& b : rec.shown[0].buttons) captions.push_back(b.caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"&Yes", "&No", "&Cancel", "&All"}));
  EXPECT_EQ(rec.shown[1].title, "Erreur");
  ASSERT_EQ(rec.shown[1].buttons.size(), 1u);
  EXPECT_EQ(rec.shown[1].buttons[0].caption, "OK");
}

}  // namespace
}  // namespace kandelo
