// The stand-in's objects through their COM interfaces, called as the program calls them.
#include <gtest/gtest.h>
#include <stdio.h>
#include <wbemidl.h>
#include <windows.h>

#include <string>

#include "wmi/bstr_holder.h"
#include "wmistandin/standin_factory.h"
#include "wmistandin/standin_module.h"

namespace {

std::string Hex(HRESULT hr) {
  char text[16];
  snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

template <typename Interface>
Interface* const kUnset = reinterpret_cast<Interface*>(static_cast<INT_PTR>(-1));

// Holds one reference and releases it when it leaves scope.
template <typename Interface>
class Held {
 public:
  Held() = default;
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  ~Held() {
    if (pointer_ != NULL) pointer_->Release();
  }
  Interface** out() { return &pointer_; }
  Interface* get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }

 private:
  Interface* pointer_ = NULL;
};

HRESULT CreateLocator(IWbemLocator** locator) {
  Held<IClassFactory> factory;
  HRESULT hr = GetClassObject(CLSID_WbemAdministrativeLocator, IID_IClassFactory,
                              reinterpret_cast<void**>(factory.out()));
  if (FAILED(hr)) return hr;
  return factory->CreateInstance(NULL, IID_IWbemLocator, reinterpret_cast<void**>(locator));
}

HRESULT ConnectTo(IWbemLocator* locator, BSTR name, IWbemServices** services) {
  return locator->ConnectServer(name, NULL, NULL, NULL, WBEM_FLAG_CONNECT_USE_MAX_WAIT, NULL, NULL,
                                services);
}

// The strings as real BSTRs, the way the program passes them.
HRESULT ConnectTo(IWbemLocator* locator, const wchar_t* name, IWbemServices** services) {
  BstrHolder resource(name);
  return ConnectTo(locator, resource.get(), services);
}

HRESULT Connect(IWbemServices** services) {
  Held<IWbemLocator> locator;
  const HRESULT hr = CreateLocator(locator.out());
  return FAILED(hr) ? hr : ConnectTo(locator.get(), L"root\\WMI", services);
}

HRESULT Query(IWbemServices* services, BSTR language, BSTR query, IEnumWbemClassObject** result) {
  return services->ExecQuery(language, query, WBEM_FLAG_FORWARD_ONLY, NULL, result);
}

HRESULT Query(IWbemServices* services, const wchar_t* language, const wchar_t* query,
              IEnumWbemClassObject** result) {
  BstrHolder language_string(language);
  BstrHolder query_string(query);
  return Query(services, language_string.get(), query_string.get(), result);
}

HRESULT QueryProcessors(IWbemServices* services, IEnumWbemClassObject** result) {
  return Query(services, L"WQL", L"SELECT * FROM ProcessorPerformance", result);
}

// What Get("frequency") gives: the VT_I4's lVal, "null", or the failure.
std::string Frequency(IWbemClassObject* object) {
  VARIANT value;
  VariantInit(&value);
  const HRESULT hr = object->Get(L"frequency", 0, &value, NULL, NULL);
  if (FAILED(hr)) return "get=" + Hex(hr) + (value.vt == VT_EMPTY ? "" : " and a value");
  std::string text = value.vt == VT_I4     ? std::to_string(value.lVal)
                     : value.vt == VT_NULL ? "null"
                                           : "vt=" + std::to_string(value.vt);
  VariantClear(&value);
  return text;
}

// Every Next until WBEM_S_FALSE, going on past failures (as the program does
// not) to show what the enumerator would serve after them.
std::string Transcript(IEnumWbemClassObject* enumerator) {
  std::string text;
  for (int call = 0; call < 20; ++call) {
    IWbemClassObject* object = kUnset<IWbemClassObject>;
    ULONG returned = 99;
    const HRESULT hr = enumerator->Next(WBEM_INFINITE, 1, &object, &returned);
    if (hr == WBEM_S_FALSE && returned == 0) return text + "end";
    if (hr != WBEM_S_NO_ERROR || returned != 1) {
      text += "next=" + Hex(hr) + "/" + std::to_string(returned) + " ";
      continue;
    }
    if (object == NULL) {
      text += "no-object ";
      continue;
    }
    text += Frequency(object) + " ";
    object->Release();
  }
  return text + "...";
}

// The instances that one connection and query serve with WMISTANDIN_INSTANCES set to list.
std::string Serve(const char* list) {
  SetEnvironmentVariableA("WMISTANDIN_INSTANCES", list);
  Held<IWbemServices> services;
  Held<IEnumWbemClassObject> enumerator;
  HRESULT hr = Connect(services.out());
  if (SUCCEEDED(hr)) hr = QueryProcessors(services.get(), enumerator.out());
  return FAILED(hr) ? "failed " + Hex(hr) : Transcript(enumerator.get());
}

// The program's calls up to its first Next: "ok", or the first that fails.
std::string FirstFailure() {
  Held<IWbemLocator> locator;
  Held<IWbemServices> services;
  Held<IEnumWbemClassObject> enumerator;
  HRESULT hr = CreateLocator(locator.out());
  if (FAILED(hr)) return "CoCreateInstance " + Hex(hr);
  hr = ConnectTo(locator.get(), L"root\\WMI", services.out());
  if (FAILED(hr)) return "ConnectServer " + Hex(hr);
  hr = QueryProcessors(services.get(), enumerator.out());
  if (FAILED(hr)) return "ExecQuery " + Hex(hr);
  return "ok";
}

class StandIn : public testing::Test {
 protected:
  void SetUp() override { SetEnvironmentVariableA("WMISTANDIN_INSTANCES", "1000"); }
  void TearDown() override {
    SetEnvironmentVariableA("WMISTANDIN_INSTANCES", NULL);
    SetEnvironmentVariableA("WMISTANDIN_FAIL", NULL);
    EXPECT_EQ(0, AliveObjects()) << "an object outlived its last Release";
    EXPECT_EQ(S_OK, CanUnloadNow());
  }
};

TEST_F(StandIn, FactoryMakesOnlyTheAdministrativeLocator) {
  void* object = kUnset<void>;
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
            GetClassObject(CLSID_WbemLocator, IID_IClassFactory, &object));
  EXPECT_EQ(nullptr, object);

