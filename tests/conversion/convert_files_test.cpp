#include "conversion/convert_files.h"
#include "conversion/save_luminaire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "storage/indexed_table.h"
#include "database/catalogue.h"
#include "conversion/catalogue_scan.h"
#include "frame/pathlist.h"
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

// A small EULUMDAT file written by the program itself.
void writeLdt(const std::string& path, const std::string& name, float peak = 300) {
  TLUM32 lum;
  ASSERT_TRUE(lum.CreateNew(path, psCGamma, symRotational, 0, 1, 0, 0, 0, {}, 19, 0, 5, 90, {}));
  for (int j = 1; j <= 19; ++j) lum.SetValue(1, j, peak - peak / 20 * float(j - 1));
  lum.LumName = name;
  lum.LumNumber = "N-" + name;
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

ConversionSettings settingsFor(int entry, const std::string& dir) {
  ConversionSettings s;
  s.DstFormat = entry;
  s.DstDir = dir;
  s.DstExt = ConversionDestinations()[static_cast<std::size_t>(entry)].extension;
  return s;
}

std::vector<std::string> filesIn(const std::string& dir) {
  std::vector<std::string> out;
  for (const auto& e : fsys::directory_iterator(dir)) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

// Reports a chosen kind for the directories below a prefix.
class KindFileSystem : public pf::FaultInjectingFileSystem {
 public:
  std::map<std::string, pf::DriveKind> kinds;
  pf::DriveKind driveKind(const std::string& p) override {
    for (const auto& [prefix, kind] : kinds)
      if (p.rfind(prefix, 0) == 0) return kind;
    return FaultInjectingFileSystem::driveKind(p);
  }
};

TEST(ConvertedFileName, FollowsTheNamingRules) {
  struct Case {
    std::string source;
    std::uint8_t format;
    std::string ext, want;
  } cases[] = {
      {"/src/A1234.001", fmtLtli, "LDT", "/dst/A1234001.LDT"},
      {"/src/ABCDEFGH.001", fmtLtli, "LDT", "/dst/ABCDEFGH.LDT"},
      {"/src/AB.C.001", fmtLtli, "IES", "/dst/ABC.001.IES"},
      {"/src/leuchte.ies", fmtIes95, "LDT", "/dst/leuchte.LDT"},
      {"/src/leuchte", fmtEulumdat, "CIB", "/dst/leuchte.CIB"},
      {"/src/a long name.with.dots.ldt", fmtEulumdat, "L32", "/dst/a long name.with.dots.L32"},
  };
  for (const auto& c : cases) {
    ConversionSettings s;
    s.DstDir = "/dst";
    s.DstExt = c.ext;
    EXPECT_EQ(ConvertedFileName(c.source, c.format, s), c.want) << c.source;
  }
}

TEST(TargetNameForFormat, ReplacesOnlyKnownExtensionsOfOtherFormats) {
  struct Case {
    const char* name;
    std::uint8_t code;
    const char* want;
  } cases[] = {
      {"leuchte", fmtTm14, "leuchte.CIB"},         {"leuchte.", fmtLum32, "leuchte.L32"},
      {"leuchte.ies", fmtEulumdat, "leuchte.LDT"}, {"leuchte.Cib", fmtEulumdat, "leuchte.LDT"},
      {"leuchte.PIN", fmtEulumdat, "leuchte.PIN"}, {"leuchte.lve", fmtEulumdat, "leuchte.lve"},
      {"leuchte.PIN", fmtLum32, "leuchte.L32"},    {"leuchte.txt", fmtIes95, "leuchte.txt"},
      {"leuchte.ldt", fmtIes86, "leuchte.IES"},    {"leuchte.ies", fmtLtli, "leuchte.ies"},
  };
  for (const auto& c : cases) EXPECT_EQ(TargetNameForFormat(c.name, c.code), c.want) << c.name;
}

class ConvertFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadSettings();
    fsys::create_directories(src());
    fsys::create_directories(dst());
    writeLdt(src() + "/a.ldt", "A", 300);
    writeLdt(src() + "/b.ldt", "B", 500);
  }
  std::string src() const { return env.root() + "/src"; }
  std::string dst() const { return env.root() + "/dst"; }
  std::vector<std::string> sources() const { return {src() + "/a.ldt", src() + "/b.ldt"}; }

  test::TempUserEnvironment env;
  test::RecordingUi ui;
  ScopedUiServices scope{ui};
};

