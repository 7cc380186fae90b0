#pragma once

#include <windows.h>

#include <oleauto.h>

// One BSTR, allocated from a constant on construction and freed when it leaves
// scope. WMI's BSTR parameters must be real BSTRs: a proxy marshals one by the
// length stored before its first character, which a string literal lacks.
class BstrHolder {
 public:
  explicit BstrHolder(const wchar_t* text) : value_(SysAllocString(text)) {}
  ~BstrHolder() { SysFreeString(value_); }
  BstrHolder(const BstrHolder&) = delete;
  BstrHolder& operator=(const BstrHolder&) = delete;

  // False when memory ran out.
  bool allocated() const { return value_ != NULL; }

  BSTR get() const { return value_; }

 private:
  BSTR value_;
};