  Held<IClassFactory> factory;
  ASSERT_EQ(S_OK, GetClassObject(CLSID_WbemAdministrativeLocator, IID_IClassFactory,
                                 reinterpret_cast<void**>(factory.out())));
  object = kUnset<void>;
  EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(factory.get(), IID_IUnknown, &object));
  EXPECT_EQ(nullptr, object);
  object = kUnset<void>;
  EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(NULL, IID_IWbemServices, &object));
  EXPECT_EQ(nullptr, object);
  EXPECT_EQ(0, AliveObjects());

  Held<IUnknown> locator;
  EXPECT_EQ(S_OK,
            factory->CreateInstance(NULL, IID_IUnknown, reinterpret_cast<void**>(locator.out())));
  EXPECT_EQ(1, AliveObjects());
}

TEST_F(StandIn, ConnectServerAcceptsRootWmiInAnyCaseOnly) {
  Held<IWbemLocator> locator;
  ASSERT_EQ(S_OK, CreateLocator(locator.out()));
  for (const wchar_t* name : {L"root\\WMI", L"ROOT\\wmi", L"Root\\Wmi"}) {
    Held<IWbemServices> services;
    EXPECT_EQ(WBEM_S_NO_ERROR, ConnectTo(locator.get(), name, services.out()));
    EXPECT_NE(nullptr, services.get());
  }
  for (const wchar_t* name : {L"root\\cimv2", L"root", L"root\\WMI\\sub", L"root/WMI", L"",
                              static_cast<const wchar_t*>(nullptr)}) {
    IWbemServices* services = kUnset<IWbemServices>;
    EXPECT_EQ(WBEM_E_INVALID_NAMESPACE, ConnectTo(locator.get(), name, &services));
    EXPECT_EQ(nullptr, services);
  }
}

