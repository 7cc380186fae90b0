#include "wmi/frequency_query.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/resource.h"
#include "tests/support/bstr_watch.h"
#include "tests/support/import_patch.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/standin_control.h"
#include "tests/support/trace_messages.h"
#include "wmi/wmi_connection.h"

namespace {

const LONG kConnectionObjects = 2;  // locator and service

// A window with a list of the dialog's id stands in for the dialog.
class FrequencyQuery : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, NULL, NULL,
                              NULL, NULL);
    CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_NOTIFY, 0, 0, 300, 200, window_,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LIST)), NULL, NULL);
  }
  void TearDown() override {
    WmiDisconnect();
    EXPECT_EQ(0, StandInAliveObjects());
    DestroyWindow(window_);
  }

  void Connect() {
    ASSERT_EQ(0, WmiConnect());
    ASSERT_EQ(kConnectionObjects, StandInAliveObjects());
  }

  // One press; the query must hand back every object it took.
  int Query() {
    const int result = QueryFrequencies(window_);
    EXPECT_EQ(service ? kConnectionObjects : 0, StandInAliveObjects());
    return result;
  }

  std::vector<std::string> Lines() const {
    HWND list = GetDlgItem(window_, IDC_LIST);
    std::vector<std::string> lines;
    for (LRESULT i = 0, n = SendMessageA(list, LB_GETCOUNT, 0, 0); i < n; ++i) {
      char line[QueryLineBuffer] = "";
      SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
      lines.push_back(line);
    }
    return lines;
  }

  ScratchDirectory scratch_;
  HWND window_ = NULL;
};

TEST_F(FrequencyQuery, NumbersEveryInstanceAndPutsNewestPressOnTop) {
  ScopedEnvironment instances("WMISTANDIN_INSTANCES", "800,get-error,4294967295");
  Connect();

  EXPECT_EQ(0, Query());
  EXPECT_EQ(0, Query());

  const std::vector<std::string> expected = {"Lumoradine(2):4294967295", "Lumoradine(0):800",
                                             "Lumoradine(2):4294967295", "Lumoradine(0):800"};
  EXPECT_EQ(expected, Lines());
  const std::string press = kQueryStartLine + "Lumoradine(0):800\r\n" +
                            "wbem->Get() error. hr=-2147217406\r\n" +
                            "Lumoradine(2):4294967295\r\n";
  EXPECT_EQ(kConnectStartLine + press + press, ReadFileBytes("trace.log"));
}

// A failing Next, on the first call or a later one, is traced and fails the
// press; the lines before it stay. A null value before it is skipped quietly.
TEST_F(FrequencyQuery, FailingNextIsTracedAndKeepsTheLinesBeforeIt) {
  const struct {
    const char* instances;
    const char* traced_lines;
  } cases[] = {{"next-error,9", ""},
               {"5,null,7,next-error,9", "Lumoradine(0):5\r\nLumoradine(2):7\r\n"}};
  Connect();
  for (const auto& provider : cases) {
    SCOPED_TRACE(provider.instances);
    ScopedEnvironment instances("WMISTANDIN_INSTANCES", provider.instances);
    DeleteFileA("trace.log");
    EXPECT_EQ(-1, Query());
    EXPECT_EQ(
        kQueryStartLine + provider.traced_lines + "enumerator->Next() error. hr=-2147217407\r\n",
        ReadFileBytes("trace.log"));
  }
  const std::vector<std::string> shown = {"Lumoradine(2):7", "Lumoradine(0):5"};
  EXPECT_EQ(shown, Lines());
}

