#include <gtest/gtest.h>

#include <csignal>
#include <cmath>
#include <sys/wait.h>
#include <unistd.h>

#include "conversion/summary_store.h"
#include "platform/fileio.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

namespace pf = kandelo::platform;

PhotometricSummary Figures(double flux) {
  PhotometricSummary s;
  s.luminaireFlux = flux;
  s.lampFlux = flux / 0.8;
  s.lor = 80;
  s.cct = 4000;
  s.beamC0 = 60.5;
  s.ugrEndwise = 18.7;  // crosswise stays unknown
  s.litgClass = "A40";
  s.cieFluxCode = {44, 75, 94, 100, 80};
  s.symmetry = 2, s.format = 6, s.lampSets = 1, s.problems = 3, s.worst = 2;
  s.length = 1480, s.areaDiameter = 75.5;
  return s;
}

void ExpectSame(const PhotometricSummary& a, const PhotometricSummary& b) {
  auto same = [](double x, double y) { return (std::isnan(x) && std::isnan(y)) || x == y; };
  EXPECT_PRED2(same, a.luminaireFlux, b.luminaireFlux);
  EXPECT_PRED2(same, a.lampFlux, b.lampFlux);
  EXPECT_PRED2(same, a.ugrCrosswise, b.ugrCrosswise);
  EXPECT_PRED2(same, a.ugrEndwise, b.ugrEndwise);
  EXPECT_PRED2(same, a.beamC0, b.beamC0);
  EXPECT_PRED2(same, a.areaDiameter, b.areaDiameter);
  EXPECT_EQ(a.litgClass, b.litgClass);
  EXPECT_EQ(a.cieFluxCode, b.cieFluxCode);
  EXPECT_EQ(a.problems, b.problems);
  EXPECT_EQ(a.worst, b.worst);
  EXPECT_EQ(a.format, b.format);
}

TEST(SummaryStore, SlotsAreTrustedOnlyWholeAndOfTheirStamp) {
  test::TempDir dir;
  const std::string path = SummaryStore::PathFor(dir.file("KTBLUMD2"));
  SummaryStore store;
  ASSERT_TRUE(store.Open(path));
  ASSERT_TRUE(store.Write(3, 111, Figures(3200), FileMark{4096, 1700000000123456789}));
  ASSERT_TRUE(store.Write(1, 222, Figures(900)));
  ExpectSame(store.Read(3, 111)->figures, Figures(3200));
  EXPECT_EQ(store.Read(3, 111)->file, (FileMark{4096, 1700000000123456789}));
  ExpectSame(store.Read(1, 222)->figures, Figures(900));
  EXPECT_EQ(store.Read(1, 222)->file.size, -1) << "no file known";
  EXPECT_FALSE(store.Read(3, 112)) << "a record rewritten since";
  EXPECT_FALSE(store.Read(2, 0)) << "a slot between written ones";
  EXPECT_FALSE(store.Read(9, 111)) << "beyond the end";
  EXPECT_FALSE(store.Read(0, 111));
  ASSERT_TRUE(store.Erase(1));
  EXPECT_FALSE(store.Read(1, 222));
  EXPECT_TRUE(store.Erase(50)) << "never written: nothing to erase";
  store.Close();

  // A byte changed on disk (a slot half written when the program died).
  {
    auto f = pf::fs().open(path, pf::OpenMode::ReadWrite);
    const unsigned char b = 0x5A;
    ASSERT_TRUE(f->writeAt(SummaryStore::kHeaderSize + 2 * SummaryStore::kSlotSize + 100, &b, 1));
    f->close();
  }
  ASSERT_TRUE(store.Open(path));
  EXPECT_FALSE(store.Read(3, 111));
  // Read from memory after a preload, and written through to the file.
  ASSERT_TRUE(store.Preload());
  EXPECT_FALSE(store.Read(3, 111));
  EXPECT_FALSE(store.Read(1, 222));
  ASSERT_TRUE(store.Write(12, 5, Figures(77)));
  ExpectSame(store.Read(12, 5)->figures, Figures(77));
  store.Close();
  ASSERT_TRUE(store.Open(path));
  ExpectSame(store.Read(12, 5)->figures, Figures(77));
  store.Close();

  // Another layout (an older program's file) is started afresh.
  test::writeFile(path, std::string("KSUM\x01\x00", 6) + std::string(1000, '\x01'));
  ASSERT_TRUE(store.Open(path));
  EXPECT_FALSE(store.Read(1, 0));
  ASSERT_TRUE(store.Write(1, 7, Figures(10)));
  ExpectSame(store.Read(1, 7)->figures, Figures(10));
}

