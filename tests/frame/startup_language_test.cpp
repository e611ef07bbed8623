// Start-up puts the shipped language files into the language directory, so
// that a fresh installation shows localized messages from the first box on.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "frame/inifile.h"
#include "shell/msgbox.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "platform/fileio.h"
#include "platform/resources.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

namespace pf = kandelo::platform;

std::string LangFile(const std::string& name) { return AddBackslash(Settings().LangDir) + name; }

// One file that cannot be opened for reading, or that is read-only, whoever
// runs the test (root may read and write anything).
class UnreadableOrReadOnly : public pf::FaultInjectingFileSystem {
 public:
  explicit UnreadableOrReadOnly(std::string path) : path_(std::move(path)) {}
  bool unreadable = true;
  std::unique_ptr<pf::FileHandle> open(const std::string& p, pf::OpenMode mode) override {
    if (unreadable && p == path_) return nullptr;
    return FaultInjectingFileSystem::open(p, mode);
  }
  std::optional<std::uint32_t> attributes(const std::string& p) override {
    auto a = FaultInjectingFileSystem::attributes(p);
    if (a && !unreadable && p == path_) *a |= pf::faReadOnly;
    return a;
  }

 private:
  std::string path_;
};

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

TEST(StartupLanguageFiles, KeepsEditedTextsAddsNewKeysOnceAndRestoresDeletedFiles) {
  test::TempUserEnvironment env;
  LoadSettings();
  EXPECT_TRUE(InstallLanguageFiles().updated.empty());  // a fresh installation has everything
  // A file of an older version, with a translator's own text: the next start
  // must keep that text and add every key the shipped file has besides.
  const std::string old =
      "[OUTTXT]\r\nLVK_HD=Light distribution (edited)\r\n[OLDSECTION]\r\nGONE=kept as well\r\n";
  test::writeFile(LangFile("ORVMSG.ENG"), old);
  std::remove(LangFile("MSGTXT.FRA").c_str());

  const LanguageFileUpdate update = InstallLanguageFiles();
  EXPECT_EQ(update.updated, std::vector<std::string>{"ORVMSG.ENG"});
  EXPECT_TRUE(update.failed.empty());
  TBigInifile merged(LangFile("ORVMSG.ENG"));
  TBigInifile shipped("");
  shipped.SetTextStr(*pf::EmbeddedFile("language/ORVMSG.ENG"));
  EXPECT_EQ(merged.ReadString("OUTTXT", "LVK_HD", ""), "Light distribution (edited)");
  EXPECT_EQ(merged.ReadString("OLDSECTION", "GONE", ""), "kept as well");
  for (int i = 0; i < shipped.Count(); ++i) {
    const tsection& section = shipped.GetSection(i);
    for (int k = 0; k < section.Count(); ++k) {
      if (section.Name() == "OUTTXT" && section.GetKey(k) == "LVK_HD") continue;
      EXPECT_EQ(merged.ReadString(section.Name(), section.GetKey(k), "<missing>"), section.GetValue(k))
          << section.Name() << "/" << section.GetKey(k);
    }
  }
  EXPECT_EQ(test::readFile(LangFile("MSGTXT.FRA")), std::string(*pf::EmbeddedFile("language/MSGTXT.FRA")));
  // Said once: the next start finds nothing to add.
  const std::string after = test::readFile(LangFile("ORVMSG.ENG"));
  EXPECT_TRUE(InstallLanguageFiles().updated.empty());
  EXPECT_EQ(test::readFile(LangFile("ORVMSG.ENG")), after);
}

TEST(StartupLanguageFiles, AFailedUpdateLeavesTheInstalledFileAsItWas) {
  test::TempUserEnvironment env;
  LoadSettings();
  InstallLanguageFiles();
  const std::string old = "[OUTTXT]\r\nLVK_HD=Light distribution (edited)\r\n";
  test::writeFile(LangFile("ORVMSG.GER"), old);
  for (bool shortWrite : {false, true}) {
    pf::FaultInjectingFileSystem faulty;
    (shortWrite ? faulty.shortWriteAt : faulty.failWriteAt) = 1;
    LanguageFileUpdate update;
    {
      pf::ScopedFileSystem scoped(faulty);
      update = InstallLanguageFiles();
    }
    EXPECT_EQ(update.failed, std::vector<std::string>{"ORVMSG.GER"}) << shortWrite;
    EXPECT_TRUE(update.updated.empty()) << shortWrite;
    EXPECT_EQ(test::readFile(LangFile("ORVMSG.GER")), old) << shortWrite;
  }
  // A file that cannot be read, or that the user made read-only, is left alone.
  UnreadableOrReadOnly guarded(LangFile("ORVMSG.GER"));
  for (bool unreadable : {true, false}) {
    guarded.unreadable = unreadable;
    pf::ScopedFileSystem scoped(guarded);
    const LanguageFileUpdate update = InstallLanguageFiles();
    EXPECT_TRUE(update.updated.empty() && update.failed.empty()) << unreadable;
  }
  EXPECT_EQ(test::readFile(LangFile("ORVMSG.GER")), old);
  EXPECT_EQ(StartProgram(StartupSteps{}).languageFiles.updated, std::vector<std::string>{"ORVMSG.GER"});
  EXPECT_EQ(TBigInifile(LangFile("ORVMSG.GER")).ReadString("OUTTXT", "LVK_HD", ""), "Light distribution (edited)");
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