// A provider breaking its contract: Next succeeding with a count of 1 but no
// object (no line, the number still counts), or with a count of 0 (the
// results end); or a value that owns an object, released before the next Get.
TEST_F(FrequencyQuery, ContractBreakingProvidersCostNoFaultAndNoObject) {
  const struct {
    const char* instances;
    const char* traced_lines;
  } cases[] = {{"5,null-object,7", "Lumoradine(0):5\r\nLumoradine(2):7\r\n"},
               {"5,zero-count,7", "Lumoradine(0):5\r\n"},
               {"object-value,7", "Lumoradine(1):7\r\n"}};
  Connect();
  for (const auto& provider : cases) {
    SCOPED_TRACE(provider.instances);
    ScopedEnvironment instances("WMISTANDIN_INSTANCES", provider.instances);
    DeleteFileA("trace.log");
    EXPECT_EQ(0, Query());
    EXPECT_EQ(kQueryStartLine + provider.traced_lines, ReadFileBytes("trace.log"));
  }
  const std::vector<std::string> shown = {"Lumoradine(1):7", "Lumoradine(0):5", "Lumoradine(2):7",
                                          "Lumoradine(0):5"};
  EXPECT_EQ(shown, Lines());
}

// What the query did to the list, in order, recorded by the replacements.
HWND recorded_list = NULL;
std::vector<std::string> list_calls;

LRESULT WINAPI RecordListMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (window == recorded_list && message == WM_SETREDRAW)
    list_calls.push_back("redraw " + std::to_string(wparam));
  if (window == recorded_list && message == LB_INSERTSTRING) list_calls.push_back("insert");
  return Unpatched<LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM)>("user32.dll", "SendMessageA")(
      window, message, wparam, lparam);
}

BOOL WINAPI RecordInvalidation(HWND window, const RECT* rect, BOOL erase) {
  if (window == recorded_list && rect == NULL && erase) list_calls.push_back("invalidate");
  return Unpatched<BOOL(WINAPI*)(HWND, const RECT*, BOOL)>("user32.dll", "InvalidateRect")(
      window, rect, erase);
}

// Drawing is held over all insertions, then let go, and only then is the list
// invalidated: a window whose redrawing is held takes no invalidation.
TEST_F(FrequencyQuery, HoldsTheListsDrawingOverTheInsertionsThenRepaintsItWhole) {
  ScopedEnvironment instances("WMISTANDIN_INSTANCES", "800,900");
  Connect();
  recorded_list = GetDlgItem(window_, IDC_LIST);
  {
    ImportPatch messages("user32.dll", "SendMessageA", &RecordListMessage);
    ImportPatch invalidation("user32.dll", "InvalidateRect", &RecordInvalidation);
    ASSERT_TRUE(messages.active() && invalidation.active());
    QueryFrequencies(window_);
  }
  const std::vector<std::string> expected = {"redraw 0", "insert", "insert", "redraw 1",
                                             "invalidate"};
  EXPECT_EQ(expected, list_calls);
}

// The query holds the list's redrawing while it inserts; afterwards the list
// must repaint itself again when it changes.
TEST_F(FrequencyQuery, ListRedrawsAgainAfterTheQuery) {
  ScopedEnvironment instances("WMISTANDIN_INSTANCES", "800,900");
  Connect();
  EXPECT_EQ(0, Query());

  HWND list = GetDlgItem(window_, IDC_LIST);
  ValidateRect(list, NULL);
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("later"));
  EXPECT_TRUE(GetUpdateRect(list, NULL, FALSE));
}

// GetDlgItem finds no list: every line is still traced and counted, and
// nothing else on the screen is touched.
TEST_F(FrequencyQuery, WithoutAListEveryLineIsStillTracedAndCounted) {
  ScopedEnvironment instances("WMISTANDIN_INSTANCES", "800,get-error,900");
  Connect();
  HWND without_list = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, NULL,
                                      NULL, NULL, NULL);
  UpdateWindow(window_);
  ASSERT_FALSE(GetUpdateRect(window_, NULL, FALSE));

  EXPECT_EQ(0, QueryFrequencies(without_list));

  EXPECT_EQ(kConnectStartLine + kQueryStartLine + "Lumoradine(0):800\r\n" +
                "wbem->Get() error. hr=-2147217406\r\nLumoradine(2):900\r\n",
            ReadFileBytes("trace.log"));
  EXPECT_FALSE(GetUpdateRect(window_, NULL, FALSE));
  EXPECT_TRUE(Lines().empty());
  DestroyWindow(without_list);
}

