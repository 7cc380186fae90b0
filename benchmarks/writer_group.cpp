#include "benchmarks/writer_group.h"

#include <memory>
#include <vector>

#include "benchmarks/bench_support.h"

namespace {

// True once the semaphore was taken `times` times before the deadline.
bool TakeTimes(HANDLE semaphore, int times, double deadline) {
  for (int i = 0; i < times; ++i) {
    const double left_ms = (deadline - Now()) * 1000;
    if (left_ms <= 0 ||
        WaitForSingleObject(semaphore, static_cast<DWORD>(left_ms)) != WAIT_OBJECT_0)
      return false;
  }
  return true;
}

}  // namespace

double RunWriters(const char* mode, int processes, int count) {
  // A name of its own for every group, so that a straggler never signals the next.
  static int groups = 0;
  const std::string group = Format("lumoradine-bench-%lu-%d", GetCurrentProcessId(), ++groups);
  ScopedHandle ready(CreateSemaphoreA(NULL, 0, processes, (group + ".ready").c_str()));
  ScopedHandle done(CreateSemaphoreA(NULL, 0, processes, (group + ".done").c_str()));
  ScopedHandle go(CreateEventA(NULL, TRUE, FALSE, (group + ".go").c_str()));
  std::vector<std::unique_ptr<ChildProcess>> writers;
  for (int i = 0; i < processes; ++i)
    writers.push_back(std::make_unique<ChildProcess>(
        "trace_writer.exe", Format("%s %s %d %d", group.c_str(), mode, i, count)));

  if (!TakeTimes(ready.get(), processes, Now() + 30)) return -1;
  const double start = Now();
  SetEvent(go.get());
  // Twenty times the pauses alone is far beyond any sane run, yet still ends.
  const bool finished = TakeTimes(done.get(), processes, start + 10 + 0.02 * processes * count);
  const double elapsed = Now() - start;
  for (const std::unique_ptr<ChildProcess>& writer : writers) writer->Wait(10000);
  return finished ? elapsed : -1;
}
