#include "benchmarks/process_usage.h"

#include <psapi.h>
#include <stddef.h>

#include <vector>

namespace {

// NtQuerySystemInformation's SystemHandleInformation, as ntdll lays it out.
const ULONG kSystemHandleInformation = 16;
const LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

struct SystemHandle {
  ULONG owner_process_id;
  BYTE object_type;
  BYTE flags;
  USHORT value;
  PVOID object;
  ULONG access;
};

struct SystemHandles {
  ULONG count;
  SystemHandle handles[1];
};

typedef LONG(WINAPI* QuerySystemInformation)(ULONG, PVOID, ULONG, PULONG);

// Wine 8 answers GetProcessHandleCount with 0 for every process, but lists
// every handle of the system with its owner.
DWORD CountSystemHandles(DWORD process_id) {
  // Through void (*)(), the one cast of a function pointer that compilers accept as meant.
  QuerySystemInformation query =
      reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void (*)()>(
          GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (query == NULL) return 0;
  // The list may grow between calls; doubling catches up, up to a bound.
  std::vector<BYTE> buffer(1 << 16);
  LONG status;
  while ((status = query(kSystemHandleInformation, &buffer[0], static_cast<ULONG>(buffer.size()),
                         NULL)) == kInfoLengthMismatch &&
         buffer.size() < (64u << 20))
    buffer.resize(buffer.size() * 2);
  if (status != 0) return 0;
  const SystemHandles* list = reinterpret_cast<const SystemHandles*>(&buffer[0]);
  const size_t room = (buffer.size() - offsetof(SystemHandles, handles)) / sizeof(SystemHandle);
  DWORD count = 0;
  for (ULONG i = 0; i < list->count && i < room; ++i)
    if (list->handles[i].owner_process_id == process_id) ++count;
  return count;
}

// Wine 8 fills only the short PROCESS_MEMORY_COUNTERS; its PagefileUsage is
// the same private commit charge on Windows, and the process's anonymous
// memory (RssAnon + VmSwap) under Wine.
SIZE_T PrivateBytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof counters))
    return 0;
  return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

}  // namespace

ProcessUsage UsageOf(HANDLE process) {
  ProcessUsage usage = {PrivateBytes(process), 0};
  if (!GetProcessHandleCount(process, &usage.handles) || usage.handles == 0)
    usage.handles = CountSystemHandles(GetProcessId(process));
  return usage;
}
