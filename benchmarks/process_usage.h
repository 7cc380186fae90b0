#pragma once

#include <windows.h>

// What another process holds now, as Task Manager would show it; 0 for a
// figure that could not be had. The handle needs PROCESS_QUERY_INFORMATION.
struct ProcessUsage {
  SIZE_T private_bytes;
  DWORD handles;
};

ProcessUsage UsageOf(HANDLE process);
