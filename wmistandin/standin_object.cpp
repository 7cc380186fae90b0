#include <new>

#include "wmistandin/standin_com_object.h"
#include "wmistandin/standin_objects.h"
#include "wmistandin/standin_query.h"

namespace {

// One ProcessorPerformance instance; it has the property "frequency" only.
class ClassObject : public ComObject<IWbemClassObject> {
 public:
  explicit ClassObject(const Instance& instance) : instance_(instance) {}

  // The value goes into value as WMI delivers a CIM uint32: a VT_I4 with the
  // same 32 bits. Like WMI, Get does not clear what value held before, and
  // takes no flags.
  HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG flags, VARIANT* value, CIMTYPE* type,
                                LONG* flavor) override {
    if (name == NULL || flags != 0) return WBEM_E_INVALID_PARAMETER;
    if (!IsFrequencyProperty(name) || instance_.kind == InstanceKind::kGetError)
      return WBEM_E_NOT_FOUND;
    if (value != NULL) Fill(value);
    if (type != NULL) *type = CIM_UINT32;
    if (flavor != NULL) *flavor = WBEM_FLAVOR_ORIGIN_LOCAL;
    return WBEM_S_NO_ERROR;
  }

  HRESULT STDMETHODCALLTYPE GetQualifierSet(IWbemQualifierSet**) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE Put(LPCWSTR, LONG, VARIANT*, CIMTYPE) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE Delete(LPCWSTR) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE GetNames(LPCWSTR, LONG, VARIANT*, SAFEARRAY**) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE BeginEnumeration(LONG) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE Next(LONG, BSTR*, VARIANT*, CIMTYPE*, LONG*) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE EndEnumeration() override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE GetPropertyQualifierSet(LPCWSTR, IWbemQualifierSet**) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE Clone(IWbemClassObject**) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE GetObjectText(LONG, BSTR*) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE SpawnDerivedClass(LONG, IWbemClassObject**) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE SpawnInstance(LONG, IWbemClassObject**) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE CompareTo(LONG, IWbemClassObject*) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE GetPropertyOrigin(LPCWSTR, BSTR*) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE InheritsFrom(LPCWSTR) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE GetMethod(LPCWSTR, LONG, IWbemClassObject**,
                                      IWbemClassObject**) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE PutMethod(LPCWSTR, LONG, IWbemClassObject*,
                                      IWbemClassObject*) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DeleteMethod(LPCWSTR) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE BeginMethodEnumeration(LONG) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE NextMethod(LONG, BSTR*, IWbemClassObject**,
                                       IWbemClassObject**) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE EndMethodEnumeration() override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE GetMethodQualifierSet(LPCWSTR, IWbemQualifierSet**) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE GetMethodOrigin(LPCWSTR, BSTR*) override {
    return WBEM_E_NOT_SUPPORTED;
  }

 private:
  void Fill(VARIANT* value) const {
    if (instance_.kind == InstanceKind::kNull) {
      value->vt = VT_NULL;
      return;
    }
    // Counted among the alive objects until the reader clears the value.
    if (instance_.kind == InstanceKind::kObjectValue) {
      value->vt = VT_UNKNOWN;
      value->punkVal = NewClassObject(Instance{InstanceKind::kFrequency, 0});
      return;
    }
    value->vt = VT_I4;
    value->lVal = static_cast<LONG>(instance_.frequency);
  }

  const Instance instance_;
};

}  // namespace

IWbemClassObject* NewClassObject(const Instance& instance) {
  return new (std::nothrow) ClassObject(instance);
}
