#include "wmi/frequency_query.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/resource.h"
#include "tests/support/bstr_watch.h"
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

TEST_F(FrequencyQuery, NullValueIsSkippedQuietlyAndFailingNextEndsTheResults) {
  ScopedEnvironment instances("WMISTANDIN_INSTANCES", "5,null,7,next-error,9");
  Connect();

  EXPECT_EQ(0, Query());

  const std::vector<std::string> expected = {"Lumoradine(2):7", "Lumoradine(0):5"};
  EXPECT_EQ(expected, Lines());
  EXPECT_EQ(kConnectStartLine + kQueryStartLine + "Lumoradine(0):5\r\nLumoradine(2):7\r\n",
            ReadFileBytes("trace.log"));
}

// Next breaking its contract: success and a count of 1, but no object.
TEST_F(FrequencyQuery, NullObjectFromNextGivesNoLineButCountsAndTheLoopGoesOn) {
  ScopedEnvironment instances("WMISTANDIN_INSTANCES", "5,null-object,7");
  Connect();

  EXPECT_EQ(0, Query());

  const std::vector<std::string> expected = {"Lumoradine(2):7", "Lumoradine(0):5"};
  EXPECT_EQ(expected, Lines());
  EXPECT_EQ(kConnectStartLine + kQueryStartLine + "Lumoradine(0):5\r\nLumoradine(2):7\r\n",
            ReadFileBytes("trace.log"));
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