TEST_F(ConvertFilesTest, EveryDestinationWritesLoadableFilesUnderTheirNames) {
  for (int entry = 0; entry < 6; ++entry) {
    const auto& d = ConversionDestinations()[static_cast<std::size_t>(entry)];
    SCOPED_TRACE(d.caption);
    const std::string out = dst() + "/" + std::to_string(entry);
    fsys::create_directories(out);
    ConversionReport r = ConvertFiles(sources(), settingsFor(entry, out));
    ASSERT_FALSE(r.stopped) << r.stopReason;
    EXPECT_EQ(r.written, 2);
    EXPECT_EQ(filesIn(out), (std::vector<std::string>{std::string("a.") + d.extension, std::string("b.") + d.extension}));
    TLUM32 lum;
    ASSERT_TRUE(LoadLuminaire(out + "/b." + d.extension, lum, LoadValues::AsRead).ok());
    // IES 86 and 91 read back as the version their header says.
    if (d.code != fmtIes86 && d.code != fmtIes91) {
      EXPECT_EQ(lum.FormatCode, d.code);
    }
    if (d.code != fmtIes86) {  // LM-63-1986 has no keywords for the texts
      EXPECT_EQ(lum.LumName, "B");
    }
    lum.CalcFlux();
    EXPECT_NEAR(lum.Intensity(0, 0), 500, 0.5);
  }
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ConvertFilesTest, AnLm63Of1986KeepsATextThatLooksLikeTheTiltLine) {
  TLUM32 lum;
  ASSERT_TRUE(LoadLuminaire(src() + "/a.ldt", lum, LoadValues::AsRead).ok());
  lum.LumName = "TILT=INCLUDE fixture";
  ASSERT_TRUE(lum.SaveAs(fmtEulumdat, src() + "/a.ldt"));
  ConversionReport r = ConvertFiles({src() + "/a.ldt"}, settingsFor(3, dst()));
  ASSERT_EQ(r.written, 1);
  ASSERT_TRUE(LoadLuminaire(dst() + "/a.IES", lum, LoadValues::AsRead).ok());
  lum.CalcFlux();
  EXPECT_NEAR(lum.Intensity(0, 0), 300, 0.5);
}

TEST_F(ConvertFilesTest, SaveAsWritesAndReloadsButRefusesLtli) {
  TLUM32 lum;
  ASSERT_TRUE(LoadLuminaire(src() + "/b.ldt", lum, LoadValues::AsRead).ok());
  // LTLI has no writer: nothing is written, and a file of that name is not loaded.
  writeLdt(dst() + "/other.ltl", "Other");
  SaveAsResult r = SaveLuminaireAs(lum, fmtLtli, dst() + "/other.ltl");
  EXPECT_TRUE(r.written.empty());
  EXPECT_NE(r.error.find("LTLI"), std::string::npos) << r.error;
  EXPECT_EQ(lum.LumName, "B");
  EXPECT_EQ(lum.FileName, src() + "/b.ldt");
  // TM14 under a name without extension: leuchte.CIB, loaded from there.
  r = SaveLuminaireAs(lum, fmtTm14, dst() + "/leuchte");
  EXPECT_EQ(r.written, dst() + "/leuchte.CIB");
  EXPECT_EQ(lum.FileName, dst() + "/leuchte.CIB");
  EXPECT_EQ(lum.FormatCode, fmtTm14);
  EXPECT_EQ(lum.LumName, "B");
}

