#include "driver/debug_session.h"

#include <stdio.h>

#include <thread>

namespace {

std::string ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
  std::string text(info.nDebugStringLength, '\0');
  SIZE_T read = 0;
  ReadProcessMemory(process, info.lpDebugStringData, &text[0], text.size(), &read);
  text.resize(read);
  // The length counts the terminator.
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

std::string DescribeFault(const EXCEPTION_RECORD& record) {
  char text[128];
  sprintf_s(text, sizeof text, "access violation at 0x%p (%s 0x%p)", record.ExceptionAddress,
            record.ExceptionInformation[0] ? "writing" : "reading",
            reinterpret_cast<void*>(record.ExceptionInformation[1]));
  return text;
}

// Serves one event; false once the debuggee has exited.
bool ServeEvent(HANDLE process, const DEBUG_EVENT& event, DebugReport* report,
                DWORD* continue_status) {
  *continue_status = DBG_CONTINUE;
  switch (event.dwDebugEventCode) {
    case CREATE_PROCESS_DEBUG_EVENT:
      if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
      break;
    case LOAD_DLL_DEBUG_EVENT:
      if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
      break;
    case OUTPUT_DEBUG_STRING_EVENT:
      report->debug_output.push_back(ReadDebugString(process, event.u.DebugString));
      break;
    case EXCEPTION_DEBUG_EVENT: {
      const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
      if (record.ExceptionCode == EXCEPTION_BREAKPOINT) break;  // the loader's own
      // Raised only for debuggees, on closing a stale handle; harmless to go on.
      if (record.ExceptionCode == EXCEPTION_INVALID_HANDLE) break;
      if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && event.u.Exception.dwFirstChance)
        report->faults.push_back(DescribeFault(record));
      *continue_status = DBG_EXCEPTION_NOT_HANDLED;
      break;
    }
    case EXIT_PROCESS_DEBUG_EVENT:
      report->exit_code = event.u.ExitProcess.dwExitCode;
      return false;
  }
  return true;
}

}  // namespace

DebugReport RunUnderDebugger(const std::string& command_line, const std::string& directory,
                             const std::function<void(DWORD process_id)>& while_running) {
  DebugReport report;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  std::string mutable_command = command_line;
  if (!CreateProcessA(NULL, &mutable_command[0], NULL, NULL, FALSE, DEBUG_ONLY_THIS_PROCESS, NULL,
                      directory.empty() ? NULL : directory.c_str(), &startup, &child))
    return report;
  report.started = true;

  std::thread driver;
  if (while_running) driver = std::thread(while_running, child.dwProcessId);

  for (bool running = true; running;) {
    DEBUG_EVENT event;
    if (!WaitForDebugEvent(&event, INFINITE)) break;
    DWORD continue_status = DBG_CONTINUE;
    running = ServeEvent(child.hProcess, event, &report, &continue_status);
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continue_status);
  }
  if (driver.joinable()) driver.join();
  WaitForSingleObject(child.hProcess, INFINITE);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return report;
}
