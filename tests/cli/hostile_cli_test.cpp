// The command line on hostile input and faults: refusals in one line of the
// session's language, files that are no files, a catalogue held by another
// program or with its data file lost, settings that cannot be written.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "photometry/ldt_fixture.h"
#include "platform/fileio.h"
#include "support/test_support.h"

namespace {

using kandelo::test::RunCli;
namespace fsys = std::filesystem;

void English() { ASSERT_EQ(RunCli("settings set LANGUAGES DBLANG 2").exitCode, 0); }

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

TEST(CliRefusals, OneLineInTheSessionsLanguageWithTheNameAndTheReason) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  const std::string missing = dir.file("nirgends.ldt"), fifo = dir.file("pipe.ldt"), junk = dir.file("junk.ldt"),
                    huge = dir.file("huge.ies"), cut = dir.file("cut.ldt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  kandelo::test::writeFile(junk, "just some text\n");
  kandelo::test::writeFile(huge, "IESNA:LM-63-1995\nTILT=NONE\n1 1000 1e308 3 1 1 2 0.5 1.0 0\n1 1 30\n0 45 90\n0\n"
                                 "100 80 40\n");
  kandelo::test::LdtSpec s;
  s.dropLastLines = 3;
  kandelo::test::writeFile(cut, kandelo::test::MakeLdt(s));
  struct Case {
    std::string file, german, english;
  } cases[] = {
      {missing, "Datei nicht gefunden", "file not found"},
      {fifo, "keine gew\xC3\xB6hnliche Datei (FIFO, Ger\xC3\xA4t oder Socket)",
       "not a regular file (FIFO, device or socket)"},
      {junk, "keine Leuchtendatei in einem bekannten Format", "not a photometric file in a known format"},
      {huge, "Werte au\xC3\x9F" "erhalb des Bereichs der Tabelle (\xC3\xBC" "ber 1e30 oder keine Zahl)",
       "values beyond the range of the table (above 1e30 or no number)"},
  };
  for (bool english : {false, true}) {
    if (english) English();
    for (const auto& c : cases) {
      SCOPED_TRACE(c.file);
      for (const char* command : {"info", "convert --to ldt -o out.ldt", "evaluate"}) {
        std::string cmd = command;
        const auto at = cmd.find(' ');
        const std::string line = cmd.substr(0, at) + " " + Quoted(c.file) + (at == std::string::npos ? "" : cmd.substr(at));
        auto r = RunCli(line + " 2>&1");
        EXPECT_EQ(r.exitCode, 1) << line;
        EXPECT_EQ(r.out, "kandelo-cli: " + c.file + ": " + (english ? c.english : c.german) + "\n") << line;
      }
    }
    // A damaged file: the reader's own words follow, without the name again.
    auto r = RunCli("info " + Quoted(cut) + " 2>&1");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out.rfind("kandelo-cli: " + cut + ": " + (english ? "damaged: " : "besch\xC3\xA4" "digt: "), 0), 0u)
        << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
  }
}

// Texts of a file in UTF-8 are shown as they are meant; others are 1252.
TEST(CliRefusals, Utf8TextsInFilesAreTakenAsUtf8) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  std::string utf8 = kandelo::test::MakeLdt(kandelo::test::LdtSpec{});  // "Prüfer" in UTF-8
  std::string ansi = utf8;
  ansi.replace(ansi.find("Pr\xC3\xBC" "fer"), 7, "Pr\xFC" "fer");
  utf8.replace(utf8.find("Leuchte A"), 9, "Leuchte \xC3\x84 \xE2\x82\xAC");  // Ä and €
  kandelo::test::writeFile(dir.file("utf8.ldt"), utf8);
  kandelo::test::writeFile(dir.file("ansi.ldt"), ansi);
  auto a = nlohmann::json::parse(RunCli("info --json " + Quoted(dir.file("utf8.ldt"))).out);
  EXPECT_EQ(a["texts"]["name"], "Leuchte \xC3\x84 \xE2\x82\xAC");
  EXPECT_EQ(a["texts"]["date_user"], "01.02.2020 / Pr\xC3\xBC" "fer");
  auto b = nlohmann::json::parse(RunCli("info --json " + Quoted(dir.file("ansi.ldt"))).out);
  EXPECT_EQ(b["texts"]["date_user"], "01.02.2020 / Pr\xC3\xBC" "fer");
}

