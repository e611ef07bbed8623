// The file checks: one small file for every problem code, the corpus as it
// is (broken files, known quirks, clean files), and damaged corpus files.
#include "photometry/validate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>

#include "shell/ui_services.h"
#include "photometry/lum32.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

namespace fsys = std::filesystem;
using Lines = std::vector<std::string>;

// A clean rotationally symmetric EULUMDAT file: 19 gamma angles 0 ... 90 and
// a constant intensity whose flux is the stated LOR of 80 %.
Lines CleanLdt() {
  Lines l = {"Maker", "1", "1", "1", "0", "19", "5", "R-1", "Test luminaire", "T-1", "test.ldt", "2026-01-01",
             "600", "600", "50", "500", "500", "0", "0", "0", "0", "100", "80", "1", "0",
             "1", "1", "LED", "1000", "4000K", "80", "10"};
  for (int k = 0; k < 10; ++k) l.push_back("0");
  l.push_back("0");  // line 43: the C angle
  for (int j = 0; j <= 18; ++j) l.push_back(std::to_string(5 * j));  // lines 44 ... 62
  for (int j = 0; j <= 18; ++j) l.push_back("127.324");              // lines 63 ... 81
  return l;
}

// A clean LM-63-2002 file of the same luminaire with a 1000 lm lamp.
Lines CleanIes() {
  Lines l = {"IESNA:LM-63-2002", "[TEST] T-1", "[TESTLAB] Lab", "[ISSUEDATE] 2026-01-01", "[MANUFAC] Maker",
             "TILT=NONE", "1 1000 1 19 1 1 2 0.5 0.5 0", "1 1 10"};
  std::string v, c;
  for (int j = 0; j <= 18; ++j) v += std::to_string(5 * j) + " ";
  for (int j = 0; j <= 18; ++j) c += "127.324 ";
  l.push_back(v);  // line 9
  l.push_back("0");
  l.push_back(c);  // line 11
  return l;
}

std::string Join(const Lines& l) {
  std::string s;
  for (const auto& line : l) s += line + "\r\n";
  return s;
}

Lines With(Lines l, std::function<void(Lines&)> change) {
  change(l);
  return l;
}

TEST(Validate, CleanFilesHaveNoProblems) {
  test::TempDir dir;
  test::writeFile(dir.file("clean.ldt"), Join(CleanLdt()));
  test::writeFile(dir.file("clean.ies"), Join(CleanIes()));
  for (const char* f : {"clean.ldt", "clean.ies"}) {
    const ValidationReport r = ValidateFile(dir.file(f));
    EXPECT_TRUE(r.problems.empty()) << f << ": " << (r.problems.empty() ? "" : ProblemLine(r.problems[0]));
  }
}

// Every code of the table, each shown by the smallest change that causes it,
// with the line it is reported on (0: the whole file).
TEST(Validate, EveryCodeHasAFileThatShowsIt) {
  auto ldt = [](std::function<void(Lines&)> f) { return Join(With(CleanLdt(), std::move(f))); };
  auto ies = [](std::function<void(Lines&)> f) { return Join(With(CleanIes(), std::move(f))); };
  auto set = [](int line, std::string text) { return [=](Lines& l) { l[line - 1] = text; }; };
  struct Case {
    const char* code;
    int line;
    std::string name, text;
  } cases[] = {
      {"R01", 0, "missing.ldt", ""},
      {"R02", 0, "notes.txt", "just some words\n"},
      {"R03", 0, "r03.ldt", ldt(set(23, "eighty"))},
      {"R04", 0, "r04.ldt", ldt(set(70, "1e35"))},
      {"D01", 66, "d01.ldt", ldt(set(66, "-3"))},
      {"D02", 67, "d02.ldt", ldt(set(67, "nan"))},
      {"D03", 0, "d03.ldt", ldt([](Lines& l) { std::fill(l.begin() + 62, l.end(), "0"); })},
      {"D04", 23, "d04.ldt", ldt(set(23, "101"))},
      {"D05", 23, "d05.ldt", ldt(set(23, "70"))},
      {"D06", 29, "d06.ldt", ldt(set(29, "0"))},
      {"I01", 1, "i01.ies", ies(set(1, "IESNA: LM-63-2002"))},
      {"I02", 5, "i02.ies", ies([](Lines& l) { l.erase(l.begin() + 2); })},
      {"I03", 6, "i03.ies", "IESNA:LM-63-1995\r\n[TEST] x\r\n1 1000 1 19 1 1 2 0 0 0\r\n1 1 10\r\n0 90\r\n"},
      {"I04", 6, "i04.ies", ies(set(6, "TILT=lamp.tlt"))},
      {"I05", 9, "i05.ies", ies([](Lines& l) { l.resize(6); l[5] = "TILT=INCLUDE"; l.push_back("1"); l.push_back("5"); l.push_back("0 10"); })},
      {"I06", 11, "i06.ies", ies([](Lines& l) { l[10] = "127.324 127.324 127.324"; })},
      {"I07", 11, "i07.ies", ies([](Lines& l) { l[10].replace(0, 7, "x27.324"); })},
      {"I08", 9, "i08.ies", ies([](Lines& l) { l[8].replace(0, 4, "5 0 "); })},
      {"I09", 7, "i09.ies", ies(set(7, "1 1000 1 19 1 5 2 0.5 0.5 0"))},
      {"I10", 9, "i10.ies", ies([](Lines& l) { l[8].replace(0, 2, "1 "); })},
      {"I11", 12, "i11.ies", ies([](Lines& l) { l.push_back("1 2 3"); })},
      {"I12", 11, "i12.ies", ies([](Lines& l) { l[10].resize(l[10].size() - 8); })},
      {"L01", 2, "l01.ldt", ldt(set(2, "one"))},
      {"L02", 3, "l02.ldt", ldt(set(3, "7"))},
      {"L03", 4, "l03.ldt", ldt([](Lines& l) { l[2] = "0"; l[4] = "90"; })},
      {"L04", 79, "l04.ldt", ldt([](Lines& l) { l.resize(78); })},
      {"L05", 70, "l05.ldt", ldt(set(70, "12x"))},
      {"L06", 82, "l06.ldt", ldt([](Lines& l) { l.push_back("99"); })},
      {"L07", 2, "l07.ldt", ldt(set(2, "9"))},
      {"L08", 46, "l08.ldt", ldt(set(46, "5"))},
      {"L09", 62, "l09.ldt", ldt(set(62, "190"))},
      {"L10", 32, "l10.ldt", ldt(set(32, "ten"))},
      {"T01", 9, "t01.ldt", ldt(set(9, "Leuchte \x81"))},
  };
  std::set<std::string> covered;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.code) + " " + c.name);
    test::TempDir dir;
    if (!c.text.empty()) test::writeFile(dir.file(c.name), c.text);
    test::RecordingUi ui;
    ScopedUiServices scope(ui);
    const ValidationReport r = ValidateFile(dir.file(c.name));
    const auto it = std::find_if(r.problems.begin(), r.problems.end(),
                                 [&](const ValidationProblem& p) { return p.code == c.code; });
    std::string all;
    for (const auto& p : r.problems) all += ProblemLine(p) + "\n";
    ASSERT_NE(it, r.problems.end()) << all;
    EXPECT_EQ(it->line, c.line) << all;
    EXPECT_EQ(it->severity, FindValidationCode(c.code)->severity);
    if (it->severity == Severity::Error) EXPECT_TRUE(r.HasErrors());
    EXPECT_TRUE(ui.shown.empty()) << "the readers' boxes are collected, not shown";
    covered.insert(c.code);
  }
  // R05 (a message of a reader on a file it took) needs a format whose reader warns; the rest all have a case.
  for (const auto& info : ValidationCodes())
    if (std::string(info.code) != "R05") EXPECT_TRUE(covered.count(info.code)) << info.code << " has no case";
}

