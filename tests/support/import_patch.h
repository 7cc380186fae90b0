#pragma once

#include <windows.h>

// Points one import slot of this test executable, module!function, at a
// replacement for the object's lifetime. The program's code linked into the
// test calls through that slot, and so does everything else linked in
// (GoogleTest, the C++ runtime): keep the scope to the call under test.
class ImportPatch {
 public:
  ImportPatch(const char* module, const char* function, void* replacement);
  // Any function pointer; WINAPI ones do not convert to void* implicitly.
  template <typename Function>
  ImportPatch(const char* module, const char* function, Function* replacement)
      : ImportPatch(module, function, reinterpret_cast<void*>(replacement)) {}
  ~ImportPatch();
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;

  // False when this executable does not import module!function.
  bool active() const { return slot_ != nullptr; }

 private:
  void** slot_;
  void* original_ = nullptr;
};

// The platform's own function, for a replacement that passes calls on: calling
// it by name would come back through the patched slot to the replacement.
template <typename Function>
Function Unpatched(const char* module, const char* function) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(module), function)));
}
