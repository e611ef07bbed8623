#include <gtest/gtest.h>

#include "shell/msgbox.h"
#include "frame/msgmanager.h"
#include "frame/settings.h"
#include "support/test_support.h"

using namespace kandelo;

namespace {
std::vector<std::string> Captions(const MessageBox& b) {
  std::vector<std::string> out;
  for (auto& x : b.buttons) out.push_back(x.caption);
  return out;
}
}  // namespace

TEST(MessageBoxes, PlainBoxesKeepBuiltInTexts) {
  test::RecordingUi ui;
  ScopedUiServices guard(ui);
  EXPECT_EQ(ShowError("Ldb not init"), mrOk);
  ui.answers = {mrNo};
  EXPECT_EQ(AskYesNoCancel("Weiter?"), mrNo);
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].type, MsgType::Error);
  EXPECT_EQ(ui.shown[0].text, "Ldb not init");
  EXPECT_EQ(Captions(ui.shown[0]), std::vector<std::string>{"OK"});
  EXPECT_EQ(Captions(ui.shown[1]), (std::vector<std::string>{"&Ja", "&Nein", "Abbrechen"}));
  EXPECT_FALSE(ui.shown[1].scaled);
}

TEST(MessageBoxes, PlainBoxesSpeakTheSessionLanguage) {
  test::TempDir dir;
  test::writeFile(dir.file("MSGTXT.ENG"), "[GeneralDialogs]\r\nError=Error\r\n[GeneralButtons]\r\nOKBtn=Okay\r\n");
  const std::string saved = Settings().MsgTxtFile;
  Settings().MsgTxtFile = dir.file("MSGTXT.ENG");
  test::RecordingUi ui;
  ScopedUiServices guard(ui);
  ShowError("DB creation error : 9908");
  Settings().MsgTxtFile = saved;
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].title, "Error");
  EXPECT_EQ(ui.shown[0].text, "DB creation error : 9908");
  EXPECT_EQ(Captions(ui.shown[0]), std::vector<std::string>{"Okay"});
  EXPECT_FALSE(ui.shown[0].scaled);
}

TEST(MessageBoxes, LocalizedBoxesTakeMsgTxtAndFallBackPerButton) {
  test::TempDir dir;
  const std::string file = dir.file("MSGTXT.ENG");
  // No "AllBtn": that button keeps its built-in caption.
  test::writeFile(file,
                  "[GeneralDialogs]\r\nConfirmation=Confirm\r\nError=Error\r\n"
                  "[generalbuttons]\r\nYesBtn=&Yes\r\nNoBtn=&No\r\nAbortBtn=Cancel\r\nOKBtn=OK\r\n");
  test::RecordingUi ui;
  ScopedUiServices guard(ui);
  ui.answers = {mrAll};
  EXPECT_EQ(AskYesNoCancelAllL("Replace all?", file), mrAll);
  ShowInfoL("Done", file);  // no "Information" key: built-in title stays
  ShowErrorL("Failed", dir.file("MISSING.ENG"));
  ASSERT_EQ(ui.shown.size(), 3u);
  EXPECT_EQ(ui.shown[0].title, "Confirm");
  EXPECT_EQ(Captions(ui.shown[0]), (std::vector<std::string>{"&Yes", "&No", "Cancel", "&Alle"}));
  EXPECT_TRUE(ui.shown[0].scaled);
  EXPECT_EQ(ui.shown[1].title, "Information");
  EXPECT_EQ(ui.shown[2].title, "Fehler");
  EXPECT_EQ(Captions(ui.shown[2]), std::vector<std::string>{"OK"});
}

TEST(MessageCatalogue, LookupsIgnoreCaseAndMissingTextsAreEmpty) {
  test::TempDir dir;
  const std::string file = dir.file("ORVMSG.GER");
  test::writeFile(file, "[DEFAULT MESSAGES]\r\nDM_WAIT=Bitte warten\r\nDM_EMPTY=\r\n");
  TMsgManager m(file);
  EXPECT_EQ(m.GetText("default messages", "dm_wait"), "Bitte warten");
  EXPECT_EQ(m.GetText("DEFAULT MESSAGES", "DM_EMPTY"), "");
  EXPECT_EQ(m.GetText("DEFAULT MESSAGES", "DM_MISSING"), "");
  EXPECT_EQ(m.GetText("NOSECTION", "DM_WAIT"), "");
  m.SetText("CONFMSG", "CM_X", "Sicher?");
  ASSERT_TRUE(m.SaveAs(dir.file("ORVMSG.ENG")));
  m.Reload(dir.file("ORVMSG.ENG"));
  EXPECT_EQ(m.GetText("CONFMSG", "CM_X"), "Sicher?");
  EXPECT_EQ(m.SectionCount(), 2);
  m.Reload(dir.file("NONE.FRA"));
  EXPECT_EQ(m.SectionCount(), 0);
}
