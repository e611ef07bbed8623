#include "conversion/catalogue_scan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <tuple>

#include "conversion/feedback.h"
#include "database/catalogue.h"
#include "frame/msgmanager.h"
#include "frame/pathlist.h"
#include "frame/scan.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "platform/fileio.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

namespace fsys = std::filesystem;
namespace pf = kandelo::platform;
using test::readFile;
using test::writeFile;

// A small rotationally symmetric EULUMDAT file written by the program itself.
void writeLdt(const std::string& path, const std::string& name) {
  TLUM32 lum;
  ASSERT_TRUE(lum.CreateNew(path, psCGamma, symRotational, 0, 1, 0, 0, 0, {}, 19, 0, 5, 90, {}));
  for (int j = 1; j <= 19; ++j) lum.SetValue(1, j, 300.0f - 15.0f * float(j - 1));
  lum.LumName = name;
  lum.LumNumber = "N-" + name.substr(0, 10);
  lum.Manufacturer = "Maker";
  lum.Length = 600;
  lum.Width = 600;
  lum.LampSetCount = 1;
  lum.LampSets[0].LampCount = 2;
  lum.LampSets[0].LampType = "T8 36W";
  lum.LampSets[0].LampFlux = 3350;
  lum.LampSets[0].SetFlux = 6700;
  lum.LampSets[0].SetWatt = 72;
  lum.LOR = 80;
  ASSERT_TRUE(lum.SaveAs(fmtEulumdat, path));
}

class ScanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadSettings();
    root = AddBackslash(Settings().LumDir2);
    ASSERT_TRUE(fsys::is_directory(root));
    writeFile(env.root() + "/ORVMSG.ENG",
              "[DEFAULT MESSAGES]\r\nDM_FILE=File\r\nDM_EXISTS=exists.\r\nDM_OVERWR=Overwrite?\r\nDM_WAIT=Wait\r\n");
    msgs = std::make_unique<TMsgManager>(env.root() + "/ORVMSG.ENG");
    ASSERT_EQ(InitDatabaseEngine(), 0);
    ASSERT_TRUE(InitCatalogue(Settings().LumDb));
    fsys::create_directories(root + "sub/deeper");
    for (const char* n : {"a.ldt", "B.LDT", "sub/Long luminaire name with spaces.Ldt",
                          "sub/deeper/another very long file name.LDT", "sub/other long name X.ldt"})
      writeLdt(root + n, fsys::path(n).stem().string());
    writeFile(root + "broken.ldt", "not a photometric file\n");
    writeFile(root + "notes.txt", "x");
  }
  void TearDown() override {
    CloseCatalogue();
    ReleaseDatabaseEngine();
  }
  // Record bytes by key 6, the catalogue's identity of a file.
  std::map<std::string, std::string> snapshot() {
    std::map<std::string, std::string> out;
    IndexedTable& t = *Catalogue();
    t.SelectKey(6);
    t.ResetKey();
    std::string k;
    while (t.NextKey(k) == 0) {
      TCatalogueRecord r;
      EXPECT_TRUE(ReadCatalogueRecord(t.CurrentRecordNumber(), r));
      out[k] = std::string(reinterpret_cast<const char*>(r.data()), r.bytes.size());
    }
    return out;
  }
  void expectConsistent() {
    IndexedTable& t = *Catalogue();
    for (int k = 1; k <= 6; ++k) {
      t.SelectKey(k);
      EXPECT_EQ(t.EntryCount(), t.RecordCount()) << "key " << k;
    }
  }

  // One file through the intake, with the run's overwrite question.
  AddOutcome add(const std::string& path, TPathList& paths) {
    return AddFileToCatalogue(path, paths, *msgs, run).outcome;
  }
  // The messages of a report's entries, in order.
  static std::vector<std::string> messagesOf(const IntakeReport& report) {
    std::vector<std::string> out;
    for (const auto& e : report.entries)
      for (const auto& t : e.messages.texts()) out.push_back(t);
    return out;
  }

  test::TempUserEnvironment env;
  // The intake shows nothing: whatever reaches the user interface is a fault.
  test::RecordingUi ui;
  ScopedUiServices uiGuard{ui};
  std::unique_ptr<TMsgManager> msgs;
  std::string root;
  // The overwrite questions asked, answered from `answers` (then with No).
  std::vector<std::string> questions;
  std::vector<OverwriteAnswer> answers;
  IntakeRun run = [this] {
    IntakeRun r;
    r.askOverwrite = [this](const std::string& q) {
      questions.push_back(q);
      if (answers.empty()) return OverwriteAnswer::No;
      const OverwriteAnswer a = answers.front();
      answers.erase(answers.begin());
      return a;
    };
    return r;
  }();
};

