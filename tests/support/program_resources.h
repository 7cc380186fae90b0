#pragma once

#include <windows.h>

#include <string>

// A program file's resources, loaded as data: nothing of it runs.
class ProgramResources {
 public:
  explicit ProgramResources(const std::string& path)
      : module_(LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~ProgramResources() {
    if (module_ != NULL) FreeLibrary(module_);
  }
  ProgramResources(const ProgramResources&) = delete;
  ProgramResources& operator=(const ProgramResources&) = delete;

  bool loaded() const { return module_ != NULL; }

  // The bytes of one resource in Japanese, the program's only language; empty when absent.
  std::string Japanese(LPCSTR type, LPCSTR name) const {
    HRSRC resource =
        FindResourceExA(module_, type, name, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    if (resource == NULL) return std::string();
    const char* data = static_cast<const char*>(LockResource(LoadResource(module_, resource)));
    return std::string(data, SizeofResource(module_, resource));
  }

 private:
  HMODULE module_;
};
