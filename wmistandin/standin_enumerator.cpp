#include <mutex>
#include <new>
#include <utility>

#include "wmistandin/standin_com_object.h"
#include "wmistandin/standin_objects.h"

namespace {

// A forward-only result of one ExecQuery. All instances are there at once, so
// Next never waits and ignores its timeout.
class Enumerator : public ComObject<IEnumWbemClassObject> {
 public:
  explicit Enumerator(std::vector<Instance> instances) : instances_(std::move(instances)) {}

  HRESULT STDMETHODCALLTYPE Next(LONG, ULONG count, IWbemClassObject** objects,
                                 ULONG* returned) override {
    if (objects == NULL || returned == NULL) return WBEM_E_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(mutex_);
    *returned = 0;
    if (position_ < instances_.size() && instances_[position_].kind == InstanceKind::kZeroCount) {
      ++position_;
      return WBEM_S_NO_ERROR;
    }
    HRESULT hr = WBEM_S_NO_ERROR;
    while (*returned < count && hr == WBEM_S_NO_ERROR) {
      hr = NextOne(*returned == 0, &objects[*returned]);
      if (hr == WBEM_S_NO_ERROR) ++*returned;
    }
    return hr;
  }

  HRESULT STDMETHODCALLTYPE Reset() override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE NextAsync(ULONG, IWbemObjectSink*) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumWbemClassObject**) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE Skip(LONG, ULONG) override { return WBEM_E_NOT_SUPPORTED; }

 private:
  // One object into *object, WBEM_S_FALSE at the end. A "next-error" instance
  // fails only the call it would open, and is used up by it: a caller that
  // wrongly goes on then gets the instances behind it and shows them.
  HRESULT NextOne(bool first, IWbemClassObject** object) {
    if (position_ == instances_.size()) return WBEM_S_FALSE;
    const Instance& instance = instances_[position_];
    if (instance.kind == InstanceKind::kNextError) {
      if (!first) return WBEM_S_FALSE;
      ++position_;
      return WBEM_E_FAILED;
    }
    if (instance.kind == InstanceKind::kNullObject) {
      *object = NULL;
    } else {
      *object = NewClassObject(instance);
      if (*object == NULL) return first ? WBEM_E_OUT_OF_MEMORY : WBEM_S_FALSE;
    }
    ++position_;
    return WBEM_S_NO_ERROR;
  }

  const std::vector<Instance> instances_;
  size_t position_ = 0;
  std::mutex mutex_;
};

}  // namespace

IEnumWbemClassObject* NewEnumerator(std::vector<Instance> instances) {
  return new (std::nothrow) Enumerator(std::move(instances));
}
