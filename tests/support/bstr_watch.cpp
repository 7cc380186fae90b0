#include "tests/support/bstr_watch.h"

#include <oleauto.h>

#include <set>

namespace {

// One watch at a time; the replacements are plain functions and find it here.
int failing_allocation = 0;
int allocations_seen = 0;
std::set<BSTR> live_strings;

BSTR WINAPI WatchedAllocation(const OLECHAR* text) {
  if (++allocations_seen == failing_allocation) return NULL;
  BSTR string = Unpatched<BSTR(WINAPI*)(const OLECHAR*)>("oleaut32.dll", "SysAllocString")(text);
  if (string != NULL) live_strings.insert(string);
  return string;
}

void WINAPI WatchedFree(BSTR string) {
  live_strings.erase(string);
  Unpatched<void(WINAPI*)(BSTR)>("oleaut32.dll", "SysFreeString")(string);
}

}  // namespace

BstrWatch::BstrWatch(int failing)
    : allocate_("oleaut32.dll", "SysAllocString", &WatchedAllocation),
      free_("oleaut32.dll", "SysFreeString", &WatchedFree) {
  failing_allocation = failing;
  allocations_seen = 0;
  live_strings.clear();
}

BstrWatch::~BstrWatch() { failing_allocation = 0; }

int BstrWatch::allocations() const { return allocations_seen; }

int BstrWatch::unfreed() const { return static_cast<int>(live_strings.size()); }