TEST_F(StandIn, ExecQueryAnswersAsWmiForEachLanguageAndQuery) {
  const struct {
    const wchar_t* language;
    const wchar_t* query;
    WBEMSTATUS expected;
  } kCases[] = {
      {L"WQL", L"SELECT * FROM ProcessorPerformance", WBEM_S_NO_ERROR},
      {L"wql", L"select * from processorperformance", WBEM_S_NO_ERROR},
      {L"WQL", L" SELECT\t*  FROM ProcessorPerformance ", WBEM_S_NO_ERROR},
      {L"WQL", L"SELECT * FROM Win32_Processor", WBEM_E_INVALID_CLASS},
      {L"WQL", L"SELECT * FROM ProcessorPerformance WHERE frequency > 0", WBEM_E_INVALID_QUERY},
      {L"WQL", L"SELECT * FROM", WBEM_E_INVALID_QUERY},
      {L"WQL", L"SELECT * FROM Processor-Performance", WBEM_E_INVALID_QUERY},
      {L"WQL", L"DELETE * FROM ProcessorPerformance", WBEM_E_INVALID_QUERY},
      {L"WQL", L"", WBEM_E_INVALID_QUERY},
      {L"SQL", L"SELECT * FROM ProcessorPerformance", WBEM_E_INVALID_QUERY_TYPE},
      {L"WQL", nullptr, WBEM_E_INVALID_PARAMETER},
  };
  Held<IWbemServices> services;
  ASSERT_EQ(S_OK, Connect(services.out()));
  for (const auto& c : kCases) {
    IEnumWbemClassObject* enumerator = kUnset<IEnumWbemClassObject>;
    EXPECT_EQ(static_cast<HRESULT>(c.expected),
              Query(services.get(), c.language, c.query, &enumerator))
        << (c.query != nullptr ? c.query : L"(null)");
    EXPECT_EQ(c.expected == WBEM_S_NO_ERROR, enumerator != nullptr);
    if (c.expected == WBEM_S_NO_ERROR) enumerator->Release();
  }
}

// As a proxy would: a string literal cast to BSTR has no length of its own
// before it, and a string with a NUL inside has more length than text.
TEST_F(StandIn, RefusesStringsWhoseStoredLengthIsNotTheirText) {
  Held<IWbemLocator> locator;
  ASSERT_EQ(S_OK, CreateLocator(locator.out()));
  IWbemServices* refused = kUnset<IWbemServices>;
  EXPECT_EQ(E_INVALIDARG, ConnectTo(locator.get(), const_cast<BSTR>(L"root\\WMI"), &refused));
  EXPECT_EQ(nullptr, refused);
  BSTR with_nul = SysAllocStringLen(L"root\\WMI\0", 9);
  EXPECT_EQ(E_INVALIDARG, ConnectTo(locator.get(), with_nul, &refused));
  SysFreeString(with_nul);

  Held<IWbemServices> services;
  ASSERT_EQ(S_OK, ConnectTo(locator.get(), L"root\\WMI", services.out()));
  BstrHolder language(L"WQL");
  BstrHolder query(L"SELECT * FROM ProcessorPerformance");
  IEnumWbemClassObject* enumerator = kUnset<IEnumWbemClassObject>;
  EXPECT_EQ(E_INVALIDARG,
            Query(services.get(), const_cast<BSTR>(L"WQL"), query.get(), &enumerator));
  EXPECT_EQ(nullptr, enumerator);
  EXPECT_EQ(E_INVALIDARG,
            Query(services.get(), language.get(),
                  const_cast<BSTR>(L"SELECT * FROM ProcessorPerformance"), &enumerator));
  EXPECT_EQ(nullptr, enumerator);
  EXPECT_EQ(S_OK, Query(services.get(), language.get(), query.get(), &enumerator));
  enumerator->Release();
}

TEST_F(StandIn, ServesEachListedInstanceThenEnds) {
  // lVal carries the uint32's bits: values past INT_MAX read as negative.
  EXPECT_EQ("2596 -1 0 -2147483648 null get=0x80041002 end",
            Serve("2596,4294967295,0,2147483648,null,get-error"));
  EXPECT_EQ("end", Serve(""));
}

TEST_F(StandIn, NextErrorFailsOnlyTheCallWhereItStands) {
  EXPECT_EQ("1000 next=0x80041001/0 2000 end", Serve("1000,next-error,2000"));
  EXPECT_EQ("next=0x80041001/0 next=0x80041001/0 end", Serve("next-error,next-error"));
}

// What a provider breaking its contract serves; the program must survive each.
TEST_F(StandIn, ContractBreakersServeAsListed) {
  EXPECT_EQ("1000 no-object 2000 end", Serve("1000,null-object,2000"));
  EXPECT_EQ("1000 next=0x00000000/0 2000 end", Serve("1000,zero-count,2000"));
  // VT_UNKNOWN; the fixture's teardown sees its object released by VariantClear.
  EXPECT_EQ("vt=13 2000 end", Serve("object-value,2000"));
}