// A text field that starts with "TILT=" must not end an IES 1986 header.
TEST(CliRefusals, ConvertSucceedsOnlyWithAFileThatReadsBack) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  std::string text = kandelo::test::MakeLdt(kandelo::test::LdtSpec{});
  text.replace(text.find("R-17"), 4, "TILT=INCLUDE");
  kandelo::test::writeFile(dir.file("a.ldt"), text);
  for (const char* to : {"ies86", "ies91", "ies95", "tm14", "l32", "ldt"}) {
    SCOPED_TRACE(to);
    const std::string out = dir.file(std::string("b.") + to);
    auto r = RunCli("convert " + Quoted(dir.file("a.ldt")) + " --to " + to + " -o " + Quoted(out) + " 2>&1");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_EQ(RunCli("info " + Quoted(out) + " >/dev/null 2>&1").exitCode, 0);
  }
}

TEST(CliRefusals, AFifoNeverHangsAnAddOrAScan) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file("pipe.ldt").c_str(), 0600), 0);
  EXPECT_EQ(RunCli("catalogue add " + Quoted(dir.file("pipe.ldt")) + " >/dev/null 2>&1; echo $?").out, "1\n");
  auto scan = RunCli("catalogue scan " + Quoted(dir.path()) + " 2>&1");
  EXPECT_EQ(scan.exitCode, 0) << scan.out;
  EXPECT_NE(scan.out.find("added 0, updated 0, failed 0"), std::string::npos) << scan.out;
}

TEST(CliSettingsStore, ASetThatCannotBeWrittenExitsWithOne) {
  kandelo::test::TempUserEnvironment env;
  ASSERT_EQ(RunCli("settings set USER NAME Anna").exitCode, 0);
  ASSERT_EQ(::chmod(env.settingsFile().c_str(), 0444), 0);
  auto r = RunCli("settings set USER NAME Berta 2>&1");
  EXPECT_EQ(r.exitCode, 1) << r.out;
  ::chmod(env.settingsFile().c_str(), 0644);
  EXPECT_NE(kandelo::test::readFile(env.settingsFile()).find("NAME=Anna"), std::string::npos);
}

class CliCatalogueFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    English();
    fsys::create_directories(env.root() + "/tree");
    kandelo::test::writeFile(env.root() + "/tree/a.ldt", kandelo::test::MakeLdt(kandelo::test::LdtSpec{}));
    for (int i = 0; i < 14; ++i)
      fsys::copy_file(env.root() + "/tree/a.ldt", env.root() + "/tree/l" + std::to_string(i) + ".ldt");
    ASSERT_EQ(RunCli("catalogue scan " + Quoted(env.root() + "/tree")).exitCode, 0);
  }
  std::string dat() const { return env.dataDir() + "/KTBLUMD2.DAT"; }
  std::string idx() const { return env.dataDir() + "/KTBLUMD2.IDX"; }
  kandelo::test::TempUserEnvironment env;
};

// Another program holds the catalogue: the command line waits as long as it
// is told, then says so in one line, with the process, and exits with 1.
TEST_F(CliCatalogueFaults, AHeldCatalogueIsSaidWithItsProcess) {
  auto h = kandelo::platform::fs().open(dat(), kandelo::platform::OpenMode::ReadWrite);
  ASSERT_EQ(h->lockRange(0, 0, true), kandelo::platform::LockResult::Locked);
  for (const char* command : {"catalogue list", "catalogue rebuild", "catalogue scan"}) {
    SCOPED_TRACE(command);
    auto r = RunCli(std::string("--wait 0.2 ") + command + " 2>&1");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "kandelo-cli: " + dat() + ": Another program holds the catalogue (process " +
                         std::to_string(kandelo::platform::processId()) + ")\n");
  }
  h->close();
  EXPECT_EQ(RunCli("--wait 0.2 catalogue list >/dev/null").exitCode, 0);
}

