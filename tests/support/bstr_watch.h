#pragma once

#include "tests/support/import_patch.h"

// Watches this test's oleaut32!SysAllocString and SysFreeString for the
// object's lifetime: one chosen allocation fails, the others are passed on,
// and the strings not yet freed are counted.
class BstrWatch {
 public:
  // failing: which allocation fails, 1 for the first; 0 for none.
  explicit BstrWatch(int failing);
  ~BstrWatch();
  BstrWatch(const BstrWatch&) = delete;
  BstrWatch& operator=(const BstrWatch&) = delete;

  bool active() const { return allocate_.active() && free_.active(); }
  int allocations() const;
  int unfreed() const;

 private:
  ImportPatch allocate_;
  ImportPatch free_;
};