// "Save as": an extension that names a writable format decides the format,
// whatever the filter; any other name takes the filter's format.
TEST_F(ConvertFilesTest, SaveAsFollowsTheTypedExtension) {
  struct Case {
    const char* name;
    std::uint8_t filter, format;
  } cases[] = {
      {"road-saveas.ies", fmtEulumdat, fmtIes95}, {"road.IES", fmtIes86, fmtIes86},
      {"road.ldt", fmtTm14, fmtEulumdat},         {"road.L32", fmtEulumdat, fmtLum32},
      {"road.cib", fmtIes91, fmtTm14},            {"road", fmtTm14, fmtTm14},
      {"road.ltl", fmtEulumdat, fmtEulumdat},     {"road.txt", fmtLum32, fmtLum32},
      {"road.iesx", fmtEulumdat, fmtEulumdat},
  };
  for (const Case& c : cases) EXPECT_EQ(SaveAsFormat(c.name, c.filter), c.format) << c.name;
  TLUM32 lum;
  ASSERT_TRUE(LoadLuminaire(src() + "/b.ldt", lum, LoadValues::AsRead).ok());
  const std::string typed = dst() + "/road-saveas.ies";
  const SaveAsResult r = SaveLuminaireAs(lum, SaveAsFormat(typed, fmtEulumdat), typed);
  EXPECT_EQ(r.written, typed);
  EXPECT_EQ(test::readFile(typed).rfind("IESNA", 0), 0u);
  EXPECT_FALSE(fsys::exists(dst() + "/road-saveas.LDT"));
}

TEST_F(ConvertFilesTest, Tm14VersionTwoCarriesTheCibseSection) {
  ConversionReport r = ConvertFiles({src() + "/a.ldt"}, settingsFor(2, dst()));
  ASSERT_EQ(r.written, 1);
  EXPECT_NE(test::readFile(dst() + "/a.CIB").find("CIBSE/2"), std::string::npos);
}

TEST_F(ConvertFilesTest, RefusedDestinationsWriteNothing) {
  KindFileSystem kinds;
  kinds.kinds[env.root() + "/cd"] = pf::DriveKind::ReadOnly;
  pf::ScopedFileSystem guard(kinds);
  fsys::create_directories(env.root() + "/cd");
  struct Case {
    int entry;
    std::string dir, reason;
  } cases[] = {
      {6, dst(), "LTLI files cannot be written"},
      {1, env.root() + "/missing", "does not exist"},
      {1, env.root() + "/cd", "read-only"},
  };
  for (const auto& c : cases) {
    ConversionReport r = ConvertFiles(sources(), settingsFor(c.entry, c.dir));
    EXPECT_TRUE(r.stopped);
    EXPECT_NE(r.stopReason.find(c.reason), std::string::npos) << r.stopReason;
    EXPECT_EQ(r.written, 0);
  }
  EXPECT_TRUE(filesIn(dst()).empty());
  EXPECT_TRUE(filesIn(env.root() + "/cd").empty());
}

TEST_F(ConvertFilesTest, SameTargetAndUnreadableFilesAreSkippedAndTheRunGoesOn) {
  test::writeFile(src() + "/broken.ldt", "not a photometric file\n");
  // a.ies maps to a.LDT as a.ldt does: the first one written stays.
  TLUM32 lum;
  ASSERT_TRUE(LoadLuminaire(src() + "/b.ldt", lum, LoadValues::AsRead).ok());
  ASSERT_TRUE(lum.SaveAs(fmtIes95, src() + "/a.ies"));
  ConversionReport r =
      ConvertFiles({src() + "/a.ldt", src() + "/broken.ldt", src() + "/a.ies", src() + "/b.ldt"}, settingsFor(1, dst()));
  EXPECT_FALSE(r.stopped);
  EXPECT_EQ(r.written, 2);
  EXPECT_EQ(r.skipped, 2);
  ASSERT_EQ(r.files.size(), 4u);
  EXPECT_FALSE(r.files[1].written);
  EXPECT_FALSE(r.files[1].reason.empty());
  EXPECT_FALSE(r.files[2].written);
  EXPECT_NE(r.files[2].reason.find("a.ldt"), std::string::npos) << r.files[2].reason;
  ASSERT_TRUE(LoadLuminaire(dst() + "/a.LDT", lum, LoadValues::AsRead).ok());
  EXPECT_EQ(lum.LumName, "A");
  EXPECT_TRUE(ui.shown.empty());  // messages go with the file, not into boxes
}

