#include "tests/support/import_patch.h"

#include <string.h>

#include "tests/support/pe_image.h"

namespace {

template <typename Type>
Type* At(HMODULE image, DWORD rva) {
  return reinterpret_cast<Type*>(const_cast<BYTE*>(ImageBase(image)) + rva);
}

// By name through the lookup table, not by address: the loader may resolve
// one function for several imports, and a forwarded export has another address.
void** FindImportSlot(const char* module_name, const char* function) {
  HMODULE self = GetModuleHandleA(NULL);
  for (const IMAGE_IMPORT_DESCRIPTOR* module : Imports(self)) {
    if (_stricmp(ImportName(self, module).c_str(), module_name) != 0) continue;
    if (module->OriginalFirstThunk == 0) return nullptr;
    auto* names = At<IMAGE_THUNK_DATA>(self, module->OriginalFirstThunk);
    auto* slots = At<void*>(self, module->FirstThunk);
    for (size_t i = 0; names[i].u1.AddressOfData != 0; ++i) {
      if (IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal)) continue;
      const auto* name = At<IMAGE_IMPORT_BY_NAME>(self, names[i].u1.AddressOfData);
      if (strcmp(reinterpret_cast<const char*>(name->Name), function) == 0) return &slots[i];
    }
  }
  return nullptr;
}

void* Swap(void** slot, void* value) {
  DWORD protection = 0;
  VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
  void* previous = *slot;
  *slot = value;
  VirtualProtect(slot, sizeof *slot, protection, &protection);
  return previous;
}

}  // namespace

ImportPatch::ImportPatch(const char* module, const char* function, void* replacement)
    : slot_(FindImportSlot(module, function)) {
  if (slot_ != nullptr) original_ = Swap(slot_, replacement);
}

ImportPatch::~ImportPatch() {
  if (slot_ != nullptr) Swap(slot_, original_);
}