TEST_F(StandIn, MalformedListFailsTheQuery) {
  EXPECT_EQ("failed 0x80041008", Serve("1000,12x"));
  EXPECT_EQ("failed 0x80041008", Serve("1000,"));
}

TEST_F(StandIn, GetKnowsFrequencyOnlyInAnyCaseAndTellsItsCimType) {
  Held<IWbemServices> services;
  Held<IEnumWbemClassObject> enumerator;
  Held<IWbemClassObject> object;
  ULONG returned = 0;
  ASSERT_EQ(S_OK, Connect(services.out()));
  ASSERT_EQ(S_OK, QueryProcessors(services.get(), enumerator.out()));
  ASSERT_EQ(WBEM_S_NO_ERROR, enumerator->Next(WBEM_INFINITE, 1, object.out(), &returned));

  VARIANT value;
  VariantInit(&value);
  EXPECT_EQ(WBEM_E_NOT_FOUND, object->Get(L"CurrentClockSpeed", 0, &value, NULL, NULL));
  EXPECT_EQ(WBEM_E_INVALID_PARAMETER, object->Get(L"frequency", 1, &value, NULL, NULL));
  EXPECT_EQ(VT_EMPTY, value.vt);
  CIMTYPE type = CIM_EMPTY;
  ASSERT_EQ(WBEM_S_NO_ERROR, object->Get(L"FREQUENCY", 0, &value, &type, NULL));
  EXPECT_EQ(VT_I4, value.vt);
  EXPECT_EQ(1000, value.lVal);
  EXPECT_EQ(CIM_UINT32, type);
}

TEST_F(StandIn, ReadsTheEnvironmentAtEachCall) {
  Held<IWbemServices> services;
  ASSERT_EQ(S_OK, Connect(services.out()));
  Held<IEnumWbemClassObject> first;
  ASSERT_EQ(S_OK, QueryProcessors(services.get(), first.out()));

  SetEnvironmentVariableA("WMISTANDIN_INSTANCES", "7,8");
  Held<IEnumWbemClassObject> second;
  ASSERT_EQ(S_OK, QueryProcessors(services.get(), second.out()));
  SetEnvironmentVariableA("WMISTANDIN_FAIL", "ExecQuery:0x80041003");
  IEnumWbemClassObject* third = kUnset<IEnumWbemClassObject>;
  EXPECT_EQ(WBEM_E_ACCESS_DENIED, QueryProcessors(services.get(), &third));
  EXPECT_EQ(nullptr, third);

  // Each enumerator keeps the list of its own ExecQuery.
  EXPECT_EQ("1000 end", Transcript(first.get()));
  EXPECT_EQ("7 8 end", Transcript(second.get()));
}

TEST_F(StandIn, FailMakesTheNamedCallFail) {
  const struct {
    const char* fail;
    const char* expected;
  } kCases[] = {
      {"CoCreateInstance:0x80040154", "CoCreateInstance 0x80040154"},
      {"ConnectServer:0x80041003", "ConnectServer 0x80041003"},
      {"ExecQuery:-2147217407", "ExecQuery 0x80041001"},
      {"ExecQuery:2147749891", "ExecQuery 0x80041003"},
      {"ConnectServer:0x08004100", "CoCreateInstance 0x80041008"},  // a success code
      {"", "ok"},
  };
  for (const auto& c : kCases) {
    SetEnvironmentVariableA("WMISTANDIN_FAIL", c.fail);
    EXPECT_EQ(c.expected, FirstFailure()) << c.fail;
  }
}

TEST_F(StandIn, MalformedFailFailsEveryCallWithInvalidParameter) {
  SetEnvironmentVariableA("WMISTANDIN_FAIL", "Connect:0x80041003");
  EXPECT_EQ("CoCreateInstance 0x80041008", FirstFailure());

  Held<IWbemLocator> locator;
  SetEnvironmentVariableA("WMISTANDIN_FAIL", NULL);
  ASSERT_EQ(S_OK, CreateLocator(locator.out()));
  SetEnvironmentVariableA("WMISTANDIN_FAIL", "ConnectServer:0x80041003,ExecQuery:1");
  IWbemServices* services = kUnset<IWbemServices>;
  EXPECT_EQ(WBEM_E_INVALID_PARAMETER, ConnectTo(locator.get(), L"root\\WMI", &services));
  EXPECT_EQ(nullptr, services);
}

