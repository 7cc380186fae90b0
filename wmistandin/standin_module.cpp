#include "wmistandin/standin_module.h"

namespace {

LONG volatile alive_objects = 0;
LONG volatile server_locks = 0;

// An interlocked read, so that another thread's last change is seen whole.
LONG Read(LONG volatile* counter) { return InterlockedCompareExchange(counter, 0, 0); }

}  // namespace

void ObjectCreated() { InterlockedIncrement(&alive_objects); }

void ObjectDestroyed() { InterlockedDecrement(&alive_objects); }

LONG AliveObjects() { return Read(&alive_objects); }

void LockModule(bool lock) {
  if (lock) {
    InterlockedIncrement(&server_locks);
  } else {
    InterlockedDecrement(&server_locks);
  }
}

HRESULT CanUnloadNow() {
  return Read(&alive_objects) == 0 && Read(&server_locks) == 0 ? S_OK : S_FALSE;
}
