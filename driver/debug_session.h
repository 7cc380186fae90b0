#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// What a program did while it ran under our debugger.
struct DebugReport {
  bool started = false;
  DWORD exit_code = 0;
  std::vector<std::string> debug_output;  // OutputDebugString messages, in order
  std::vector<std::string> faults;        // first-chance access violations
};

// Starts command_line in directory as a debuggee and serves its debug events
// until it ends. while_running gets the child's process id on a thread of its
// own, since the debug loop must stay on the thread that created the child.
DebugReport RunUnderDebugger(const std::string& command_line, const std::string& directory,
                             const std::function<void(DWORD process_id)>& while_running);