TEST_F(StandIn, CountsEachObjectUntilItsLastRelease) {
  IWbemLocator* locator = NULL;
  IWbemServices* services = NULL;
  IEnumWbemClassObject* enumerator = NULL;
  IWbemClassObject* object = NULL;
  ULONG returned = 0;
  ASSERT_EQ(S_OK, CreateLocator(&locator));
  ASSERT_EQ(S_OK, ConnectTo(locator, L"root\\WMI", &services));
  ASSERT_EQ(S_OK, QueryProcessors(services, &enumerator));
  ASSERT_EQ(WBEM_S_NO_ERROR, enumerator->Next(WBEM_INFINITE, 1, &object, &returned));
  EXPECT_EQ(4, AliveObjects());
  EXPECT_EQ(S_FALSE, CanUnloadNow());

  // Lifetimes are independent: the services outlive the locator that made them.
  EXPECT_EQ(0u, locator->Release());
  EXPECT_EQ(3, AliveObjects());
  IUnknown* unknown = NULL;
  ASSERT_EQ(S_OK, services->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)));
  EXPECT_EQ(static_cast<IUnknown*>(services), unknown);
  void* wrong = kUnset<void>;
  EXPECT_EQ(E_NOINTERFACE, services->QueryInterface(IID_IWbemLocator, &wrong));
  EXPECT_EQ(nullptr, wrong);
  EXPECT_EQ(1u, unknown->Release());
  EXPECT_EQ(0u, services->Release());
  EXPECT_EQ(2, AliveObjects());

  EXPECT_EQ(2u, object->AddRef());
  EXPECT_EQ(1u, object->Release());
  EXPECT_EQ(2, AliveObjects());
  EXPECT_EQ(0u, object->Release());
  EXPECT_EQ(0u, enumerator->Release());
  EXPECT_EQ(0, AliveObjects());
}

TEST_F(StandIn, ServerLocksKeepTheModuleLoaded) {
  Held<IClassFactory> factory;
  ASSERT_EQ(S_OK, GetClassObject(CLSID_WbemAdministrativeLocator, IID_IClassFactory,
                                 reinterpret_cast<void**>(factory.out())));
  EXPECT_EQ(S_OK, CanUnloadNow());
  EXPECT_EQ(S_OK, factory->LockServer(TRUE));
  EXPECT_EQ(S_OK, factory->LockServer(TRUE));
  EXPECT_EQ(S_OK, factory->LockServer(FALSE));
  EXPECT_EQ(S_FALSE, CanUnloadNow());
  EXPECT_EQ(S_OK, factory->LockServer(FALSE));
}

// Under Wine, Z: is the host's root; an x86 Linux host's /proc/cpuinfo has a
// "cpu MHz" line for every processor, whether or not it has cpufreq.
TEST_F(StandIn, WithoutAListServesTheHostsProcessors) {
  SetEnvironmentVariableA("WMISTANDIN_INSTANCES", NULL);
  if (GetFileAttributesA("Z:\\proc\\cpuinfo") == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "no Linux host behind Z:";
  Held<IWbemServices> services;
  Held<IEnumWbemClassObject> enumerator;
  ASSERT_EQ(S_OK, Connect(services.out()));
  ASSERT_EQ(S_OK, QueryProcessors(services.get(), enumerator.out()));

  SYSTEM_INFO system;
  GetSystemInfo(&system);
  DWORD count = 0;
  for (;;) {
    Held<IWbemClassObject> object;
    ULONG returned = 0;
    if (enumerator->Next(WBEM_INFINITE, 1, object.out(), &returned) != WBEM_S_NO_ERROR) break;
    const std::string mhz = Frequency(object.get());
    EXPECT_GE(std::stol(mhz), 1) << mhz;
    EXPECT_LE(std::stol(mhz), 100000) << mhz;
    ++count;
  }
  EXPECT_EQ(system.dwNumberOfProcessors, count);
}

}  // namespace