TEST_F(ConvertFilesTest, AFailedWriteKeepsTheOldTargetAndLeavesNoTemporaryFile) {
  test::writeFile(dst() + "/a.LDT", "old content");
  pf::FaultInjectingFileSystem faults;
  faults.shortWriteAt = 1;
  {
    pf::ScopedFileSystem guard(faults);
    ConversionReport r = ConvertFiles({src() + "/a.ldt"}, settingsFor(1, dst()));
    EXPECT_EQ(r.written, 0);
    EXPECT_EQ(r.skipped, 1);
  }
  EXPECT_EQ(test::readFile(dst() + "/a.LDT"), "old content");
  EXPECT_EQ(filesIn(dst()), std::vector<std::string>{"a.LDT"});
  // Without the fault the old file is replaced.
  EXPECT_EQ(ConvertFiles({src() + "/a.ldt"}, settingsFor(1, dst())).written, 1);
  EXPECT_NE(test::readFile(dst() + "/a.LDT"), "old content");
}

TEST_F(ConvertFilesTest, CancelStopsBeforeTheNextFile) {
  ConversionReport r = ConvertFiles(sources(), settingsFor(1, dst()),
                                    [](std::size_t i, std::size_t, const std::string&) { return i == 0; });
  EXPECT_TRUE(r.cancelled);
  EXPECT_EQ(filesIn(dst()), std::vector<std::string>{"a.LDT"});
}

class ConvertToCatalogueTest : public ConvertFilesTest {
 protected:
  void SetUp() override {
    ConvertFilesTest::SetUp();
    ASSERT_EQ(InitDatabaseEngine(), 0);
    ASSERT_TRUE(InitCatalogue(Settings().LumDb));
  }
  void TearDown() override {
    CloseCatalogue();
    ReleaseDatabaseEngine();
  }
  // File name field, format code and directory index of every record.
  std::vector<std::tuple<std::string, int, int>> records() {
    std::vector<std::tuple<std::string, int, int>> out;
    IndexedTable& t = *Catalogue();
    t.SelectKey(6);
    t.ResetKey();
    std::string k;
    while (t.NextKey(k) == 0) {
      TCatalogueRecord rec;
      EXPECT_TRUE(ReadCatalogueRecord(t.CurrentRecordNumber(), rec));
      out.emplace_back(rec.FileNameField(), rec.FormatCode(), rec.DirIndex());
    }
    return out;
  }
};

TEST_F(ConvertToCatalogueTest, WrittenFilesAreAddedOnceUnderTheDestinationIndex) {
  ConversionSettings s = settingsFor(0, dst());
  s.AddToCatalogue = true;
  s.DstPathIndex = 7;
  ConversionReport r = ConvertFiles(sources(), s);
  EXPECT_EQ(r.added, 2);
  using Row = std::tuple<std::string, int, int>;
  const std::vector<Row> want = {Row{"a.L32", fmtLum32, 7}, Row{"b.L32", fmtLum32, 7}};
  EXPECT_EQ(records(), want);
  // A second run updates the same records.
  r = ConvertFiles(sources(), s);
  EXPECT_EQ(r.added, 0);
  EXPECT_EQ(r.updated, 2);
  EXPECT_EQ(records(), want);
}

// "Save as" takes the written file in where it lies: nothing is copied
// below the luminaire root, its directory joins the path list.
TEST_F(ConvertToCatalogueTest, AFileSavedElsewhereIsCataloguedInPlace) {
  TPathList paths(PathListFileName());
  const int before = paths.Count();
  const IntakeEntry added = AddFileInPlace(src() + "/a.ldt", paths);
  EXPECT_EQ(added.outcome, AddOutcome::Added);
  EXPECT_GT(added.recNo, 0);
  const int index = paths.IndexOfPath(src());
  ASSERT_GE(index, before);
  using Row = std::tuple<std::string, int, int>;
  EXPECT_EQ(records(), (std::vector<Row>{Row{"a.ldt", fmtEulumdat, index}}));
  const IntakeEntry updated = AddFileInPlace(src() + "/a.ldt", paths);
  EXPECT_EQ(updated.outcome, AddOutcome::Updated);
  EXPECT_EQ(updated.recNo, added.recNo);
  EXPECT_EQ(TPathList(PathListFileName()).IndexOfPath(src()), index);  // saved
  EXPECT_FALSE(fsys::exists(AddBackslash(Settings().LumDir2) + "a.ldt"));
  EXPECT_FALSE(fsys::exists(AddBackslash(Settings().LumDir1) + "a.ldt"));
}

