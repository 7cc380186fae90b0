#include "trace/trace.h"

#include <windows.h>

#include <share.h>
#include <stdarg.h>
#include <stdio.h>

namespace {

const size_t kTraceBufferSize = 16000;
const char kTraceMutexName[] = "TRACE_LOG_MUTEX";
const char kTraceFileName[] = "trace.log";

void AppendToFile(const char* text) {
  // Deny writers only: a log viewer may keep the file open, another writer may not.
  FILE* file = _fsopen(kTraceFileName, "at", _SH_DENYWR);
  if (file == NULL) return;
  // The log never reports its own troubles: a message it cannot store is lost.
  fputs(text, file);  // NOLINT(cert-err33-c): lost, by design
  fclose(file);       // NOLINT(cert-err33-c): lost, by design
}

}  // namespace

// NOLINTNEXTLINE(cert-dcl50-cpp): printf-style, the one form every caller writes
void Trace(const char* format, ...) {
  char buffer[kTraceBufferSize];
  va_list arguments;
  va_start(arguments, format);
  // NOLINTNEXTLINE(cert-err33-c): a longer message is cut to the buffer, as intended
  vsnprintf_s(buffer, kTraceBufferSize, _TRUNCATE, format, arguments);
  va_end(arguments);

  OutputDebugStringA(buffer);
  WriteTraceLog(buffer);
  Sleep(1);
}

void WriteTraceLog(const char* text) {
  HANDLE mutex = CreateMutexA(NULL, FALSE, kTraceMutexName);
  if (mutex == NULL) {
    AppendToFile(text);
    return;
  }
  DWORD wait = WaitForSingleObject(mutex, INFINITE);
  // An abandoned mutex is still ours: its last owner died, not our claim to it.
  if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
    AppendToFile(text);
    ReleaseMutex(mutex);
  }
  CloseHandle(mutex);
}
