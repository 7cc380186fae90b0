#pragma once

#include <windows.h>

#include <string>

// Sets an environment variable of this process for the object's lifetime;
// the stand-in reads its instructions from there at each call.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    SetEnvironmentVariableA(name, value);
  }
  ~ScopedEnvironment() { SetEnvironmentVariableA(name_.c_str(), NULL); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
};

// How many of the stand-in's objects are alive; 0 when it was never loaded.
// The first look pins the DLL, so that leaks still show after COM has left
// the thread and would otherwise unload it with its counter.
inline LONG StandInAliveObjects() {
  typedef LONG(__stdcall * AliveObjects)();
  HMODULE standin = NULL;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, "wmistandin.dll", &standin)) return 0;
  AliveObjects alive =
      reinterpret_cast<AliveObjects>(GetProcAddress(standin, "WmiStandInAliveObjects"));
  return alive ? alive() : -1;
}
