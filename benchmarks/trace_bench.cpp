// Messages per second from writers tracing at once into one trace.log, each
// against the pause alone; and the soak that checks the log they leave.
#include <stdlib.h>

#include <string>
#include <vector>

#include "benchmarks/bench_support.h"
#include "benchmarks/benches.h"
#include "benchmarks/soak_message.h"
#include "benchmarks/writer_group.h"
#include "tests/support/scratch_directory.h"

namespace {

const int kTraceRounds = 400;
const int kRepeats = 3;

struct Timings {
  std::vector<double> trace, pause;
};

// Alternates floor and traced runs, so that a drift of the machine meets both.
bool TimeWriters(int processes, Timings* timings) {
  for (int repeat = 0; repeat < kRepeats; ++repeat) {
    ScratchDirectory scratch;
    timings->pause.push_back(RunWriters("sleep", processes, kTraceRounds));
    timings->trace.push_back(RunWriters("trace", processes, kTraceRounds));
    if (timings->pause.back() < 0 || timings->trace.back() < 0) return false;
  }
  return true;
}

void TraceCostFor(int processes) {
  const std::string figure =
      Format("trace, %d process%s at once", processes, processes == 1 ? "" : "es");
  const std::string target = processes == 1 ? "ratio <= 1.3" : "-";
  Timings timings;
  if (!TimeWriters(processes, &timings))
    return PrintRow(figure, "a writer failed", target, "missed");
  const double trace = Median(timings.trace), pause = Median(timings.pause);
  const double ratio = trace / pause;
  PrintRow(figure,
           Format("%.2f (%.0f us a message vs %.0f us a pause; %.0f msg/s)", ratio,
                  trace / kTraceRounds * 1e6, pause / kTraceRounds * 1e6,
                  processes * kTraceRounds / trace),
           target, processes == 1 ? Verdict(ratio <= 1.3) : "-");
}

// The first fault in the log of `writers` soak writers, or "" when each wrote
// every message whole, exactly once and in its own order.
std::string SoakLogFault(const std::string& log, int writers, int count) {
  std::vector<int> next(writers, 0);
  size_t at = 0;
  for (int line = 1; at < log.size(); ++line) {
    const char* text = log.c_str() + at;
    const int writer = text[0] == 'w' ? atoi(text + 1) : -1;
    if (writer < 0 || writer >= writers || next[writer] >= count)
      return Format("line %d: no message of a writer", line);
    std::string expected = SoakMessage(writer, next[writer]++);
    expected.insert(expected.size() - 1, "\r");
    if (log.compare(at, expected.size(), expected) != 0)
      return Format("line %d: not message %d of writer %d", line, next[writer] - 1, writer);
    at += expected.size();
  }
  for (int writer = 0; writer < writers; ++writer)
    if (next[writer] != count) return Format("writer %d: %d messages", writer, next[writer]);
  return "";
}

}  // namespace

void TraceCost() {
  const int kProcessCounts[] = {1, 2, 4, 8};
  for (int processes : kProcessCounts) TraceCostFor(processes);
}

void TraceSoak() {
  const int kWriters = 8, kCount = 2000;
  const std::string figure = "soak: 8 processes x 2000 messages, one trace.log";
  ScratchDirectory scratch;
  const double seconds = RunWriters("soak", kWriters, kCount);
  if (seconds < 0) return PrintRow(figure, "a writer failed", "pass", "fail");
  const std::string fault = SoakLogFault(ReadFileBytes("trace.log"), kWriters, kCount);
  PrintRow(figure, fault.empty() ? Format("all whole, once, in order (%.1f s)", seconds) : fault,
           "pass", fault.empty() ? "pass" : "fail");
}
