// Writing a luminaire in place: a failed or interrupted write keeps the old
// file and leaves nothing behind; the writer sees the final name.
#include <gtest/gtest.h>

#include <filesystem>

#include "conversion/staging_dir.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "photometry/new_luminaire.h"
#include "platform/fileio.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

namespace pf = kandelo::platform;

// Entries other than a staging folder a crash may leave (scans skip hidden ones).
std::size_t VisibleEntries(const std::string& dir) {
  std::size_t n = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) n += e.path().filename().string()[0] != '.';
  return n;
}

TEST(WriteLuminaireSafely, ReplacesOnlyWithAWholeFile) {
  test::TempDir dir;
  const std::string target = dir.file("LUMI.L32");
  test::writeFile(target, "old");
  TLUM32 lum;
  ASSERT_TRUE(MakeNewLuminaire(TNewLuminaire{}, target, lum));

  {
    // A write cut short: the old file stays, and the staging folder goes.
    pf::FaultInjectingFileSystem faults;
    faults.shortWriteAt = 1;
    pf::ScopedFileSystem scoped(faults);
    EXPECT_FALSE(WriteLuminaireSafely(lum, fmtLum32, target));
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  {
    // A crash after the staging folder was made: the old file stays.
    pf::FaultInjectingFileSystem faults;
    faults.crashAfterWrites = 1;
    pf::ScopedFileSystem scoped(faults);
    EXPECT_FALSE(WriteLuminaireSafely(lum, fmtLum32, target));
  }
  EXPECT_EQ(test::readFile(target), "old");
  EXPECT_EQ(VisibleEntries(dir.path()), 1u);
  EXPECT_FALSE(WriteLuminaireSafely(lum, fmtLum32, dir.file("missing/LUMI.L32")));

  ASSERT_TRUE(WriteLuminaireSafely(lum, fmtLum32, target));
  EXPECT_EQ(VisibleEntries(dir.path()), 1u);
  TLUM32 back;
  ASSERT_TRUE(LoadLuminaire(target, back, LoadValues::AsRead).ok());
  EXPECT_EQ(back.ShortName, "LUMI");  // written under its own name
}

}  // namespace
}  // namespace kandelo