TEST_F(ScanTest, ScanningTheSameTreeTwiceChangesNothing) {
  TPathList paths(PathListFileName());
  IntakeReport first = AddAllBelowRoot(paths, *msgs, run);
  EXPECT_EQ(first.added, 5);
  EXPECT_EQ(first.failed, 1);
  EXPECT_EQ(first.entries.size(), 6u);
  // The failure list lies in the program directory, one line per failure.
  EXPECT_EQ(ErrorListPath(), env.dataDir() + "/XX.DAT");
  EXPECT_EQ(readFile(ErrorListPath()), root + "broken.ldt\r\n");
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_TRUE(ui.waits.empty()) << "the wait window is the caller's";

  // Every record leads back to its file, under its real name.
  const auto before = snapshot();
  ASSERT_EQ(before.size(), 5u);
  for (const auto& [key, bytes] : before) {
    TCatalogueRecord r;
    std::copy(bytes.begin(), bytes.end(), reinterpret_cast<char*>(r.data()));
    EXPECT_TRUE(fsys::exists(CatalogueFilePath(r, paths))) << CatalogueFilePath(r, paths);
    EXPECT_EQ(r.FormatCode(), fmtEulumdat);
    EXPECT_EQ(r.LampType(), "T8 36W");
    EXPECT_EQ(r.GetI16(catoff::LumLength), 600);
  }
  const std::string pathFile = readFile(PathListFileName());

  IntakeReport second = AddAllBelowRoot(paths, *msgs, run);
  EXPECT_EQ(second.added, 0);
  EXPECT_EQ(second.updated, 5);
  EXPECT_EQ(readFile(ErrorListPath()), root + "broken.ldt\r\n" + root + "broken.ldt\r\n") << "appended";
  auto after = snapshot();
  // Updating stores factor 1 where it was 0; nothing else may move.
  for (auto& [key, bytes] : after) bytes.replace(catoff::Factor, 4, std::string(4, '\0'));
  EXPECT_EQ(after, before);
  EXPECT_EQ(readFile(PathListFileName()), pathFile);
  expectConsistent();
}

// Files are loaded on a second thread while the catalogue stores them. The
// records, the failures and the messages, in their order, are those of
// loading the files one by one (a fault-injecting file system keeps the scan
// on one thread), and nothing is shown on either thread.
TEST_F(ScanTest, LoadingAheadOnASecondThreadGivesWhatLoadingOneByOneGives) {
  const std::string badIes =
      "IESNA:LM-63-1995\r\nTILT=NONE\r\n1 1000 1 3 1 1 2 0 0 0\r\n1 1 10\r\n0 50 40\r\n0\r\n100 50 10\r\n";
  for (const char* n : {"sub/bad 1.ies", "sub/deeper/bad 2.ies", "bad 3.ies"}) writeFile(root + n, badIes);
  for (int i = 0; i < 150; ++i) writeLdt(root + "sub/many " + std::to_string(i) + ".ldt", "Many " + std::to_string(i));
  auto scan = [&] {
    CloseCatalogue();
    for (const char* ext : {".DAT", ".IDX"}) pf::fs().removeFile(Settings().LumDb + ext);
    pf::fs().removeFile(ErrorListPath());
    EXPECT_TRUE(InitCatalogue(Settings().LumDb));
    TPathList paths(PathListFileName());
    const IntakeReport c = AddAllBelowRoot(paths, *msgs, run);
    EXPECT_TRUE(ui.shown.empty());
    return std::make_tuple(c.added, c.failed, snapshot(), messagesOf(c), readFile(ErrorListPath()));
  };
  const auto ahead = scan();
  EXPECT_EQ(std::get<0>(ahead), 155);
  EXPECT_EQ(std::get<1>(ahead), 4);
  const std::vector<std::string> texts = std::get<3>(ahead);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_NE(texts[0].find("bad 3.ies"), std::string::npos) << "the root's files come first";
  EXPECT_NE(texts[1].find("bad 1.ies"), std::string::npos);
  EXPECT_NE(texts[2].find("bad 2.ies"), std::string::npos);

  pf::FaultInjectingFileSystem counting;
  pf::ScopedFileSystem use(counting);
  EXPECT_EQ(scan(), ahead);
  CloseCatalogue();  // its files are handles of the counting file system
}

