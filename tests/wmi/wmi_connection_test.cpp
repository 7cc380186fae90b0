#include "wmi/wmi_connection.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/bstr_watch.h"
#include "tests/support/import_patch.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/standin_control.h"
#include "tests/support/trace_messages.h"

// CoInitializeSecurity takes effect once per process; each test runs in a
// process of its own.
namespace {

// Whether this thread is still in COM's MTA, judged by what joining it says.
bool ThreadStillInMta() {
  HRESULT hr = CoInitializeEx(NULL, COINIT_MULTITHREADED);
  if (SUCCEEDED(hr)) CoUninitialize();
  return hr == S_FALSE;
}

TEST(WmiConnection, SuccessTracesOnlyTheStartAndDisconnectReleasesAll) {
  ScratchDirectory scratch;
  {
    BstrWatch watch(0);
    ASSERT_TRUE(watch.active());
    ASSERT_EQ(0, WmiConnect());
    EXPECT_EQ(0, watch.unfreed());
  }
  EXPECT_NE(nullptr, locator);
  EXPECT_NE(nullptr, service);
  EXPECT_EQ(2, StandInAliveObjects());
  EXPECT_EQ(kConnectStartLine, ReadFileBytes("trace.log"));

  EXPECT_EQ(0, WmiDisconnect());
  EXPECT_EQ(nullptr, service);
  EXPECT_EQ(nullptr, locator);
  EXPECT_EQ(0, StandInAliveObjects());
  EXPECT_FALSE(ThreadStillInMta());
}

// The stand-in's objects still alive at each CoUninitialize.
std::vector<LONG> alive_when_leaving_com;
void WINAPI RecordLeavingCom() {
  alive_when_leaving_com.push_back(StandInAliveObjects());
  Unpatched<void(WINAPI*)()>("ole32.dll", "CoUninitialize")();
}

TEST(WmiConnection, FailingConnectServerReleasesLocatorAndLeavesCallersComAlone) {
  ScratchDirectory scratch;
  ScopedEnvironment fail("WMISTANDIN_FAIL", "ConnectServer:0x80041003");
  ASSERT_EQ(S_OK, CoInitializeEx(NULL, COINIT_MULTITHREADED));  // the caller's own

  {
    ImportPatch leaving("ole32.dll", "CoUninitialize", &RecordLeavingCom);
    ASSERT_TRUE(leaving.active());
    EXPECT_EQ(-1, WmiConnect());
  }
  // The locator goes before COM is left, not after.
  EXPECT_EQ(std::vector<LONG>{0}, alive_when_leaving_com);
  EXPECT_EQ(nullptr, locator);
  EXPECT_EQ(nullptr, service);
  EXPECT_EQ(0, StandInAliveObjects());
  EXPECT_EQ(kConnectStartLine + "locator->ConnectServer() error. hr=-2147217405\r\n",
            ReadFileBytes("trace.log"));

  EXPECT_EQ(0, WmiDisconnect());
  EXPECT_TRUE(ThreadStillInMta());
  CoUninitialize();
}

TEST(WmiConnection, NamespaceThatCannotBeAllocatedFailsConnectServerWithOutOfMemory) {
  ScratchDirectory scratch;
  {
    BstrWatch watch(1);
    ASSERT_TRUE(watch.active());
    EXPECT_EQ(-1, WmiConnect());
    EXPECT_EQ(1, watch.allocations());
  }
  EXPECT_EQ(nullptr, locator);
  EXPECT_EQ(nullptr, service);
  EXPECT_EQ(0, StandInAliveObjects());
  EXPECT_EQ(kConnectStartLine + "locator->ConnectServer() error. hr=-2147024882\r\n",
            ReadFileBytes("trace.log"));
  EXPECT_FALSE(ThreadStillInMta());
}

// Windows answers so when security was set in this process already; Wine
// never does. The arguments it was given, as text.
std::string security_arguments;
HRESULT WINAPI SecurityTooLate(PSECURITY_DESCRIPTOR descriptor, LONG services,
                               SOLE_AUTHENTICATION_SERVICE* service_list, void* reserved1,
                               DWORD authentication, DWORD impersonation, void* authentication_list,
                               DWORD capabilities, void* reserved3) {
  std::ostringstream text;
  text << descriptor << " " << services << " " << service_list << " " << reserved1 << " "
       << authentication << " " << impersonation << " " << authentication_list << " "
       << capabilities << " " << reserved3;
  security_arguments = text.str();
  return RPC_E_TOO_LATE;
}

TEST(WmiConnection, FailingCoInitializeSecurityUninitialisesComAndHoldsNothing) {
  ScratchDirectory scratch;
  {
    ImportPatch too_late("ole32.dll", "CoInitializeSecurity", &SecurityTooLate);
    ASSERT_TRUE(too_late.active());
    EXPECT_EQ(-1, WmiConnect());
  }
  // Default authentication services and level, impersonation, no capabilities.
  EXPECT_EQ("0 -1 0 0 0 3 0 0 0", security_arguments);
  EXPECT_EQ(nullptr, locator);
  EXPECT_EQ(nullptr, service);
  EXPECT_EQ(0, StandInAliveObjects());
  EXPECT_EQ(kConnectStartLine + "CoInitializeSecurity() error. hr=-2147417831\r\n",
            ReadFileBytes("trace.log"));
  EXPECT_FALSE(ThreadStillInMta());

  // Nothing of COM is WmiDisconnect's to leave: the caller's own stays.
  ASSERT_EQ(S_OK, CoInitializeEx(NULL, COINIT_MULTITHREADED));
  EXPECT_EQ(0, WmiDisconnect());
  EXPECT_TRUE(ThreadStillInMta());
  CoUninitialize();
}

TEST(WmiConnection, FailingCoCreateInstanceUninitialisesCom) {
  ScratchDirectory scratch;
  ScopedEnvironment fail("WMISTANDIN_FAIL", "CoCreateInstance:0x80004005");

  EXPECT_EQ(-1, WmiConnect());
  EXPECT_EQ(nullptr, locator);
  EXPECT_EQ(kConnectStartLine + "CoCreateInstance() error. hr=-2147467259\r\n",
            ReadFileBytes("trace.log"));
  EXPECT_FALSE(ThreadStillInMta());
}

TEST(WmiConnection, ThreadAlreadyInMtaConnects) {
  ScratchDirectory scratch;
  ASSERT_EQ(S_OK, CoInitializeEx(NULL, COINIT_MULTITHREADED));

  EXPECT_EQ(0, WmiConnect());  // S_FALSE from CoInitializeEx is success
  EXPECT_EQ(kConnectStartLine, ReadFileBytes("trace.log"));
  WmiDisconnect();
  EXPECT_TRUE(ThreadStillInMta());
  CoUninitialize();
}

TEST(WmiConnection, ThreadInStaFailsWithoutUninitialising) {
  ScratchDirectory scratch;
  ASSERT_EQ(S_OK, CoInitializeEx(NULL, COINIT_APARTMENTTHREADED));

  EXPECT_EQ(-1, WmiConnect());
  EXPECT_EQ(kConnectStartLine + "CoInitializeEx() error. hr=-2147417850\r\n",
            ReadFileBytes("trace.log"));
  WmiDisconnect();
  // Still in the STA: joining it again answers S_FALSE.
  EXPECT_EQ(S_FALSE, CoInitializeEx(NULL, COINIT_APARTMENTTHREADED));
  CoUninitialize();
  CoUninitialize();
}

}  // namespace
