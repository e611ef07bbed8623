// The places where the coordination of files in network mode plugs into the
// engine: open and close, around reading operations, the write lock that
// every change needs, and the object layer's retries.

#include <gtest/gtest.h>

#include <algorithm>

#include "isam_fixture.h"

namespace kandelo::test {
namespace {

using namespace isam;
namespace pf = kandelo::platform;

class FakeCoordination : public NetworkHooks {
 public:
  int onOpen(IndexedFile&, bool) override { return note("open"); }
  int onClose(IndexedFile&) override {
    locked = false;
    return note("close");
  }
  int beginRead(IndexedFile&) override { return note("read"); }
  int endOperation(IndexedFile&) override { return note("end"); }
  int lock(IndexedFile&) override {
    note("lock");
    if (refuseLocks > 0) {
      --refuseLocks;
      return kErrWriteLock;
    }
    locked = true;
    return 0;
  }
  int unlock(IndexedFile&) override {
    locked = false;
    return note("unlock");
  }
  bool holdsWriteLock(const IndexedFile&) const override { return locked; }

  int note(const char* what) {
    calls.push_back(what);
    return 0;
  }
  std::vector<std::string> calls;
  bool locked = false;
  int refuseLocks = 0;
};

// Every path lies on a "remote drive".
class RemoteFileSystem : public pf::FaultInjectingFileSystem {
 public:
  bool isRemote(const std::string&) override { return true; }
};

class NetworkHooksTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    SetNetworkHooks(&hooks_);
  }
  void TearDown() override { SetNetworkHooks(nullptr); }
  FakeCoordination hooks_;
};

TEST_F(NetworkHooksTest, ReadsAreBracketedAndChangesNeedTheWriteLock) {
  ASSERT_EQ(CreateIndexedFile(base(), 32, {{4, false}}), 0);
  IndexedFile* f = nullptr;
  ASSERT_EQ(OpenIndexedFile(base(), false, true, f), 0);
  EXPECT_TRUE(IsNetworkMode(f));
  unsigned char rec[32] = {};
  std::int32_t n = 0;
  EXPECT_EQ(AddRecord(f, rec, n), kErrNoWriteLock);
  EXPECT_EQ(AddKey(f, 1, 1, "A"), kErrNoWriteLock);
  ASSERT_EQ(LockFile(f), 0);
  ASSERT_EQ(AddRecord(f, rec, n), 0);
  ASSERT_EQ(AddKey(f, 1, n, "A"), 0);
  ASSERT_EQ(UnlockFile(f), 0);
  ASSERT_EQ(FindKey(f, 1, "A", n), 0);
  ASSERT_EQ(GetRecord(f, n, rec), 0);
  ASSERT_EQ(CloseIndexedFile(f), 0);
  EXPECT_EQ(hooks_.calls,
            (std::vector<std::string>{"open", "lock", "unlock", "read", "end", "read", "end", "close"}));

  // Without coordination a file is local whatever its drive.
  SetNetworkHooks(nullptr);
  ASSERT_EQ(OpenIndexedFile(base(), false, true, f), 0);
  EXPECT_FALSE(IsNetworkMode(f));
  EXPECT_EQ(CloseIndexedFile(f), 0);
}

TEST_F(NetworkHooksTest, ObjectLayerRetriesTheWriteLockTenTimes) {
  RemoteFileSystem remote;
  pf::ScopedFileSystem use(remote);
  unsigned char buf[kRecLen];
  auto t = std::make_unique<IndexedTable>(base(), true, buf, true, TestKey, kRecLen);
  t->DefineKey(1, 30, true);
  t->DefineKey(2, 8, false);
  ASSERT_TRUE(t->NetworkMode());
  ASSERT_EQ(t->Open(), 0);
  hooks_.calls.clear();
  hooks_.refuseLocks = 2;
  FillRecord(buf, 1, "ONE");
  ASSERT_EQ(t->Add(), 0);
  EXPECT_EQ(std::count(hooks_.calls.begin(), hooks_.calls.end(), "lock"), 3);
  EXPECT_EQ(hooks_.calls.back(), "unlock");

  hooks_.calls.clear();
  hooks_.refuseLocks = 100;
  FillRecord(buf, 2, "TWO");
  EXPECT_EQ(t->Add(), kErrNoWriteLock);
  EXPECT_EQ(std::count(hooks_.calls.begin(), hooks_.calls.end(), "lock"), 10);
  EXPECT_EQ(std::count(hooks_.calls.begin(), hooks_.calls.end(), "unlock"), 0);
  hooks_.refuseLocks = 0;
  EXPECT_EQ(t->RecordCount(), 1) << "the refused change left the file alone";
}

}  // namespace
}  // namespace kandelo::test