TEST_F(ScanTest, FilesOutsideTheRootAreCopiedInAskingBeforeOverwriting) {
  TPathList paths(PathListFileName());
  paths.AddPath(Settings().LumDir1);
  const std::string outside = env.root() + "/outside/";
  fsys::create_directories(outside);
  writeLdt(outside + "a.ldt", "outside version");
  writeLdt(outside + "new luminaire from elsewhere.ldt", "elsewhere");
  ASSERT_EQ(add(root + "a.ldt", paths), AddOutcome::Added);

  // "No": the file in the root stays, and so does the catalogue: its entry is
  // not rewritten, and a file of that name that had none does not get one
  // (it is another luminaire than the one the user chose).
  writeLdt(root + "b.ldt", "uncatalogued b");
  writeLdt(outside + "b.ldt", "outside b");
  const std::string before = readFile(Settings().LumDb + ".DAT");
  for (const char* name : {"a.ldt", "b.ldt"}) {
    answers = {OverwriteAnswer::No};
    EXPECT_EQ(add(outside + name, paths), AddOutcome::Kept) << name;
  }
  ASSERT_EQ(questions.size(), 2u);
  EXPECT_EQ(questions[0], "File a.ldt exists. Overwrite?");
  EXPECT_EQ(Catalogue()->RecordCount(), 1);
  EXPECT_EQ(readFile(Settings().LumDb + ".DAT"), before);
  TLUM32 lum;
  ASSERT_TRUE(LoadLuminaire(root + "a.ldt", lum, LoadValues::AsRead).ok());
  EXPECT_EQ(lum.LumName, "a");
  questions.clear();

  // "All": copied, and no further question in this run.
  answers = {OverwriteAnswer::All};
  EXPECT_EQ(add(outside + "a.ldt", paths), AddOutcome::Updated);
  EXPECT_TRUE(run.overwriteAll);
  ASSERT_TRUE(LoadLuminaire(root + "a.ldt", lum, LoadValues::AsRead).ok());
  EXPECT_EQ(lum.LumName, "outside version");
  EXPECT_EQ(add(outside + "a.ldt", paths), AddOutcome::Updated);
  EXPECT_EQ(questions.size(), 1u);

  EXPECT_EQ(add(outside + "new luminaire from elsewhere.ldt", paths), AddOutcome::Added);
  EXPECT_TRUE(fsys::exists(root + "new luminaire from elsewhere.ldt"));
  EXPECT_EQ(Catalogue()->RecordCount(), 2);
  EXPECT_EQ(paths.Count(), 1);  // everything went to the root, index 0
}

TEST_F(ScanTest, TheRootThroughALinkIsNotCopiedOntoItself) {
  TPathList paths(PathListFileName());
  const std::string link = env.root() + "/link-to-root";
  fsys::create_directory_symlink(root, link);
  const std::string before = readFile(root + "a.ldt");
  EXPECT_EQ(add(link + "/a.ldt", paths), AddOutcome::Added);
  EXPECT_TRUE(questions.empty());
  EXPECT_EQ(readFile(root + "a.ldt"), before);
}

// Reports one file as read-only whoever runs the test (root may write anything).
class ReadOnlyFile : public platform::FaultInjectingFileSystem {
 public:
  explicit ReadOnlyFile(std::string path) : path_(std::move(path)) {}
  std::optional<std::uint32_t> attributes(const std::string& p) override {
    auto a = FaultInjectingFileSystem::attributes(p);
    if (a && p == path_) *a |= platform::faReadOnly;
    return a;
  }

 private:
  std::string path_;
};

