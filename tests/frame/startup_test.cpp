#include <gtest/gtest.h>

#include "frame/settings.h"
#include "frame/startup.h"
#include "support/test_support.h"

using namespace kandelo;

TEST(Startup, ShortDateFormatIsWidenedToFourDigitYears) {
  struct Case {
    const char* in;
    const char* out;
  };
  for (auto c : {Case{"dd.MM.yy", "dd.MM.yyyy"}, Case{"d.M.yy", "d.M.yyyy"}, Case{"M/d/yyyy", "M/d/yyyy"},
                 Case{"yy-MM-dd", "yyyy-MM-dd"}, Case{"dd.MM.", "dd.MM."}})
    EXPECT_EQ(WidenShortDateFormat(c.in), c.out) << c.in;
}

TEST(Startup, FailuresAreReportedAndStartUpContinues) {
  test::TempUserEnvironment env;
  test::RecordingUi ui;
  ScopedUiServices guard(ui);
  bool catalogueTried = false, released = false, closed = false;
  StartupSteps steps;
  steps.initEngine = [] { return 10007; };
  steps.openCatalogue = [&](std::string& fault) {
    catalogueTried = true;
    fault = "Base not Init : 9904";
    return false;
  };
  steps.closeCatalogue = [&] { closed = true; };
  steps.releaseEngine = [&] { released = true; };
  StartupState state = StartProgram(steps);
  EXPECT_FALSE(state.engineReady);
  EXPECT_FALSE(state.catalogueReady);
  EXPECT_TRUE(catalogueTried);
  EXPECT_EQ(state.faults, (std::vector<std::string>{"GB no init", "Base not Init : 9904", "Ldb not init"}));
  EXPECT_TRUE(ui.shown.empty()) << "the shell shows them";
  EXPECT_EQ(Settings().DbLangExt, ".GER");
  ShutdownProgram(steps, state);
  EXPECT_FALSE(closed);
  EXPECT_FALSE(released);

  steps.initEngine = [] { return 0; };
  steps.openCatalogue = [](std::string&) { return true; };
  state = StartProgram(steps);
  EXPECT_TRUE(state.faults.empty());
  EXPECT_TRUE(ui.shown.empty());
  ShutdownProgram(steps, state);
  EXPECT_TRUE(closed && released);
}

TEST(Startup, UpgradesTheCatalogueDataFile) {
  test::TempUserEnvironment env;
  LoadSettings();
  std::string header(20, '\0');
  header[12] = 100;
  test::writeFile(Settings().LumDb + ".DAT", header + std::string(100 - 20, '\0') + std::string(100, 'r'));
  StartProgram({});
  std::string data = test::readFile(Settings().LumDb + ".DAT");
  EXPECT_EQ(data.size(), 1024u);
  EXPECT_EQ(data[12], '\0');
  EXPECT_EQ(static_cast<unsigned char>(data[13]), 2);  // 512 = 0x200
}
