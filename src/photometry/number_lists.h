// Word and number lists of the free-format photometric text files (IES, TM14):
// numbers separated by blanks or commas, each list beginning on a new line and
// possibly continuing over further lines; and the matching writer side, which
// wraps long lists.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "photometry/textfile.h"

namespace kandelo {

// Appends the words of a line; words are separated by blanks, commas, tabs
// and other control characters.
void SplitWords(std::string_view line, std::vector<std::string_view>& out);
int CountWords(std::string_view line);

// A word as a number; unreadable words (and "nan", "inf") give 0.
double WordToFloat(std::string_view word);
// A count or code: "37" and "37.0" give 37; fractions and unreadable words give 0.
long long WordToInt(std::string_view word);

// Reads lines until at least n words are collected (the words behind the
// n-th on its line are dropped, because the next list starts on a new line).
// Returns the number of words read, fewer than n only at the end of the file.
std::size_t ReadWordList(TTextReader& in, std::size_t n, std::vector<std::string>& words);
// The same for numbers (appended to `values` after clearing it).
std::size_t ReadNumberList(TTextReader& in, std::size_t n, std::vector<double>& values);

// True when the list strictly ascends.
bool StrictlyAscending(const std::vector<double>& v);
bool StrictlyDescending(const std::vector<double>& v);
// True when every value lies in [lo, hi] (with a tolerance of 0.001).
bool AllWithin(const std::vector<double>& v, double lo, double hi);

// Range-checked conversions into the fields of the luminaire.
float ToSingle(double v);            // clamped to the float range, NaN → 0
std::uint16_t ToU16(double v);       // rounded, clamped to 0 … 65535
std::int16_t ToI16(double v);        // rounded, clamped
std::uint8_t ToLampCount(long long n);  // 0 or less → 1, above 255 → 255

// An angle with one decimal, or with up to four when one would misstate it
// (0.25° steps must not come back as 0.2/0.3).
std::string FormatAngle(double a);
// Replaces control characters (a CR or LF inside a text would start a line).
std::string SafeTextLine(std::string_view s);

// Collects items into output lines: before an item is added, a line longer
// than `limit` characters is written out. Close() ends the current line.
class TWrappedLine {
 public:
  TWrappedLine(TTextWriter& out, std::size_t limit) : out_(out), limit_(limit) {}
  void Add(std::string_view item);
  void Close();

 private:
  TTextWriter& out_;
  std::size_t limit_;
  std::string line_;
};

}  // namespace kandelo