TEST_F(ScanTest, FilesThatCannotBeFoundAgainAreRefused) {
  {
    TPathList paths(PathListFileName());
    paths.AddPath(root);
    ASSERT_TRUE(paths.SavePathList());
  }
  // A name longer than the record can keep.
  const std::string tooLong = root + std::string(170, 'n') + ".ldt";
  writeLdt(tooLong, "long");
  // A directory the read-only path list cannot take: its index would not last.
  ReadOnlyFile readOnly(PathListFileName());
  platform::ScopedFileSystem guard(readOnly);
  TPathList paths(PathListFileName());
  EXPECT_EQ(add(tooLong, paths), AddOutcome::Failed);
  EXPECT_EQ(add(root + "sub/other long name X.ldt", paths), AddOutcome::Failed);
  EXPECT_EQ(add(root + "a.ldt", paths), AddOutcome::Added);
  EXPECT_EQ(readFile(ErrorListPath()), tooLong + "\r\n" + root + "sub/other long name X.ldt\r\n");
  EXPECT_EQ(Catalogue()->RecordCount(), 1);
}

TEST_F(ScanTest, NoLuminaireRootAddsNothing) {
  TPathList paths(PathListFileName());
  fsys::remove_all(Settings().LumDir1);
  fsys::remove_all(Settings().LumDir2);
  writeLdt(env.root() + "/x.ldt", "x");
  EXPECT_EQ(add(env.root() + "/x.ldt", paths), AddOutcome::NoRoot);
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(Catalogue()->RecordCount(), 0);
  EXPECT_FALSE(fsys::exists(ErrorListPath())) << "a single file without a root is no failure";

  // A list taken in as a whole counts each such file as failed, and lists it.
  const IntakeReport list = AddFilesToCatalogue({env.root() + "/x.ldt"}, paths, *msgs, run);
  EXPECT_EQ(list.failed, 1);
  ASSERT_EQ(list.Failures().size(), 1u);
  EXPECT_EQ(list.Failures()[0]->why, AddFailure::NoRoot);
  EXPECT_EQ(readFile(ErrorListPath()), env.root() + "/x.ldt\r\n");
}

// The process "dies" after the N-th change on disk during a scan; the next
// start opens a consistent catalogue, which rebuilds, and a new scan completes it.
TEST_F(ScanTest, InterruptedScanLeavesACatalogueThatOpensAndRebuilds) {
  // A scan of this tree and the close after it make about seven changes on
  // disk (the page cache writes back when the file is flushed or closed).
  for (int n = 1; n <= 9; ++n) {
    SCOPED_TRACE(n);
    CloseCatalogue();
    {
      platform::FaultInjectingFileSystem faulty;
      platform::ScopedFileSystem guard(faulty);
      ASSERT_TRUE(InitCatalogue(Settings().LumDb));
      faulty.crashAfterWrites = faulty.mutations + n;
      TPathList paths(PathListFileName());
      AddAllBelowRoot(paths, *msgs, run);
      CloseCatalogue();
      ReleaseDatabaseEngine();
    }
    ASSERT_EQ(InitDatabaseEngine(), 0);
    ASSERT_TRUE(InitCatalogue(Settings().LumDb));
    expectConsistent();
    EXPECT_EQ(RebuildCatalogue(), 0);
    ASSERT_NE(Catalogue(), nullptr);
    TPathList paths(PathListFileName());
    IntakeReport c = AddAllBelowRoot(paths, *msgs, run);
    EXPECT_EQ(c.added + c.updated, 5);
    EXPECT_EQ(Catalogue()->RecordCount(), 5);
    expectConsistent();
    ASSERT_TRUE(DeleteWholeCatalogue());
  }
}

// The user cancels "add all" under the wait window after a few files: what
// was stored stays, whole, the rest is not touched, and a second run takes
// the rest in.
TEST_F(ScanTest, CancellingHalfwayKeepsWhatWasStoredAndASoundCatalogue) {
  struct Stopping : Feedback {
    std::size_t after = 3, asked = 0;
    std::vector<std::pair<std::size_t, std::size_t>> progress;
    std::vector<std::string> texts;
    bool IsCancelled() override { return ++asked > after; }
    void Progress(std::size_t done, std::size_t total) override { progress.emplace_back(done, total); }
    void ProgressText(const std::string& text) override { texts.push_back(text); }
  } stop;
  run.feedback = &stop;
  TPathList paths(PathListFileName());
  const IntakeReport first = AddAllBelowRoot(paths, *msgs, run);
  EXPECT_TRUE(first.cancelled);
  EXPECT_EQ(first.added + first.failed, 3);
  EXPECT_EQ(first.entries.size(), 3u);
  ASSERT_EQ(stop.progress.size(), 3u);
  EXPECT_EQ(stop.progress.back(), std::make_pair(std::size_t(2), std::size_t(6)));
  ASSERT_EQ(stop.texts.size(), 3u);
  EXPECT_EQ(stop.texts.back().rfind("3 / 6   " + root, 0), 0u) << stop.texts.back();
  EXPECT_EQ(Catalogue()->RecordCount(), first.added);
  expectConsistent();
  for (const auto& [key, bytes] : snapshot()) {
    TCatalogueRecord r;
    std::copy(bytes.begin(), bytes.end(), reinterpret_cast<char*>(r.data()));
    EXPECT_TRUE(fsys::exists(CatalogueFilePath(r, paths))) << CatalogueFilePath(r, paths);
  }

  stop.after = 1000;
  const IntakeReport second = AddAllBelowRoot(paths, *msgs, run);
  EXPECT_FALSE(second.cancelled);
  EXPECT_EQ(second.added + second.updated, 5);
  EXPECT_EQ(stop.progress.back(), std::make_pair(std::size_t(6), std::size_t(6)));
  EXPECT_EQ(Catalogue()->RecordCount(), 5);
  expectConsistent();
}

