// Every file the command line writes, on a disk that cannot take it: a small
// file system filled to the last byte (where this process may mount one) and
// a file-size limit that fails every write with an error (everywhere). The
// command must fail with the file's name, and leave the old file as it was
// and nothing else beside it.
#include <gtest/gtest.h>

#include <sys/mount.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "photometry/ldt_fixture.h"
#include "support/test_support.h"

namespace {

using kandelo::test::RunCli;
namespace fsys = std::filesystem;

struct OutputCase {
  const char* what;
  std::string args;  // the command with OUT where the output file goes
  const char* name;  // the output file's name
};

std::vector<std::string> Entries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : fsys::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A tmpfs of 64 kB at `dir`, unmounted on destruction; mounted() is false
// where this process may not mount.
class SmallDisk {
 public:
  explicit SmallDisk(std::string dir) : dir_(std::move(dir)) {
    fsys::create_directories(dir_);
    mounted_ = ::mount("tmpfs", dir_.c_str(), "tmpfs", 0, "size=64k") == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  // Takes every free byte with a filler file.
  void Fill() {
    FILE* f = std::fopen((dir_ + "/filler").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::setvbuf(f, nullptr, _IONBF, 0);
    const std::string block(512, 'x');
    while (std::fwrite(block.data(), 1, block.size(), f) == block.size()) {
    }
    std::fputc('x', f);  // the last odd bytes
    std::fclose(f);
  }

 private:
  std::string dir_;
  bool mounted_ = false;
};

TEST(CliFullDisk, NoOutputReportsSuccessOrLeavesAPartialFile) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  const std::string lum = dir.file("lum.ldt");
  kandelo::test::writeFile(lum, kandelo::test::MakeLdt(kandelo::test::LdtSpec{}));
  // A catalogue for the list outputs; the first runs also install the
  // language files and settings, so that the runs on the full disk write
  // nothing but their output.
  const std::string tree = env.root() + "/lum";
  fsys::create_directories(tree);
  kandelo::test::writeFile(tree + "/a.ldt", kandelo::test::MakeLdt(kandelo::test::LdtSpec{}));
  ASSERT_EQ(RunCli("catalogue scan '" + tree + "'").exitCode, 0);
  ASSERT_EQ(RunCli("settings set LANGUAGES DBLANG 2").exitCode, 0);  // English

  const std::string q = "'" + lum + "'";
  const std::vector<OutputCase> cases = {
      {"diagram svg", "diagram " + q + " -o OUT", "polar.svg"},
      {"diagram pdf", "diagram " + q + " -o OUT", "polar.pdf"},
      {"diagram png", "diagram " + q + " -o OUT", "polar.png"},
      {"diagram wmf", "diagram " + q + " -o OUT", "polar.wmf"},
      {"evaluation table wmf", "diagram " + q + " --kind ugr -o OUT", "ugr.wmf"},
      {"datasheet pdf", "datasheet " + q + " -o OUT", "sheet.pdf"},
      {"list pdf", "catalogue print-list -o OUT", "list.pdf"},
      {"list text", "catalogue export-list -o OUT", "list.txt"},
      {"conversion", "convert " + q + " --to ies95 -o OUT", "lum.ies"},
      {"new luminaire", "new OUT --overwrite", "new.ldt"},
  };
  const std::string old = "the old file\n";

  // Each medium: a directory for the outputs and the shell words that run
  // the program on it.
  SmallDisk small(dir.file("small"));
  struct Medium {
    const char* what;
    std::string dir, prefix;
    bool available;
  } media[] = {
      // Every write that would make a file larger than 0 bytes fails (EFBIG);
      // the signal that would end the program is ignored, as by a program that
      // handles the error.
      {"file-size limit", dir.file("limited"), "trap '' XFSZ; ulimit -f 0; exec ", true},
      {"full file system", dir.file("small"), "exec ", small.mounted()},
  };
  fsys::create_directories(dir.file("limited"));
  for (const Medium& m : media) {
    SCOPED_TRACE(m.what);
    if (!m.available) {
      std::printf("[ note ] %s: cannot mount a tmpfs here; that medium is left out\n", m.what);
      continue;
    }
    for (const OutputCase& c : cases) kandelo::test::writeFile(m.dir + "/" + c.name, old);
    if (&m == &media[1]) small.Fill();
    const std::vector<std::string> before = Entries(m.dir);
    for (const OutputCase& c : cases) {
      SCOPED_TRACE(c.what);
      const std::string out = m.dir + "/" + c.name;
      std::string args = c.args;
      args.replace(args.find("OUT"), 3, "'" + out + "'");
      const auto r = kandelo::test::RunShell(m.prefix + "'" + KANDELO_CLI + "' " + args + " 2>&1");
      EXPECT_EQ(r.exitCode, 1) << r.out;
      // The list is gathered in a work file first, which the file-size
      // limit may already refuse.
      EXPECT_TRUE(r.out.find(out + ": cannot be written") != std::string::npos ||
                  r.out.find("cannot write the list file") != std::string::npos)
          << r.out;
      EXPECT_EQ(kandelo::test::readFile(out), old);
      EXPECT_EQ(Entries(m.dir), before) << "a temporary file was left";
    }
  }
}

// Where the system tells why, the message says it.
TEST(CliFullDisk, TheReasonIsNamed) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  const std::string lum = dir.file("lum.ldt");
  kandelo::test::writeFile(lum, kandelo::test::MakeLdt(kandelo::test::LdtSpec{}));
  ASSERT_EQ(RunCli("settings set LANGUAGES DBLANG 2").exitCode, 0);
  auto r = kandelo::test::RunShell("trap '' XFSZ; ulimit -f 0; exec '" + std::string(KANDELO_CLI) + "' diagram '" +
                                   lum + "' -o '" + dir.file("p.svg") + "' 2>&1");
  EXPECT_TRUE(r.out.ends_with("kandelo-cli: " + dir.file("p.svg") +
                              ": cannot be written (the file exceeds the size the system allows)\n"))
      << r.out;
  SmallDisk small(dir.file("small"));
  if (!small.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  small.Fill();
  r = RunCli("diagram '" + lum + "' -o '" + dir.file("small/p.svg") + "' 2>&1");
  EXPECT_TRUE(r.out.ends_with("kandelo-cli: " + dir.file("small/p.svg") + ": cannot be written (the disk is full)\n"))
      << r.out;
}

}  // namespace
