// What one message of Trace() spends where: each step it takes, timed alone.
// The file steps repeat what trace/trace.cpp does, so that they can be timed
// apart; "append via WriteFile" is the same append without the CRT's stream.
#include <share.h>
#include <stdio.h>
#include <windows.h>

#include "benchmarks/bench_support.h"
#include "benchmarks/benches.h"
#include "tests/support/scratch_directory.h"
#include "trace/trace.h"

namespace {

const char kMessage[] = "Lumoradine(0):800\n";
const char kMutexName[] = "TRACE_LOG_MUTEX";

void Pause() { Sleep(1); }
void DebugString() { OutputDebugStringA(kMessage); }
void MutexOpenClose() { CloseHandle(CreateMutexA(NULL, FALSE, kMutexName)); }

void MutexWaitRelease() {
  static HANDLE mutex = CreateMutexA(NULL, FALSE, kMutexName);
  WaitForSingleObject(mutex, INFINITE);
  ReleaseMutex(mutex);
}

void StreamOpenClose() {
  FILE* file = _fsopen("trace.log", "at", _SH_DENYWR);
  if (file != NULL) fclose(file);
}

void StreamAppend() {
  FILE* file = _fsopen("trace.log", "at", _SH_DENYWR);
  if (file == NULL) return;
  fputs(kMessage, file);
  fclose(file);
}

void HandleAppend() {
  const char text[] = "Lumoradine(0):800\r\n";
  HANDLE file = CreateFileA("trace.log", FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, text, sizeof text - 1, &written, NULL);
  CloseHandle(file);
}

void WholeWrite() { WriteTraceLog(kMessage); }
void WholeTrace() { Trace("Lumoradine(%d):%u\n", 0, 800u); }

struct Part {
  const char* name;
  void (*run)();
};

const Part kParts[] = {
    {"Sleep(1)", Pause},
    {"OutputDebugStringA", DebugString},
    {"mutex create+close", MutexOpenClose},
    {"mutex wait+release", MutexWaitRelease},
    {"_fsopen+fclose", StreamOpenClose},
    {"_fsopen+fputs+fclose", StreamAppend},
    {"append via WriteFile", HandleAppend},
    {"WriteTraceLog, whole", WholeWrite},
    {"Trace, whole", WholeTrace},
};

// Each call followed by a pause, untimed, as each message is: back to back,
// the same calls cost two to three times as much under Wine.
double SecondsEach(void (*part)()) {
  const int kCalls = 300;
  double total = 0;
  for (int i = 0; i < kCalls; ++i) {
    const double start = Now();
    part();
    total += Now() - start;
    Sleep(1);
  }
  return total / kCalls;
}

}  // namespace

void TraceParts() {
  ScratchDirectory scratch;
  const double pause = SecondsEach(Pause);
  for (const Part& part : kParts) {
    const double each = SecondsEach(part.run);
    PrintRow(Format("trace part: %s", part.name),
             Format("%.0f us (%.2f of a pause)", each * 1e6, each / pause), "-", "-");
  }
}
