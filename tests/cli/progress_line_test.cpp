// The terminal progress line: its text, nothing at all off a terminal, and a
// line that is cleared before other output and at the end.
#include "cli/progress_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace kandelo::cli {
namespace {

std::string Written(std::FILE* f) {
  std::fflush(f);
  std::rewind(f);
  std::string s;
  for (int c; (c = std::fgetc(f)) != EOF;) s += static_cast<char>(c);
  return s;
}

TEST(ProgressLine, TextGivesCountRateAndTimeLeft) {
  struct Case {
    std::size_t done, total;
    double seconds;
    const char* text;
  } cases[] = {
      {0, 40, 0, "scanning  0/40 (0 %)"},
      {10, 40, 4, "scanning  10/40 (25 %)  2.5 files/s  0:12 left"},
      {1, 10000, 1, "scanning  1/10000 (0 %)  1.0 files/s  2:46:39 left"},
      {40, 40, 8, "scanning  40/40 (100 %)  5.0 files/s"},
      {0, 0, 1, "scanning  0/0"},
  };
  for (const Case& c : cases) EXPECT_EQ(ProgressLine::Format("scanning", c.done, c.total, c.seconds), c.text);
}

TEST(ProgressLine, SilentOffATerminalAndClearedOnOne) {
  std::FILE* off = std::tmpfile();
  {
    ProgressLine line("x", off);  // a file is no terminal
    EXPECT_FALSE(line.Enabled());
    line.Update(1, 2);
  }
  EXPECT_EQ(Written(off), "");
  std::fclose(off);

  std::FILE* on = std::tmpfile();
  {
    ProgressLine line("x", on, true);
    line.Update(0, 2);
    line.Clear();
    line.Update(2, 2);
  }
  const std::string s = Written(on);
  EXPECT_EQ(s.rfind("\rx  0/2 (0 %)", 0), 0u) << s;
  // Each drawing is wiped by blanks over its width and a return to the start.
  EXPECT_NE(s.find("\r" + std::string(12, ' ') + "\r"), std::string::npos) << s;
  EXPECT_EQ(s.back(), '\r');
  std::fclose(on);
}

}  // namespace
}  // namespace kandelo::cli
