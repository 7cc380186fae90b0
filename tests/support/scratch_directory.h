#pragma once

#include <string>

// A fresh, empty directory that is the current directory for the object's
// lifetime, so each test gets a trace.log of its own. Removed afterwards.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string previous_;
};

// The whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

// This test executable's own directory, where the build puts every binary.
std::string BinaryDirectory();

// The path of a binary that the build put beside this executable.
std::string BinaryPath(const std::string& name);
