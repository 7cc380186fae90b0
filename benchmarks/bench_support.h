#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Seconds on the performance counter: the one clock of every figure here.
double Now();

// The middle value, so that one run disturbed by the shared machine counts little.
double Median(std::vector<double> values);

// Seconds for `calls` calls of `call` back to back, each given its number.
double SecondsToCall(int calls, void (*call)(int number));

// The floor of every timed figure: `pauses` calls of Sleep(1), the pause
// that each message must take; seconds for all of them.
double SecondsToPause(int pauses);

// printf into a std::string.
std::string Format(const char* format, ...);

// One row of the table: ./bench lines these up under its header.
void PrintRow(const std::string& figure, const std::string& measured, const std::string& target,
              const std::string& verdict);

// "met" or "missed", so that every target row reads the same way.
const char* Verdict(bool met);

// True when ./bench found Wine's 32-bit code run by an emulator. A process's
// memory then counts the emulator's own, its translated code included.
bool RunsEmulated();

// A handle closed when the object goes.
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() {
    if (handle_ != NULL && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// A program from the build's bin directory, started in the current directory
// with this process's environment; ended when the object goes if still running,
// so that no failed run leaves a copy behind.
class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::string& arguments);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return info_.hProcess != NULL; }
  DWORD id() const { return info_.dwProcessId; }
  HANDLE handle() const { return info_.hProcess; }
  // True once the program has ended.
  bool Wait(DWORD timeout_ms) const;

 private:
  PROCESS_INFORMATION info_;
};

// The quoted path of a program beside this one.
std::string BenchBinaryPath(const std::string& program);
