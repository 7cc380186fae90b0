#include "tests/support/scratch_directory.h"

#include <windows.h>

#include <shellapi.h>

#include <fstream>
#include <sstream>

namespace {

std::string CurrentDirectory() {
  char buffer[MAX_PATH];
  DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
  return std::string(buffer, length);
}

void RemoveTree(const std::string& path) {
  std::string from = path + '\0';  // the list ends with a second terminator
  SHFILEOPSTRUCTA operation = {};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_NO_UI;
  SHFileOperationA(&operation);
}

}  // namespace

ScratchDirectory::ScratchDirectory() : previous_(CurrentDirectory()) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  static unsigned sequence = 0;
  do {
    path_ = std::string(temp) + "lumoradine-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++sequence);
  } while (!CreateDirectoryA(path_.c_str(), NULL));
  SetCurrentDirectoryA(path_.c_str());
}

ScratchDirectory::~ScratchDirectory() {
  SetCurrentDirectoryA(previous_.c_str());
  RemoveTree(path_);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

std::string BinaryDirectory() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
  std::string module(path, length);
  return module.substr(0, module.find_last_of("\\/"));
}

std::string BinaryPath(const std::string& name) { return BinaryDirectory() + "\\" + name; }
