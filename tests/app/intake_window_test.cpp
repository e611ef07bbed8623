#include <gtest/gtest.h>

#include <filesystem>

#include "app/core_backend.h"
#include "storage/indexed_table.h"
#include "database/catalogue.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "platform/resources.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

namespace fsys = std::filesystem;

// The window's side of the intake: the wait window titled from the language
// file, showing each file; the overwrite question as a box with Yes, No,
// Cancel and All; a file's reader messages as boxes while the run goes on;
// and the report, with the record the browser goes to.
TEST(WindowIntake, TheWaitWindowTheQuestionAndTheMessagesAreTheWindows) {
  test::TempUserEnvironment env;
  LoadSettings();
  struct Ui : test::RecordingUi {
    std::vector<std::string> updates;
    std::vector<bool> cancellable;
    void updateWait(const std::string& text) override { updates.push_back(text); }
    void setWaitCancellable(bool on) override { cancellable.push_back(on); }
  } rec;
  ScopedUiServices scoped(rec);
  test::writeFile(env.root() + "/ORVMSG.ENG",
                  "[DEFAULT MESSAGES]\r\nDM_FILE=File\r\nDM_EXISTS=exists.\r\nDM_OVERWR=Overwrite?\r\nDM_WAIT=Wait\r\n");
  Settings().OrvMsgFile = env.root() + "/ORVMSG.ENG";
  ASSERT_EQ(InitDatabaseEngine(), 0);
  ASSERT_TRUE(InitCatalogue(Settings().LumDb));

  // A shipped EULUMDAT sample: the folder scan's default masks take it.
  const std::string ext = ".LDT";
  std::string sample;
  for (const std::string& res : platform::EmbeddedFiles("samples/"))
    if (sample.empty() && fsys::path(res).extension() == ext) sample = std::string(*platform::EmbeddedFile(res));
  ASSERT_FALSE(sample.empty());
  const std::string root = AddBackslash(Settings().LumDir2), outside = env.root() + "/outside/";
  fsys::create_directories(outside);
  test::writeFile(root + "a" + ext, sample);
  test::writeFile(outside + "a" + ext, sample);
  test::writeFile(outside + "new" + ext, sample);
  test::writeFile(outside + "bad.ies",
                  "IESNA:LM-63-1995\r\nTILT=NONE\r\n1 1000 1 3 1 1 2 0 0 0\r\n1 1 10\r\n0 50 40\r\n0\r\n100 50 10\r\n");
  {
    CoreBrowserBackend backend;
    rec.answers = {mrNo};
    const std::vector<std::string> files{outside + "a" + ext, outside + "bad.ies", outside + "new" + ext};
    std::int32_t first = -1;
    const IntakeReport report = backend.AddFiles(files, first);
    EXPECT_EQ(report.kept, 1);
    EXPECT_EQ(report.failed, 1);
    EXPECT_EQ(report.added, 1);
    ASSERT_EQ(report.entries.size(), 3u);
    EXPECT_GT(first, 0);
    EXPECT_EQ(first, report.entries[2].recNo);

    EXPECT_EQ(rec.waits, std::vector<std::string>{"Wait"});
    EXPECT_EQ(rec.updates, files);
    EXPECT_TRUE(rec.cancellable.empty()) << "a list of files runs to its end";
    ASSERT_EQ(rec.shown.size(), 2u);
    EXPECT_EQ(rec.shown[0].type, MsgType::Confirmation);
    EXPECT_EQ(rec.shown[0].text, "File a" + ext + " exists. Overwrite?");
    EXPECT_EQ(rec.shown[0].buttons.size(), 4u);
    EXPECT_EQ(rec.shown[1].type, MsgType::Error);
    EXPECT_NE(rec.shown[1].text.find("bad.ies"), std::string::npos) << rec.shown[1].text;

    // A folder: the same wait window, with its cancel button.
    rec.waits.clear();
    rec.shown.clear();
    const IntakeReport tree = backend.AddTree(outside);
    EXPECT_EQ(rec.waits, std::vector<std::string>{"Wait"});
    EXPECT_EQ(rec.cancellable, std::vector<bool>{true});
    EXPECT_EQ(tree.failed, 1);
    EXPECT_EQ(tree.added, 2);
  }
  CloseCatalogue();
  ReleaseDatabaseEngine();
}

}  // namespace
}  // namespace kandelo
