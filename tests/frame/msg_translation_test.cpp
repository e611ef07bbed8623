// Translating a message file: the rows shown, the destination made as a copy
// when missing, and what "OK" writes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "frame/msg_translation.h"
#include "frame/msgmanager.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

TEST(MessageTranslation, ListsEverySourceKeyWithTheDestinationText) {
  test::TempDir dir;
  const std::string src = dir.file("ORVMSG.GER"), dst = dir.file("ORVMSG.ENG");
  test::writeFile(src, "[OUTTXT]\r\nB=Zwei\r\nA=Eins\r\n[CONFMSG]\r\nQ=Frage\r\n");
  test::writeFile(dst, "[OUTTXT]\r\nA=One\r\nONLY=kept\r\n");
  const auto rows = LoadMessageTranslation(src, dst);
  ASSERT_TRUE(rows);
  // Sections and keys in the file's collation order; a key the destination
  // lacks shows an empty text, one only the destination has is not listed.
  const std::vector<std::vector<std::string>> expected = {
      {"CONFMSG", "Q", "Frage", ""}, {"OUTTXT", "A", "Eins", "One"}, {"OUTTXT", "B", "Zwei", ""}};
  ASSERT_EQ(rows->size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const TMsgTransRow& r = (*rows)[i];
    EXPECT_EQ((std::vector<std::string>{r.section, r.key, r.source, r.destination}), expected[i]) << i;
  }

  auto edited = *rows;
  edited[0].destination = "Question";
  edited[2].destination = "";
  ASSERT_TRUE(StoreMessageTranslation(edited, dst));
  const TMsgManager out(dst);
  EXPECT_EQ(out.GetText("CONFMSG", "Q"), "Question");
  EXPECT_EQ(out.GetText("OUTTXT", "A"), "One");
  EXPECT_EQ(out.GetText("OUTTXT", "ONLY"), "kept");
  EXPECT_NE(test::readFile(dst).find("B=\r\n"), std::string::npos);  // the empty text is stored as a key
}

TEST(MessageTranslation, MissingFiles) {
  test::TempDir dir;
  const std::string src = dir.file("ORVMSG.GER"), dst = dir.file("ORVMSG.FRA");
  EXPECT_FALSE(LoadMessageTranslation(src, dst));  // no source: nothing happens
  test::writeFile(src, "[OUTTXT]\r\nA=Eins\r\n");
  const auto rows = LoadMessageTranslation(src, dst);
  ASSERT_TRUE(rows);
  // The destination starts as a copy of the source.
  EXPECT_EQ(test::readFile(dst), test::readFile(src));
  EXPECT_EQ(rows->front().destination, "Eins");
}

TEST(MessageTranslation, AFileThatCannotBeWrittenIsReportedAndKept) {
  test::TempDir dir;
  const std::string src = dir.file("ORVMSG.GER");
  test::writeFile(src, "[OUTTXT]\r\nA=Eins\r\n");
  auto rows = *LoadMessageTranslation(src, src);
  rows[0].destination = "changed";
  // A read-only file, and a directory that does not exist.
  ::chmod(src.c_str(), 0444);
  EXPECT_FALSE(StoreMessageTranslation(rows, src));
  ::chmod(src.c_str(), 0644);
  EXPECT_EQ(test::readFile(src), "[OUTTXT]\r\nA=Eins\r\n");
  EXPECT_FALSE(StoreMessageTranslation(rows, dir.file("missing/ORVMSG.ENG")));
}

}  // namespace
}  // namespace kandelo
