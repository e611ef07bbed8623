#include "frame/scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "frame/settings.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

namespace fsys = std::filesystem;
using test::readFile;
using test::TempDir;
using test::writeFile;

std::vector<std::string> names(const std::vector<std::string>& paths, const std::string& root) {
  std::vector<std::string> out;
  for (const auto& p : paths) out.push_back(p.substr(root.size() + 1));
  return out;
}

std::vector<std::string> sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

TEST(Scan, SubdirectoriesDepthFirstPreOrderWithoutLoopsOrHidden) {
  TempDir dir;
  const std::string root = dir.path();
  fsys::create_directories(root + "/A/X");
  fsys::create_directories(root + "/B");
  fsys::create_directories(root + "/.hidden/Y");
  fsys::create_directory_symlink(root, root + "/A/X/up");  // a loop back to the root
  fsys::create_directory_symlink(root + "/B", root + "/A/linkB");
  std::vector<std::string> list;
  FindSubdirectories(root, list);
  auto got = names(list, root);
  // B is reached once, through whichever name the file system lists first.
  ASSERT_EQ(got.size(), 3u) << ::testing::PrintToString(got);
  auto pos = [&](const std::string& n) { return std::find(got.begin(), got.end(), n) - got.begin(); };
  ASSERT_LT(pos("A"), 3);
  EXPECT_EQ(pos("A/X"), pos("A") + 1);  // children follow their parent at once
  EXPECT_EQ(std::count_if(got.begin(), got.end(), [](auto& n) { return n == "B" || n == "A/linkB"; }), 1);
}

TEST(Scan, FindFilesMatchesMaskWithoutRegardToCase) {
  TempDir dir;
  for (const char* n : {"a.ldt", "B.Ldt", "c.LDT", "d.ies", ".hidden.ldt", "ldt", "x.ldt.bak"})
    writeFile(dir.file(n), "x");
  fsys::create_directory(dir.file("sub.ldt"));
  std::vector<std::string> list;
  FindFiles(dir.path(), list, "*.LDT");
  EXPECT_EQ(sorted(names(list, dir.path())), (std::vector<std::string>{"B.Ldt", "a.ldt", "c.LDT"}));
  list.clear();
  FindFiles(dir.file("missing"), list, "*.LDT");
  EXPECT_TRUE(list.empty());
}

TEST(Scan, MaskFileDefaultsAndOwnMasks) {
  test::TempUserEnvironment env;
  LoadSettings();
  const std::string mask = MaskFileName();
  EXPECT_EQ(ReadMaskList(), (std::vector<std::string>{"*.LDT", "*.LUM", "*.L32", "*.IES", "*.CIB"}));
  EXPECT_EQ(readFile(mask), "*.LDT\r\n*.LUM\r\n*.L32\r\n*.IES\r\n*.CIB\r\n");

  const std::string root = env.root() + "/lum";
  fsys::create_directories(root + "/sub");
  for (const char* n : {"a.ldt", "b.IES", "sub/c.ies", "sub/d.cib"}) writeFile(root + "/" + n, "x");
  writeFile(mask, " *.IES \r\n\r\n");
  EXPECT_EQ(sorted(names(CollectLuminaireFiles(root), root)), (std::vector<std::string>{"b.IES", "sub/c.ies"}));

  // Directories in order, masks in file order within each; two masks, two entries.
  writeFile(mask, "*.LDT\n*.IES\nA*\n");
  EXPECT_EQ(names(CollectLuminaireFiles(root), root),
            (std::vector<std::string>{"a.ldt", "b.IES", "a.ldt", "sub/c.ies"}));
}

}  // namespace
}  // namespace kandelo
