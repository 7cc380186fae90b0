#include "benchmarks/bench_support.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "tests/support/scratch_directory.h"

double Now() {
  static LARGE_INTEGER frequency = {};
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double SecondsToCall(int calls, void (*call)(int number)) {
  const double start = Now();
  for (int i = 0; i < calls; ++i) call(i);
  return Now() - start;
}

double SecondsToPause(int pauses) {
  return SecondsToCall(pauses, [](int) { Sleep(1); });
}

std::string Format(const char* format, ...) {
  char text[1024];
  va_list arguments;
  va_start(arguments, format);
  vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  return text;
}

void PrintRow(const std::string& figure, const std::string& measured, const std::string& target,
              const std::string& verdict) {
  printf("%s\t%s\t%s\t%s\n", figure.c_str(), measured.c_str(), target.c_str(), verdict.c_str());
  fflush(stdout);
}

const char* Verdict(bool met) { return met ? "met" : "missed"; }

bool RunsEmulated() {
  // ./bench's finding: "native", or "emulated: " and the emulator.
  const char* mode = getenv("BENCH_32BIT_CODE");
  return mode != NULL && strncmp(mode, "emulated", 8) == 0;
}

ChildProcess::ChildProcess(const std::string& program, const std::string& arguments) : info_() {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::string command = BenchBinaryPath(program) + " " + arguments;
  if (!CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info_))
    info_ = PROCESS_INFORMATION();
}

ChildProcess::~ChildProcess() {
  if (!started()) return;
  if (!Wait(0)) {
    TerminateProcess(info_.hProcess, 1);
    Wait(5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool ChildProcess::Wait(DWORD timeout_ms) const {
  return started() && WaitForSingleObject(info_.hProcess, timeout_ms) == WAIT_OBJECT_0;
}

std::string BenchBinaryPath(const std::string& program) {
  return "\"" + BinaryPath(program) + "\"";
}
