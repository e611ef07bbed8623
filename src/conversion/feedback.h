// How a long workflow talks back to whoever started it without knowing who
// that is: it tells how far it has come and asks, between two items, whether
// it should stop. The window wraps its wait window in one, the command line
// its progress line, a test records what it is told; a caller that wants
// none of this passes no Feedback at all.
//
//   class WaitFeedback : public Feedback {
//     void ProgressText(const std::string& t) override { window.Show(t); }
//     bool IsCancelled() override { return window.CancelPressed(); }
//   };
#pragma once

#include <atomic>
#include <cstddef>
#include <string>

namespace kandelo {

class Feedback {
 public:
  virtual ~Feedback() = default;

  // Asks the workflow to stop at its next safe point; from any thread.
  void Cancel() { cancelled_.store(true); }
  // Polled by the workflow between two items: true stops it there.
  virtual bool IsCancelled() { return cancelled_.load(); }

  // Before item `done` (counted from 0) of `total`; once more with
  // done == total when a run ends that was not stopped.
  virtual void Progress(std::size_t done, std::size_t total) {}
  // What the workflow is at, in words (the file it takes next).
  virtual void ProgressText(const std::string& text) {}

 private:
  std::atomic<bool> cancelled_{false};
};

}  // namespace kandelo
