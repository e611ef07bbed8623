// kandelo-cli convert FILE... --dir: the batch conversion from the command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "photometry/ldt_fixture.h"
#include "support/test_support.h"

using kandelo::test::RunCli;

namespace {

namespace fsys = std::filesystem;

std::string Ldt(const kandelo::test::TempDir& dir, const std::string& name) {
  kandelo::test::LdtSpec s;
  s.isym = "1", s.planes = 1;
  s.value = [](int, int j) { return std::to_string(100 * (7 - j)); };
  const std::string path = dir.file(name);
  kandelo::test::writeFile(path, kandelo::test::MakeLdt(s));
  return path;
}

}  // namespace

TEST(CliConvert, ManyFilesIntoADirectoryWithOneLineEach) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir src, out;
  const std::string a = Ldt(src, "a.ldt"), b = Ldt(src, "b.ldt");
  kandelo::test::writeFile(src.file("broken.ldt"), "nothing\n");
  kandelo::test::writeFile(src.file("a.ies"), kandelo::test::readFile(a));
  auto r = RunCli("convert '" + a + "' '" + src.file("broken.ldt") + "' '" + b + "' --to ies95 --dir '" +
                  out.path() + "' 2>/dev/null");
  EXPECT_EQ(r.exitCode, 1) << r.out;  // one file skipped
  EXPECT_NE(r.out.find("written " + a + " -> " + out.file("a.IES")), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("skipped " + src.file("broken.ldt") + ": "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("written " + b), std::string::npos) << r.out;
  auto info = nlohmann::json::parse(RunCli("info --json '" + out.file("b.IES") + "'").out);
  EXPECT_EQ(info["format_code"], 7);

  // Two sources for one target; a chosen extension.
  r = RunCli("convert '" + a + "' '" + src.file("a.ies") + "' --to ldt --dir '" + out.path() + "' --ext pin");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("same target name as " + a), std::string::npos) << r.out;
  EXPECT_TRUE(fsys::exists(out.file("a.pin")));

  r = RunCli("convert '" + a + "' '" + b + "' --to l32 --dir '" + out.path() + "'");
  EXPECT_EQ(r.exitCode, 0) << r.out;
  EXPECT_NE(r.out.find("written 2, skipped 0"), std::string::npos) << r.out;
}

TEST(CliConvert, BadDestinationsAndArguments) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir src;
  const std::string a = Ldt(src, "a.ldt");
  EXPECT_EQ(RunCli("convert '" + a + "' --to ldt --dir '" + src.file("missing") + "' 2>/dev/null").exitCode, 1);
  EXPECT_EQ(RunCli("convert '" + a + "' --to ldt 2>/dev/null").exitCode, 2);  // neither -o nor --dir
  EXPECT_EQ(RunCli("convert '" + a + "' --to ldt -o x --dir y 2>/dev/null").exitCode, 2);
  EXPECT_EQ(RunCli("convert '" + a + "' '" + a + "' --to ldt -o x 2>/dev/null").exitCode, 2);
}

TEST(CliConvert, AddedFilesAreListedUnderTheDestination) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir src, out;
  const std::string a = Ldt(src, "a.ldt"), b = Ldt(src, "b.ldt");
  auto r = RunCli("convert '" + a + "' '" + b + "' --to tm14 --dir '" + out.path() + "' --add-to-catalogue");
  ASSERT_EQ(r.exitCode, 0) << r.out;
  EXPECT_NE(r.out.find("added 2, updated 0"), std::string::npos) << r.out;
  auto list = nlohmann::json::parse(RunCli("catalogue list --json").out);
  std::vector<std::string> paths;
  for (const auto& e : list) paths.push_back(e["path"]);
  std::sort(paths.begin(), paths.end());
  const std::string dir = fsys::canonical(out.path()).string();
  EXPECT_EQ(paths, (std::vector<std::string>{dir + "/a.CIB", dir + "/b.CIB"}));
  for (const auto& e : list) EXPECT_EQ(e["formatName"], "TM14");
}

// A target that is a source of the same run is not written over: the source
// stays as it was, the file is skipped with the reason.
TEST(CliConvert, ASourceOfTheRunIsNeverItsTarget) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  const std::string j = Ldt(dir, "j.ldt"), k = Ldt(dir, "k.ldt");
  const std::string original = kandelo::test::readFile(j);
  for (const char* args : {"--to ies95 --ext ldt", "--to ldt --ext ldt"}) {
    SCOPED_TRACE(args);
    auto r = RunCli("convert '" + j + "' '" + k + "' " + args + " --dir '" + dir.path() + "' 2>/dev/null");
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_NE(r.out.find("skipped " + j + ": the target is a source file of this run"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("written 0, skipped 2"), std::string::npos) << r.out;
    EXPECT_EQ(kandelo::test::readFile(j), original);
  }
}