TEST_F(FrequencyQuery, NoInstancesTracesOnlyTheStart) {
  ScopedEnvironment instances("WMISTANDIN_INSTANCES", "");
  Connect();

  {
    BstrWatch watch(0);
    ASSERT_TRUE(watch.active());
    EXPECT_EQ(0, Query());
    EXPECT_EQ(0, watch.unfreed());
  }

  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(kConnectStartLine + kQueryStartLine, ReadFileBytes("trace.log"));
}

TEST_F(FrequencyQuery, FailingExecQueryLeavesListAlone) {
  ScopedEnvironment instances("WMISTANDIN_INSTANCES", "800");
  Connect();
  ScopedEnvironment fail("WMISTANDIN_FAIL", "ExecQuery:0x80041017");

  EXPECT_EQ(-1, Query());

  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(kConnectStartLine + kQueryStartLine + "service->ExecQuery() error. hr=-2147217385\r\n",
            ReadFileBytes("trace.log"));
}

// The language first, then the query: each allocation that fails fails the call.
TEST_F(FrequencyQuery, QueryStringsThatCannotBeAllocatedFailExecQueryWithOutOfMemory) {
  ScopedEnvironment instances("WMISTANDIN_INSTANCES", "800");
  Connect();

  for (int failing : {1, 2}) {
    BstrWatch watch(failing);
    ASSERT_TRUE(watch.active());
    EXPECT_EQ(-1, Query());
    EXPECT_EQ(2, watch.allocations());
    EXPECT_EQ(0, watch.unfreed());
  }

  EXPECT_TRUE(Lines().empty());
  const std::string press = kQueryStartLine + "service->ExecQuery() error. hr=-2147024882\r\n";
  EXPECT_EQ(kConnectStartLine + press + press, ReadFileBytes("trace.log"));
}

TEST_F(FrequencyQuery, WithoutConnectionTracesTheStartAndFails) {
  ScopedEnvironment fail("WMISTANDIN_FAIL", "ConnectServer:0x80041003");
  WmiConnect();
  ASSERT_EQ(nullptr, service);
  const std::string connect_trace = ReadFileBytes("trace.log");

  EXPECT_EQ(-1, Query());

  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(connect_trace + kQueryStartLine, ReadFileBytes("trace.log"));
}

TEST(FrequencyFromVariant, TakesTheBitsOfAnI4AndConvertsOtherIntegers) {
  VARIANT value;
  unsigned int frequency = 0;
  value.vt = VT_I4;
  value.lVal = -1;
  EXPECT_TRUE(FrequencyFromVariant(value, &frequency));
  EXPECT_EQ(4294967295u, frequency);

  value.vt = VT_UI4;
  value.ulVal = 3000000000u;
  EXPECT_TRUE(FrequencyFromVariant(value, &frequency));
  EXPECT_EQ(3000000000u, frequency);

  value.vt = VT_I2;
  value.iVal = 1800;
  EXPECT_TRUE(FrequencyFromVariant(value, &frequency));
  EXPECT_EQ(1800u, frequency);

  value.vt = VT_UI8;
  value.ullVal = 2400;
  EXPECT_TRUE(FrequencyFromVariant(value, &frequency));
  EXPECT_EQ(2400u, frequency);
}

TEST(FrequencyFromVariant, RefusesWhatIsNoFittingInteger) {
  VARIANT value;
  unsigned int frequency = 0;
  value.vt = VT_NULL;
  EXPECT_FALSE(FrequencyFromVariant(value, &frequency));
  value.vt = VT_EMPTY;
  EXPECT_FALSE(FrequencyFromVariant(value, &frequency));
  value.vt = VT_I2;
  value.iVal = -1;
  EXPECT_FALSE(FrequencyFromVariant(value, &frequency));
  value.vt = VT_UI8;
  value.ullVal = 4294967296ull;
  EXPECT_FALSE(FrequencyFromVariant(value, &frequency));
  value.vt = VT_R8;
  value.dblVal = 800.0;
  EXPECT_FALSE(FrequencyFromVariant(value, &frequency));
}

}  // namespace
