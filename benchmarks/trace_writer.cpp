// trace_writer GROUP MODE WRITER COUNT: one of a group of copies started at
// once. Signals GROUP.ready, waits for GROUP.go so that every copy starts its
// loop together, runs COUNT rounds of MODE, then signals GROUP.done:
//   sleep  Sleep(1) alone, the pause that every message must take
//   trace  one message of the shape the program traces most
//   soak   SoakMessage(WRITER, round)
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <string>

#include "benchmarks/soak_message.h"
#include "trace/trace.h"

namespace {

typedef void (*Round)(int writer, int round);

void SleepRound(int, int) { Sleep(1); }
void TraceRound(int writer, int round) {
  Trace("Lumoradine(%d):%u\n", writer, 1000u + static_cast<unsigned>(round));
}
void SoakRound(int writer, int round) { Trace("%s", SoakMessage(writer, round).c_str()); }

Round RoundOf(const char* mode) {
  if (strcmp(mode, "sleep") == 0) return SleepRound;
  if (strcmp(mode, "trace") == 0) return TraceRound;
  if (strcmp(mode, "soak") == 0) return SoakRound;
  return NULL;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5 || RoundOf(argv[2]) == NULL) return 2;
  const std::string group = argv[1];
  HANDLE ready = OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, (group + ".ready").c_str());
  HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, (group + ".go").c_str());
  HANDLE done = OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, (group + ".done").c_str());
  if (ready == NULL || go == NULL || done == NULL) return 3;

  ReleaseSemaphore(ready, 1, NULL);
  if (WaitForSingleObject(go, 60000) != WAIT_OBJECT_0) return 4;
  const Round round = RoundOf(argv[2]);
  const int writer = atoi(argv[3]);
  for (int i = 0, count = atoi(argv[4]); i < count; ++i) round(writer, i);
  ReleaseSemaphore(done, 1, NULL);
  return 0;
}
