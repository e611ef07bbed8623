// The console report of a benchmark program that also keeps the mean time per
// iteration of every run, so that main() can print ratios to the baseline
// measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // CPU time rather than wall time, for runs on a machine shared with others.
  explicit RatioReporter(bool cpuTime = false) : cpuTime_(cpuTime) {}
  std::map<std::string, double> seconds;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& r : runs)
      if (!r.error_occurred && r.iterations > 0)
        seconds[r.benchmark_name()] =
            (cpuTime_ ? r.cpu_accumulated_time : r.real_accumulated_time) / static_cast<double>(r.iterations);
    ConsoleReporter::ReportRuns(runs);
  }

 private:
  bool cpuTime_;
};
