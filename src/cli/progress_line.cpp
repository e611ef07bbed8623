#include "cli/progress_line.h"

#include <unistd.h>

#include <cmath>

namespace kandelo::cli {

ProgressLine::ProgressLine(std::string label, std::FILE* out)
    : ProgressLine(std::move(label), out, out && isatty(fileno(out)) == 1) {}

ProgressLine::ProgressLine(std::string label, std::FILE* out, bool enabled)
    : label_(std::move(label)), out_(out), enabled_(enabled && out) {}

std::string ProgressLine::Format(const std::string& label, std::size_t done, std::size_t total, double seconds) {
  std::string s = label + "  " + std::to_string(done) + "/" + std::to_string(total);
  if (total > 0) s += " (" + std::to_string(done * 100 / total) + " %)";
  if (done > 0 && seconds > 0) {
    const double rate = static_cast<double>(done) / seconds;
    char buf[64];
    std::snprintf(buf, sizeof buf, "  %.1f files/s", rate);
    s += buf;
    if (done < total) {
      const auto left = static_cast<long long>(std::ceil(static_cast<double>(total - done) / rate));
      if (left >= 3600)
        std::snprintf(buf, sizeof buf, "  %lld:%02lld:%02lld left", left / 3600, left / 60 % 60, left % 60);
      else
        std::snprintf(buf, sizeof buf, "  %lld:%02lld left", left / 60, left % 60);
      s += buf;
    }
  }
  return s;
}

void ProgressLine::Update(std::size_t done, std::size_t total) {
  if (!enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  if (shown_ && done != 0 && done < total && now - last_ < std::chrono::milliseconds(100)) return;
  last_ = now;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  const std::string text = Format(label_, done, total, seconds);
  // Carriage return, the text, and blanks over what a longer line left.
  std::fprintf(out_, "\r%s", text.c_str());
  if (text.size() < width_) std::fprintf(out_, "%*s", static_cast<int>(width_ - text.size()), "");
  width_ = text.size();
  std::fflush(out_);
  shown_ = true;
}

void ProgressLine::Clear() {
  if (!enabled_ || !shown_) return;
  std::fprintf(out_, "\r%*s\r", static_cast<int>(width_), "");
  std::fflush(out_);
  shown_ = false;
  width_ = 0;
}

void ProgressLine::Done() { Clear(); }

}  // namespace kandelo::cli
