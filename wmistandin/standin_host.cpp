#include "wmistandin/standin_host.h"

#include <windows.h>

#include <string>

namespace {

// procfs and sysfs report a size of 0, so the file is read until it ends.
bool ReadTextFile(const std::string& path, std::string* text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return false;
  const size_t kMaxSize = 4 << 20;
  char chunk[4096];
  DWORD read = 0;
  text->clear();
  while (text->size() < kMaxSize && ReadFile(file, chunk, sizeof(chunk), &read, NULL) && read > 0)
    text->append(chunk, read);
  CloseHandle(file);
  return true;
}

bool CpufreqMhz(DWORD processor, std::uint32_t* mhz) {
  const std::string path = "Z:\\sys\\devices\\system\\cpu\\cpu" + std::to_string(processor) +
                           "\\cpufreq\\scaling_cur_freq";
  std::string text;
  return ReadTextFile(path, &text) && ParseScalingCurFreq(text, mhz);
}

}  // namespace

std::vector<Instance> HostInstances() {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  std::string cpuinfo;
  ReadTextFile("Z:\\proc\\cpuinfo", &cpuinfo);
  const std::vector<std::uint32_t> cpuinfo_mhz = ParseCpuInfoMhz(cpuinfo);

  std::vector<Instance> instances;
  for (DWORD processor = 0; processor < system.dwNumberOfProcessors; ++processor) {
    std::uint32_t mhz = 0;
    if (CpufreqMhz(processor, &mhz)) {
      instances.push_back(Instance{InstanceKind::kFrequency, mhz});
    } else if (processor < cpuinfo_mhz.size()) {
      instances.push_back(Instance{InstanceKind::kFrequency, cpuinfo_mhz[processor]});
    }
  }
  return instances;
}
