// The built program, run as a user would, under our debugger.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <set>
#include <sstream>
#include <thread>

#include "app/center_dialog.h"
#include "app/resource.h"
#include "driver/debug_session.h"
#include "driver/dialog_driver.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/standin_control.h"
#include "tests/support/trace_messages.h"

namespace {

// Runs the program and the script against its dialog; a dialog that never
// comes up ends the program, so the run always ends.
DebugReport RunProgram(const std::function<void(HWND dialog)>& script) {
  return RunUnderDebugger("\"" + BinaryPath("lumoradine.exe") + "\"", "", [&](DWORD process_id) {
    HWND dialog = WaitForDialog(process_id, 30000);
    if (dialog != NULL) return script(dialog);
    ADD_FAILURE() << "no dialog";
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, process_id);
    TerminateProcess(process, 1);
    CloseHandle(process);
  });
}

void ExpectCleanExit(const DebugReport& report) {
  EXPECT_TRUE(report.started);
  EXPECT_EQ(0u, report.exit_code);
  EXPECT_TRUE(report.faults.empty()) << report.faults.front();
}

// Another test's window may take the foreground, and the dialog's focus with
// it, at any moment. Brought back to the front, as a user would bring it, the
// dialog must give the focus to the list.
bool FocusComesBackToTheList(HWND dialog) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    SetForegroundWindow(dialog);
    Settle(dialog);
    if (FocusedWindow(dialog) == GetDlgItem(dialog, IDC_LIST)) return true;
    Sleep(50);
  }
  return false;
}

// The stand-in's report: "alive=0" once every object it made was released.
class ProgramRun : public ::testing::Test {
 protected:
  ProgramRun() : report_("WMISTANDIN_REPORT", (scratch_.path() + "\\standin.txt").c_str()) {}
  std::string StandInReport() { return ReadFileBytes(scratch_.path() + "\\standin.txt"); }

  ScratchDirectory scratch_;
  ScopedEnvironment report_;
};

TEST_F(ProgramRun, TwoPressesListNewestFirstTraceEverythingAndEscEnds) {
  ScopedEnvironment instances("WMISTANDIN_INSTANCES", "800,get-error,4294967295");
  std::vector<std::wstring> lines;
  DebugReport report = RunProgram([&](HWND dialog) {
    PressGet(dialog);
    PressGet(dialog);
    lines = ReadList(dialog);
    PressKey(dialog, VK_ESCAPE);
  });

  ExpectCleanExit(report);
  const std::vector<std::wstring> expected = {L"Lumoradine(2):4294967295", L"Lumoradine(0):800",
                                              L"Lumoradine(2):4294967295", L"Lumoradine(0):800"};
  EXPECT_EQ(expected, lines);
  const std::string press = kQueryStartLine + "Lumoradine(0):800\r\n" +
                            "wbem->Get() error. hr=-2147217406\r\n" +
                            "Lumoradine(2):4294967295\r\n";
  const std::string trace = kConnectStartLine + press + press;
  EXPECT_EQ(trace, ReadFileBytes("trace.log"));

  std::string debug_output;
  for (const std::string& message : report.debug_output) debug_output += message;
  std::string bare_trace = trace;
  for (size_t at; (at = bare_trace.find("\r\n")) != std::string::npos;) bare_trace.erase(at, 1);
  EXPECT_EQ(bare_trace, debug_output);
  EXPECT_EQ(0u, StandInReport().find("alive=0"));
}

TEST_F(ProgramRun, FailedConnectionStillShowsDialogAndPressAddsNothing) {
  ScopedEnvironment fail("WMISTANDIN_FAIL", "ConnectServer:0x80041003");
  size_t lines = 1;
  DebugReport report = RunProgram([&](HWND dialog) {
    PressGet(dialog);
    lines = ReadList(dialog).size();
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  });

  ExpectCleanExit(report);
  EXPECT_EQ(0u, lines);
  EXPECT_EQ(
      kConnectStartLine + "locator->ConnectServer() error. hr=-2147217405\r\n" + kQueryStartLine,
      ReadFileBytes("trace.log"));
  EXPECT_EQ(0u, StandInReport().find("alive=0"));
}

TEST_F(ProgramRun, StandsCentredWithFocusInListAndIgnoresEnterAndListClicks) {
  ScopedEnvironment instances("WMISTANDIN_INSTANCES", "800");
  RECT work = {}, desktop = {}, placed = {};
  bool focus_in_list = false, alive_after_enter = false;
  size_t lines_before = 0, lines_after = 0;
  DebugReport report = RunProgram([&](HWND dialog) {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(dialog, &placed);
    focus_in_list = FocusComesBackToTheList(dialog);

    PressGet(dialog);
    lines_before = ReadList(dialog).size();
    PressKey(dialog, VK_RETURN);
    HWND list = GetDlgItem(dialog, IDC_LIST);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
    Settle(dialog);
    alive_after_enter = IsWindowVisible(dialog) != FALSE;
    lines_after = ReadList(dialog).size();
    PressKey(dialog, VK_ESCAPE);
  });

  ExpectCleanExit(report);
  // A work area short of the screen tells our centring from the template's DS_CENTER.
  ASSERT_LT(work.bottom, desktop.bottom);
  const POINT expected = CenteredPosition(work, desktop, placed);
  EXPECT_EQ(expected.x, placed.left);
  EXPECT_EQ(expected.y, placed.top);
  EXPECT_TRUE(focus_in_list);
  EXPECT_TRUE(alive_after_enter);
  EXPECT_EQ(1u, lines_before);
  EXPECT_EQ(lines_before, lines_after);
}

// Two copies in one directory: every message whole and present.
TEST_F(ProgramRun, TwoCopiesPressingAtOnceKeepTheirMessagesWhole) {
  ScopedEnvironment instances("WMISTANDIN_INSTANCES", "1000,1100,1200,1300,1400,1500,1600,1700");
  const int kPresses = 10, kInstances = 8;
  std::vector<std::thread> copies;
  for (int copy = 0; copy < 2; ++copy)
    copies.emplace_back([] {
      ExpectCleanExit(RunProgram([](HWND dialog) {
        for (int press = 0; press < kPresses; ++press) PressGet(dialog);
        PressKey(dialog, VK_ESCAPE);
      }));
    });
  for (std::thread& copy : copies) copy.join();

  std::set<std::string> known = {kConnectStartLine, kQueryStartLine};
  for (int i = 0; i < kInstances; ++i)
    known.insert("Lumoradine(" + std::to_string(i) + "):" + std::to_string(1000 + 100 * i) +
                 "\r\n");
  std::istringstream log(ReadFileBytes("trace.log"));
  int messages = 0;
  for (std::string line; std::getline(log, line); ++messages)
    EXPECT_EQ(1u, known.count(line + "\n")) << "torn: " << line;
  EXPECT_EQ(2 * (1 + kPresses * (1 + kInstances)), messages);
}

}  // namespace
