#pragma once

#include <windows.h>

#include <oleauto.h>

// One VARIANT, initialised on construction and cleared when it leaves scope.
class VariantHolder {
 public:
  VariantHolder() { VariantInit(&value_); }
  ~VariantHolder() { VariantClear(&value_); }
  VariantHolder(const VariantHolder&) = delete;
  VariantHolder& operator=(const VariantHolder&) = delete;

  // Empties the holder for reuse; freeing whatever it held, unlike VariantInit.
  void Clear() { VariantClear(&value_); }

  VARIANT* get() { return &value_; }
  const VARIANT& value() const { return value_; }

 private:
  VARIANT value_;
};
