// The built DLL as COM meets it: its exports by their plain names, and the
// report it writes when it is unloaded.
#include <gtest/gtest.h>
#include <wbemidl.h>
#include <windows.h>

#include <string>

#include "tests/support/scratch_directory.h"

namespace {

typedef HRESULT(STDAPICALLTYPE* GetClassObjectFunction)(REFCLSID, REFIID, void**);
typedef HRESULT(STDAPICALLTYPE* CanUnloadNowFunction)();
typedef LONG(__stdcall* AliveObjectsFunction)();

class StandInDll : public testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryA(BinaryPath("wmistandin.dll").c_str());
    ASSERT_NE(nullptr, module_);
    get_class_object_ = Export<GetClassObjectFunction>("DllGetClassObject");
    can_unload_now_ = Export<CanUnloadNowFunction>("DllCanUnloadNow");
    alive_objects_ = Export<AliveObjectsFunction>("WmiStandInAliveObjects");
    ASSERT_NE(nullptr, get_class_object_);
    ASSERT_NE(nullptr, can_unload_now_);
    ASSERT_NE(nullptr, alive_objects_);
  }
  void TearDown() override {
    Unload();
    SetEnvironmentVariableA("WMISTANDIN_REPORT", NULL);
  }

  template <typename Function>
  Function Export(const char* name) {
    // Through void*, since casting one function type to another draws a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

  HRESULT CreateLocator(IWbemLocator** locator) {
    IClassFactory* factory = NULL;
    HRESULT hr = get_class_object_(CLSID_WbemAdministrativeLocator, IID_IClassFactory,
                                   reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;
    hr = factory->CreateInstance(NULL, IID_IWbemLocator, reinterpret_cast<void**>(locator));
    factory->Release();
    return hr;
  }

  void Unload() {
    if (module_ != NULL) FreeLibrary(module_);
    module_ = NULL;
  }

  HMODULE module_ = NULL;
  GetClassObjectFunction get_class_object_ = nullptr;
  CanUnloadNowFunction can_unload_now_ = nullptr;
  AliveObjectsFunction alive_objects_ = nullptr;
};

TEST_F(StandInDll, ExportsCountTheLocatorUntilItsRelease) {
  void* object = &object;
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
            get_class_object_(CLSID_WbemLocator, IID_IClassFactory, &object));
  EXPECT_EQ(nullptr, object);
  EXPECT_EQ(S_OK, can_unload_now_());

  IWbemLocator* locator = NULL;
  ASSERT_EQ(S_OK, CreateLocator(&locator));
  EXPECT_EQ(1, alive_objects_());
  EXPECT_EQ(S_FALSE, can_unload_now_());
  locator->Release();
  EXPECT_EQ(0, alive_objects_());
  EXPECT_EQ(S_OK, can_unload_now_());
}

TEST_F(StandInDll, UnloadReplacesTheReportWithTheCountStillAlive) {
  ScratchDirectory scratch;
  const std::string report = scratch.path() + "\\report.txt";
  SetEnvironmentVariableA("WMISTANDIN_REPORT", report.c_str());
  HANDLE file = CreateFileA(report.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  DWORD written = 0;
  WriteFile(file, "an older, longer report\r\n", 25, &written, NULL);
  CloseHandle(file);

  IWbemLocator* released = NULL;
  IWbemLocator* leaked = NULL;
  ASSERT_EQ(S_OK, CreateLocator(&released));
  ASSERT_EQ(S_OK, CreateLocator(&leaked));
  released->Release();
  Unload();  // the leaked locator's code goes with it: it must not be touched
  EXPECT_EQ("alive=1\r\n", ReadFileBytes(report));
}

}  // namespace
