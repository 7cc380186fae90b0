#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Reading a PE image that the loader has mapped (headers and imports).

inline const BYTE* ImageBase(HMODULE image) { return reinterpret_cast<const BYTE*>(image); }

inline const IMAGE_NT_HEADERS* NtHeaders(HMODULE image) {
  const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
  return reinterpret_cast<const IMAGE_NT_HEADERS*>(ImageBase(image) + dos->e_lfanew);
}

// The import descriptors, up to the empty one that ends them.
inline std::vector<const IMAGE_IMPORT_DESCRIPTOR*> Imports(HMODULE image) {
  const IMAGE_DATA_DIRECTORY& directory =
      NtHeaders(image)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  std::vector<const IMAGE_IMPORT_DESCRIPTOR*> imports;
  for (auto* module = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(ImageBase(image) +
                                                                       directory.VirtualAddress);
       directory.VirtualAddress != 0 && module->Name != 0; ++module)
    imports.push_back(module);
  return imports;
}

inline std::string ImportName(HMODULE image, const IMAGE_IMPORT_DESCRIPTOR* module) {
  return reinterpret_cast<const char*>(ImageBase(image) + module->Name);
}