// The list in docs/ is the one users read: every code is there.
TEST(Validate, EveryCodeIsDocumented) {
  const std::string doc = test::readFile(std::string(KANDELO_SOURCE_DIR) + "/docs/validation.md");
  for (const auto& info : ValidationCodes())
    EXPECT_NE(doc.find(std::string("| ") + info.code + " | " + SeverityName(info.severity) + " |"), std::string::npos)
        << info.code;
}

// A flood of bad values is reported a few times and then counted, not line by line.
TEST(Validate, ManyProblemsOfOneKindAreCounted) {
  test::TempDir dir;
  Lines l = CleanLdt();
  for (int k = 62; k < 81; ++k) l[static_cast<std::size_t>(k)] = "bad";
  test::writeFile(dir.file("many.ldt"), Join(l));
  const ValidationReport r = ValidateFile(dir.file("many.ldt"));
  const auto n = std::count_if(r.problems.begin(), r.problems.end(), [](const auto& p) { return p.code == "L05"; });
  EXPECT_EQ(n, 11);
  EXPECT_EQ(r.problems.back().message, "9 more like this");
}

std::vector<fsys::path> CorpusTextFiles() {
  std::vector<fsys::path> files;
  for (const auto& e : fsys::recursive_directory_iterator(test::corpusPath(""))) {
    std::string ext = e.path().extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (e.is_regular_file() && (ext == ".ldt" || ext == ".ies")) files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Cut short and with flipped bytes, as the reader tests damage them (at a
// wider stride: the line checks read every file once more). Nothing may crash or
// hang, a file the readers refuse is an error with their reason, and no
// problem is without a known code.
TEST(Validate, DamagedCorpusFilesGiveProblemsNotCrashes) {
  if (!test::corpusAvailable()) GTEST_SKIP() << "corpus not available";
  test::RecordingUi ui;
  ScopedUiServices scope(ui);
  test::TempDir dir;
  auto positions = [](std::size_t size) {
    std::vector<std::size_t> at;
    for (std::size_t n = 0; n < size; n += n < 300 ? 11 : 1 + size / 12) at.push_back(n);
    at.push_back(size - 1);
    return at;
  };
  for (const auto& p : CorpusTextFiles()) {
    SCOPED_TRACE(p.string());
    const std::string bytes = test::readFile(p.string());
    if (bytes.empty()) continue;
    const std::string path = dir.file("f" + p.extension().string());
    auto check = [&](const std::string& content) {
      test::writeFile(path, content);
      const ValidationReport r = ValidateFile(path);
      // Not read: an error of the reading group, with the reader's reason when it gave one.
      if (r.formatCode == fmtUnknown)
        EXPECT_TRUE(std::any_of(r.problems.begin(), r.problems.end(), [](const ValidationProblem& p) {
          return p.code[0] == 'R' && p.severity == Severity::Error && !p.message.empty();
        }));
      for (const auto& problem : r.problems) ASSERT_NE(FindValidationCode(problem.code), nullptr) << problem.code;
    };
    for (std::size_t n : positions(bytes.size())) {
      check(bytes.substr(0, n));
      for (char bad : {'\0', '-', '9', '\n', '\xFF'}) {
        std::string damaged = bytes;
        damaged[n] = bad;
        check(damaged);
      }
    }
  }
  EXPECT_TRUE(ui.shown.empty()) << "the checks show no boxes";
}

}  // namespace
}  // namespace kandelo
