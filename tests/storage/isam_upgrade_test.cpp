// Record-length upgrade of data files written by an older program version.

#include <gtest/gtest.h>

#include <string>

#include "platform/fileio.h"
#include "storage/isam.h"
#include "support/test_support.h"

namespace kandelo::test {
namespace {

namespace pf = kandelo::platform;

TEST(RecordLengthUpgrade, ExpandsRecordsAndFixesTheHeader) {
  TempDir dir;
  const std::string path = dir.file("DEFLAMPS.DAT");
  // Header record of 20 bytes with the record length at offset 12, two records, a partial tail.
  std::string data(20, '\0');
  data[12] = 20;
  data += std::string(20, 'a') + std::string(20, 'b') + "tail";
  writeFile(path, data);
  ASSERT_TRUE(isam::UpgradeRecordLength(dir.file("DEFLAMPS.XYZ"), 34));
  std::string out = readFile(path);
  ASSERT_EQ(out.size(), 3u * 34);
  EXPECT_EQ(static_cast<unsigned char>(out[12]), 34);
  EXPECT_EQ(out.substr(34, 20), std::string(20, 'a'));
  EXPECT_EQ(out.substr(54, 14), std::string(14, '\0'));
  EXPECT_EQ(out.substr(68, 20), std::string(20, 'b'));
  EXPECT_FALSE(pf::fs().exists(dir.file("DEFLAMPS.HHX")));

  // Already current: byte for byte unchanged.
  ASSERT_TRUE(isam::UpgradeRecordLength(path, 34));
  EXPECT_EQ(readFile(path), out);
  // A longer old record is left alone rather than cut.
  EXPECT_FALSE(isam::UpgradeRecordLength(path, 20));
  EXPECT_EQ(readFile(path), out);
  // A missing file is fine.
  EXPECT_TRUE(isam::UpgradeRecordLength(dir.file("NONE.DAT"), 512));
}

TEST(RecordLengthUpgrade, InterruptedUpgradeLeavesTheOldFile) {
  TempDir dir;
  const std::string path = dir.file("KTBLUMD2.DAT");
  std::string data(20, '\0');
  data[12] = 20;
  data += std::string(200, 'r');
  for (int n = 1; n <= 12; ++n) {
    writeFile(path, data);
    pf::FaultInjectingFileSystem faulty;
    faulty.crashAfterWrites = n;
    {
      pf::ScopedFileSystem guard(faulty);
      isam::UpgradeRecordLength(path, 512);
    }
    std::string now = readFile(path);
    // Either untouched or completely converted, never half.
    EXPECT_TRUE(now == data || now.size() == 11u * 512) << n << " size " << now.size();
  }
}

TEST(RecordLengthUpgrade, FilesThatAreNoDataFileOfOursStayAsTheyAre) {
  TempDir dir;
  const std::string path = dir.file("DEFLAMPS.DAT");
  std::string bigHeader(20, '\0');
  bigHeader[12] = 30;  // the header record is longer than the whole file
  std::string tiny(20, '\0');
  tiny[12] = 3;        // too short to hold the header's own fields
  for (const std::string& data : {bigHeader, tiny, std::string(20, '\0'), std::string("short")}) {
    writeFile(path, data);
    EXPECT_FALSE(isam::UpgradeRecordLength(path, 34)) << data.size();
    EXPECT_EQ(readFile(path), data);
    EXPECT_FALSE(pf::fs().exists(dir.file("DEFLAMPS.HHX")));
  }
}

}  // namespace
}  // namespace kandelo::test
