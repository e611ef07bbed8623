// The progress line of long commands on a terminal: files done of the total,
// the rate and the time left, redrawn in place on stderr. When stderr is not
// a terminal (a pipe, a file, a test) it prints nothing, so scripted output
// stays as it was.
//
//   ProgressLine progress("converting");
//   for (i...) { progress.Update(i, n); ... }
//   progress.Done();
//
// A command that prints lines of its own meanwhile calls Clear() first (the
// next Update draws the line again).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

namespace kandelo::cli {

class ProgressLine {
 public:
  // Enabled when `out` is a terminal.
  explicit ProgressLine(std::string label, std::FILE* out = stderr);
  // For tests: enabled or not whatever `out` is.
  ProgressLine(std::string label, std::FILE* out, bool enabled);
  ~ProgressLine() { Done(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // `done` of `total` items; redrawn at most ten times a second, and always
  // for the first and the last item.
  void Update(std::size_t done, std::size_t total);
  // Removes the line (before other output); the next Update draws it again.
  void Clear();
  // Removes the line for good.
  void Done();
  bool Enabled() const { return enabled_; }

  // The text of the line: "LABEL  12/345 (3 %)  41.2 files/s  0:08 left".
  static std::string Format(const std::string& label, std::size_t done, std::size_t total, double seconds);

 private:
  std::string label_;
  std::FILE* out_;
  bool enabled_;
  bool shown_ = false;
  std::size_t width_ = 0;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace kandelo::cli