TEST_F(ConvertToCatalogueTest, NothingIsAddedFromRemovableOrNetworkMedia) {
  for (pf::DriveKind kind : {pf::DriveKind::Removable, pf::DriveKind::Remote}) {
    KindFileSystem kinds;
    kinds.kinds[dst()] = kind;
    pf::ScopedFileSystem guard(kinds);
    ConversionSettings s = settingsFor(1, dst());
    s.AddToCatalogue = true;
    ConversionReport r = ConvertFiles(sources(), s);
    EXPECT_EQ(r.written, 2);
    EXPECT_TRUE(r.addingRefused);
    EXPECT_TRUE(records().empty());
  }
}

// Every corpus EULUMDAT and IES file through every destination and back to
// EULUMDAT keeps flux, light output ratio and intensities.
TEST(ConvertFilesCorpus, RoundTripThroughEveryDestinationKeepsThePhotometry) {
  if (!test::corpusAvailable()) GTEST_SKIP() << "corpus not available";
  test::TempUserEnvironment env;
  LoadSettings();
  test::RecordingUi ui;
  ScopedUiServices scope(ui);
  std::vector<std::string> sources;
  std::map<std::string, int> stems;
  for (const auto& e : fsys::recursive_directory_iterator(test::corpusPath(""))) {
    std::string ext = e.path().extension().string();
    for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // Same-named files of other folders would map to one target.
    if (e.is_regular_file() && (ext == ".ldt" || ext == ".ies") && stems[e.path().stem().string()]++ == 0)
      sources.push_back(e.path().string());
  }
  std::sort(sources.begin(), sources.end());
  int compared = 0;
  for (int entry = 0; entry < 6; ++entry) {
    const auto& d = ConversionDestinations()[static_cast<std::size_t>(entry)];
    SCOPED_TRACE(d.caption);
    const std::string there = env.root() + "/there" + std::to_string(entry);
    const std::string back = env.root() + "/back" + std::to_string(entry);
    fsys::create_directories(there);
    fsys::create_directories(back);
    ConversionReport r = ConvertFiles(sources, settingsFor(entry, there));
    ASSERT_FALSE(r.stopped) << r.stopReason;
    std::vector<std::string> written;
    for (const auto& f : r.files)
      if (f.written) written.push_back(f.target);
    ConversionReport r2 = ConvertFiles(written, settingsFor(1, back));
    for (const auto& f : r2.files) EXPECT_TRUE(f.written) << f.source << ": " << f.reason;
    for (const auto& f : r.files) {
      if (!f.written) continue;
      TLUM32 a, b;
      ASSERT_TRUE(LoadLuminaire(f.source, a, LoadValues::AsRead).ok());
      a.CalcFlux();
      if (a.PlaneSystem != psCGamma || a.GammaStart != 0) continue;  // resampled or extended grids
      const std::string stem = fsys::path(f.target).stem().string();
      ASSERT_TRUE(LoadLuminaire(back + "/" + stem + ".LDT", b, LoadValues::AsRead).ok()) << f.source;
      b.CalcFlux();
      SCOPED_TRACE(f.source);
      ++compared;
      double lamps = a.LampSets[0].SetFlux;
      for (int k = 1; k < a.LampSetCount && k < kMaxLampSets; ++k) lamps = std::min<double>(lamps, a.LampSets[k].SetFlux);
      const bool ies = d.code == fmtIes86 || d.code == fmtIes91 || d.code == fmtIes95;
      const double rounding = 0.06 + (ies && lamps > 0 ? 50 / lamps : 0);
      EXPECT_NEAR(b.LumFlux, a.LumFlux, 1e-3 * a.LumFlux + 0.05);
      EXPECT_NEAR(b.LOR, a.LOR, 0.06);
      for (int j = 1; j <= a.GammaCount; ++j)
        for (double c : {0.0, 33.0, 90.0, 200.0, 300.0}) {
          const double g = a.GammaAngle(j), want = a.Intensity(g, c);
          ASSERT_NEAR(b.Intensity(g, c), want, rounding + 1e-3 * want) << "γ " << g << " C " << c;
        }
    }
  }
  EXPECT_GT(compared, 100);
}

}  // namespace
}  // namespace kandelo