// The data file deleted or cut short: said, exit 1, the index kept; the
// rebuild asked for takes what is left.
TEST_F(CliCatalogueFaults, ALostDataFileIsSaidAndRebuiltOnlyWhenAskedFor) {
  const std::string line = "kandelo-cli: " + dat() +
                           ": The catalogue's data file is missing or cut short; the index is kept. Rebuild with: "
                           "kandelo-cli catalogue rebuild\n";
  const std::string full = kandelo::test::readFile(dat()), index = kandelo::test::readFile(idx());
  kandelo::test::writeFile(dat(), full.substr(0, 512 * 9 + 40));
  auto list = RunCli("catalogue list 2>&1");
  EXPECT_EQ(list.exitCode, 1);
  EXPECT_EQ(list.out, line);
  EXPECT_EQ(kandelo::test::readFile(idx()), index);
  auto rebuild = RunCli("catalogue rebuild 2>&1");
  EXPECT_EQ(rebuild.exitCode, 0) << rebuild.out;
  const std::string tail = "rebuilt: 8 records\nfigures: 8 computed, 0 files unreadable\n";
  EXPECT_EQ(rebuild.out.rfind(tail), rebuild.out.size() - tail.size()) << rebuild.out;

  fsys::remove(dat());
  list = RunCli("catalogue list 2>&1");
  EXPECT_EQ(list.exitCode, 1);
  EXPECT_EQ(list.out, line);
  EXPECT_TRUE(fsys::exists(idx()));
  EXPECT_EQ(RunCli("catalogue rebuild").out, "rebuilt: 0 records\nfigures: 0 computed, 0 files unreadable\n");
  EXPECT_EQ(RunCli("catalogue list").exitCode, 0);
}

}  // namespace

// Each refusal names its real cause, not a symptom of it.
TEST(CliRefusals, TheMessageNamesTheRealCause) {
  kandelo::test::TempUserEnvironment env;
  English();
  kandelo::test::TempDir dir;
  const std::string lum = dir.file("lum.ldt");
  kandelo::test::writeFile(lum, kandelo::test::MakeLdt(kandelo::test::LdtSpec{}));
  const std::string longName = std::string(252, 'n') + ".ies";  // 256 bytes: one more than a name may have
  struct Case {
    std::string args, says;
  } cases[] = {
      {"convert " + Quoted(lum) + " --to ies95 -o " + Quoted(dir.file(longName)), "the file name is too long"},
      {"new " + Quoted(dir.file("missing/n.ldt")), "the folder does not exist"},
      {"new " + Quoted(dir.file("n.ldt")) + " --symmetry 9", "Invalid symmetry"},
      {"convert " + Quoted(lum) + " --to ies95 --dir " + Quoted(lum), "is a file, not a directory"},
      {"diagram " + Quoted(lum) + " --size 20000x20000 -o " + Quoted(dir.file("big.png")),
       "a picture is at most 10000 pixels a side: 20000x20000"},
      {"diagram " + Quoted(lum) + " --size 800x10001 -o " + Quoted(dir.file("big.png")),
       "a picture is at most 10000 pixels a side: 800x10001"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const auto r = RunCli(c.args + " 2>&1");
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_NE(r.out.find(c.says), std::string::npos) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
  }
  EXPECT_EQ(kandelo::test::readFile(lum), kandelo::test::MakeLdt(kandelo::test::LdtSpec{}));
  // A name of the longest length allowed is written, and the largest picture drawn.
  const std::string longest = std::string(251, 'n') + ".ies";
  EXPECT_EQ(RunCli("convert " + Quoted(lum) + " --to ies95 -o " + Quoted(dir.file(longest))).exitCode, 0);
  EXPECT_TRUE(fsys::exists(dir.file(longest)));
  EXPECT_EQ(RunCli("diagram " + Quoted(lum) + " --size 10000x16 -o " + Quoted(dir.file("wide.png"))).exitCode, 0);
}