// The report of a list of files: one entry per file looked at, in order, with
// its outcome, its record and its messages; the failure list gets exactly the
// failures, and the caller hears of each file once, as the run comes to it.
TEST_F(ScanTest, TheReportTellsWhatBecameOfEachFile) {
  TPathList paths(PathListFileName());
  paths.AddPath(Settings().LumDir1);
  const std::string outside = env.root() + "/outside/";
  fsys::create_directories(outside);
  for (const char* n : {"a.ldt", "new 1.ldt", "new 2.ldt", "new 3.ldt", "new 4.ldt"}) writeLdt(outside + n, n);
  writeFile(root + "bad.ies", "IESNA:LM-63-1995\r\nTILT=NONE\r\n1 1000 1 3 1 1 2 0 0 0\r\n1 1 10\r\n0 50 40\r\n0\r\n100 50 10\r\n");
  const IntakeEntry first = AddFileToCatalogue(root + "a.ldt", paths, *msgs, run);
  ASSERT_EQ(first.outcome, AddOutcome::Added);
  const std::int32_t recOfA = first.recNo;

  struct Expected {
    AddOutcome outcome;
    AddFailure why;
    const char* message;  // a fragment of the only message, or "" for none
  };
  struct Case {
    const char* name;
    std::vector<std::string> files;
    std::size_t stopAfter;  // files before the caller cancels; 0: never
    bool cancelled;
    std::vector<Expected> entries;
  };
  const Case cases[] = {
      {"added from outside", {outside + "new 1.ldt"}, 0, false, {{AddOutcome::Added, AddFailure::None, ""}}},
      {"updated where it lies", {root + "a.ldt"}, 0, false, {{AddOutcome::Updated, AddFailure::None, ""}}},
      {"failed with the reader's message", {root + "bad.ies"}, 0, false,
       {{AddOutcome::Failed, AddFailure::NotLoaded, "bad.ies"}}},
      {"kept after no", {outside + "a.ldt"}, 0, false, {{AddOutcome::Kept, AddFailure::None, ""}}},
      {"cancelled midway", {outside + "new 2.ldt", outside + "new 3.ldt", outside + "new 4.ldt"}, 1, true,
       {{AddOutcome::Added, AddFailure::None, ""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pf::fs().removeFile(ErrorListPath());
    questions.clear();
    Feedback feedback;
    run.feedback = &feedback;
    std::vector<std::string> heard;
    run.fileDone = [&](const IntakeEntry& e) {
      heard.push_back(e.path);
      if (heard.size() == c.stopAfter) feedback.Cancel();
    };
    const IntakeReport report = AddFilesToCatalogue(c.files, paths, *msgs, run);
    EXPECT_EQ(report.cancelled, c.cancelled);
    ASSERT_EQ(report.entries.size(), c.entries.size());
    std::string listed;
    for (std::size_t i = 0; i < c.entries.size(); ++i) {
      const IntakeEntry& e = report.entries[i];
      const Expected& x = c.entries[i];
      EXPECT_EQ(e.outcome, x.outcome);
      EXPECT_EQ(e.why, x.why);
      EXPECT_EQ(heard.at(i), e.path);
      if (*x.message) {
        ASSERT_EQ(e.messages.items.size(), 1u);
        EXPECT_EQ(e.messages.items[0].severity, Severity::Error);
        EXPECT_NE(e.messages.items[0].text.find(x.message), std::string::npos) << e.messages.items[0].text;
      } else {
        EXPECT_TRUE(e.messages.empty()) << e.messages.joined();
      }
      if (e.outcome == AddOutcome::Failed) listed += e.path + "\r\n";
      if (e.outcome == AddOutcome::Added || e.outcome == AddOutcome::Updated) {
        // The record is that of the file, which lies below the root.
        TCatalogueRecord r;
        ASSERT_TRUE(ReadCatalogueRecord(e.recNo, r));
        EXPECT_EQ(CatalogueFilePath(r, paths), e.path);
        EXPECT_EQ(e.path.rfind(root, 0), 0u) << e.path;
        if (e.outcome == AddOutcome::Updated) {
          EXPECT_EQ(e.recNo, recOfA);
        }
      } else {
        EXPECT_EQ(e.recNo, 0);
      }
    }
    EXPECT_EQ(heard.size(), report.entries.size());
    EXPECT_EQ(report.added + report.updated + report.failed + report.kept, static_cast<int>(report.entries.size()));
    EXPECT_EQ(fsys::exists(ErrorListPath()) ? readFile(ErrorListPath()) : std::string(), listed);
    EXPECT_EQ(questions.size(), std::string(c.name) == "kept after no" ? 1u : 0u);
  }
  // The cancelled run left the files after the first alone.
  EXPECT_FALSE(fsys::exists(root + "new 3.ldt"));
  EXPECT_TRUE(ui.shown.empty());
}

}  // namespace
}  // namespace kandelo

namespace kandelo {
namespace {

// Real files of every kind and quality: each loadable one ends up in the
// catalogue once, under a path that leads back to it.
TEST_F(ScanTest, ScanningTheCorpusCataloguesEveryLoadableFileOnce) {
  if (!test::corpusAvailable()) GTEST_SKIP() << "corpus not available";
  const std::string corpus = fsys::canonical(test::corpusPath("")).string();
  std::map<std::string, int> expected;  // loadable file -> times found in the catalogue
  int unloadable = 0;
  const std::vector<std::string> files = CollectLuminaireFiles(corpus);
  ASSERT_FALSE(files.empty());
  for (const auto& f : files) {
    TLUM32 lum;
    lum.OemTexts = 1;
    TCatalogueRecord rec;
    if (LoadLuminaire(f, lum, LoadValues::AsRead).ok() && FillCatalogueRecord(lum, rec))
      expected[f] = 0;
    else
      ++unloadable;
  }
  ASSERT_FALSE(expected.empty());

  TPathList paths(PathListFileName());
  const IntakeReport first = AddTreeToCatalogue(corpus, paths, *msgs, run);
  EXPECT_EQ(first.added, static_cast<int>(expected.size()));
  EXPECT_EQ(first.failed, unloadable);
  const auto before = snapshot();
  for (const auto& [key, bytes] : before) {
    TCatalogueRecord r;
    std::copy(bytes.begin(), bytes.end(), reinterpret_cast<char*>(r.data()));
    const std::string path = CatalogueFilePath(r, paths);
    auto it = expected.find(path);
    if (it == expected.end())
      ADD_FAILURE() << "record of no loadable file: " << path;
    else
      ++it->second;
  }
  for (const auto& [file, times] : expected) EXPECT_EQ(times, 1) << file;
  for (const auto& line : paths.Lines()) EXPECT_TRUE(fsys::is_directory(line)) << line;
  expectConsistent();

  const std::string pathFile = readFile(PathListFileName());
  const IntakeReport second = AddTreeToCatalogue(corpus, paths, *msgs, run);
  EXPECT_EQ(second.added, 0);
  EXPECT_EQ(second.updated, static_cast<int>(expected.size()));
  auto after = snapshot();
  auto clearFactor = [](std::map<std::string, std::string>& m) {
    for (auto& [key, bytes] : m) bytes.replace(catoff::Factor, 4, std::string(4, '\0'));
  };
  auto beforeCleared = before;
  clearFactor(beforeCleared);
  clearFactor(after);
  EXPECT_EQ(after, beforeCleared);
  EXPECT_EQ(readFile(PathListFileName()), pathFile);
}

}  // namespace
}  // namespace kandelo