TEST(SummaryStore, AFailedWriteLeavesNothingToTrust) {
  test::TempDir dir;
  const std::string path = dir.file("CAT.SUM");
  {
    SummaryStore store;
    ASSERT_TRUE(store.Open(path));
    ASSERT_TRUE(store.Write(2, 5, Figures(100)));
  }
  for (bool shortWrite : {false, true}) {
    SCOPED_TRACE(shortWrite ? "half written" : "disk full");
    pf::FaultInjectingFileSystem faulty;
    pf::ScopedFileSystem scope(faulty);
    SummaryStore store;
    ASSERT_TRUE(store.Open(path));
    faulty.reset();
    (shortWrite ? faulty.shortWriteAt : faulty.failWriteAt) = 1;
    EXPECT_FALSE(store.Write(2, 6, Figures(200)));
    // The old figures, the new ones (a half that happened to complete the
    // slot), or nothing: never a mix of the two.
    const auto now = store.Read(2, 6), old = store.Read(2, 5);
    EXPECT_FALSE(now && old);
    if (now) ExpectSame(now->figures, Figures(200));
    if (old) ExpectSame(old->figures, Figures(100));
    if (!shortWrite) {
      EXPECT_TRUE(old) << "a write that did not happen leaves the slot as it was";
    }
  }
  pf::FaultInjectingFileSystem faulty;
  pf::ScopedFileSystem scope(faulty);
  faulty.failOpenAt = 1;
  SummaryStore store;
  EXPECT_FALSE(store.Open(path));
  EXPECT_FALSE(store.Read(2, 5));
  EXPECT_FALSE(store.Write(2, 5, Figures(1)));
}

// Stations write their slots at once, one is killed at a random moment: every
// slot afterwards reads as the figures of its stamp or as missing.
TEST(SummaryStore, StationsWriteAtOnceAndOneIsKilled) {
  test::TempDir dir;
  const std::string path = dir.file("CAT.SUM");
  constexpr int kSlots = 64, kRounds = 300;
  auto station = [&] {
    SummaryStore store;
    if (!store.Open(path)) ::_exit(2);
    for (int round = 0; round < kRounds; ++round)
      for (int n = 1; n <= kSlots; ++n) {
        // Both stations write the figures a stamp stands for; stamps change over the rounds.
        const std::uint64_t stamp = std::uint64_t(n) * 1000 + std::uint64_t(round % 3);
        if (!store.Write(n, stamp, Figures(double(stamp)))) ::_exit(3);
        if (auto s = store.Read(n, stamp); s && s->figures.luminaireFlux != double(stamp)) ::_exit(4);
      }
    ::_exit(0);
  };
  pid_t pids[2];
  for (int id = 0; id < 2; ++id) {
    pids[id] = ::fork();
    ASSERT_GE(pids[id], 0);
    if (pids[id] == 0) station();
  }
  ::usleep(20000);
  ::kill(pids[1], SIGKILL);
  int status = 0;
  ::waitpid(pids[1], &status, 0);
  ::waitpid(pids[0], &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  SummaryStore store;
  ASSERT_TRUE(store.Open(path));
  for (int n = 1; n <= kSlots; ++n)
    for (std::uint64_t r = 0; r < 3; ++r) {
      const std::uint64_t stamp = std::uint64_t(n) * 1000 + r;
      if (auto s = store.Read(n, stamp)) {
        EXPECT_EQ(s->figures.luminaireFlux, double(stamp)) << n;
      }
    }
}

TEST(SummaryStore, StampFollowsEveryByteOfTheRecord) {
  unsigned char a[512] = {}, b[512] = {};
  b[511] = 1;
  EXPECT_NE(SummaryStamp(a), SummaryStamp(b));
  EXPECT_EQ(SummaryStamp(a), SummaryStamp(a));
}

}  // namespace
}  // namespace kandelo
