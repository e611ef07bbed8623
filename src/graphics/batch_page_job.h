// Several documents in one print job: the datasheets of a batch in one PDF
// file or one job on the printer. The documents draw on it as on a job of
// their own; the first Begin starts the job, every later Begin starts a new
// page, End keeps the job open for the next document, and Finish ends it.
// An Abort, or a page that cannot be started, throws the whole job away: a
// document half written never ends up in a file that looks complete.
#pragma once

#include "graphics/page_job.h"

namespace kandelo {

class TBatchPageJob : public TPageJob {
 public:
  explicit TBatchPageJob(TPageJob& job) : job_(job) {}

  bool Begin() override {
    switch (state_) {
      case State::Idle:
        if (!job_.Begin()) {
          state_ = State::Failed;
          return false;
        }
        state_ = State::Open;
        return true;
      case State::Open:
        if (job_.NewPage()) return true;
        Abort();
        return false;
      default:
        return false;
    }
  }
  TRect BeginTwipsPage() override { return job_.BeginTwipsPage(); }
  void EndTwipsPage() override { job_.EndTwipsPage(); }
  bool NewPage() override { return job_.NewPage(); }
  bool End() override {
    if (state_ != State::Open) return false;
    ++documents_;
    return true;
  }
  void Abort() override {
    if (state_ == State::Open) job_.Abort();
    state_ = State::Failed;
  }
  TDevice& Device() override { return job_.Device(); }
  bool DrawImageFile(const TRect& box, const std::string& pathUtf8) override {
    return job_.DrawImageFile(box, pathUtf8);
  }

  // Ends the job; false when it failed, was never begun or already ended.
  bool Finish() {
    if (state_ != State::Open) return false;
    state_ = job_.End() ? State::Done : State::Failed;
    return state_ == State::Done;
  }
  // Documents ended so far.
  int Documents() const { return documents_; }
  bool Failed() const { return state_ == State::Failed; }

 private:
  enum class State { Idle, Open, Done, Failed };
  TPageJob& job_;
  State state_ = State::Idle;
  int documents_ = 0;
};

}  // namespace kandelo
