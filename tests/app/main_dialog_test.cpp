#include "app/main_dialog.h"

#include <gtest/gtest.h>

#include <mmsystem.h>

#include <string>
#include <vector>

#include "app/resource.h"
#include "tests/support/import_patch.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/standin_control.h"

namespace {

// The timer as the replacements see it: raises granted and not yet ended.
bool grant_raises = true;
int raises_held = 0;
std::vector<std::string> calls;

MMRESULT WINAPI RecordBegin(UINT period) {
  calls.push_back("begin " + std::to_string(period));
  if (!grant_raises) return TIMERR_NOCANDO;
  ++raises_held;
  return TIMERR_NOERROR;
}

MMRESULT WINAPI RecordEnd(UINT period) {
  --raises_held;
  calls.push_back("end " + std::to_string(period));
  return TIMERR_NOERROR;
}

void WINAPI RecordSleep(DWORD milliseconds) {
  calls.push_back("sleep " + std::to_string(milliseconds) + (raises_held > 0 ? " raised" : ""));
  Unpatched<void(WINAPI*)(DWORD)>("kernel32.dll", "Sleep")(milliseconds);
}

// The calls one message made to the timer and to Sleep, in order.
std::vector<std::string> TimerCallsOf(HWND dialog, UINT message, WPARAM wparam) {
  calls.clear();
  {
    ImportPatch begin("winmm.dll", "timeBeginPeriod", &RecordBegin);
    ImportPatch end("winmm.dll", "timeEndPeriod", &RecordEnd);
    ImportPatch sleep("kernel32.dll", "Sleep", &RecordSleep);
    EXPECT_TRUE(begin.active() && end.active() && sleep.active());
    MainDialogProc(dialog, message, wparam, 0);
  }
  EXPECT_EQ(0, raises_held) << "a raise outlived its message";
  return calls;
}

// Connecting, a press and disconnecting each hold a 1 ms timer over every
// pause of their traces, and only then; a raise that was refused is not ended,
// and the pauses stay.
TEST(MainDialog, HoldsAOneMillisecondTimerOverEveryPauseOfEachStepThatReachesWmi) {
  ScratchDirectory scratch;
  ScopedEnvironment instances("WMISTANDIN_INSTANCES", "800,900");
  HWND dialog = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 200, NULL, NULL, NULL, NULL);
  CreateWindowExA(0, "LISTBOX", "", WS_CHILD, 0, 0, 300, 200, dialog,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LIST)), NULL, NULL);

  const std::vector<std::string> granted_connect = {"begin 1", "sleep 1 raised", "end 1"};
  const std::vector<std::string> granted_press = {"begin 1", "sleep 1 raised", "sleep 1 raised",
                                                  "sleep 1 raised", "end 1"};
  const std::vector<std::string> granted_disconnect = {"begin 1", "end 1"};
  EXPECT_EQ(granted_connect, TimerCallsOf(dialog, WM_INITDIALOG, 0));
  EXPECT_EQ(granted_press, TimerCallsOf(dialog, WM_COMMAND, IDC_GET));
  EXPECT_EQ(granted_disconnect, TimerCallsOf(dialog, WM_DESTROY, 0));

  grant_raises = false;
  const std::vector<std::string> refused_connect = {"begin 1", "sleep 1"};
  const std::vector<std::string> refused_press = {"begin 1", "sleep 1", "sleep 1", "sleep 1"};
  const std::vector<std::string> refused_disconnect = {"begin 1"};
  EXPECT_EQ(refused_connect, TimerCallsOf(dialog, WM_INITDIALOG, 0));
  EXPECT_EQ(refused_press, TimerCallsOf(dialog, WM_COMMAND, IDC_GET));
  EXPECT_EQ(refused_disconnect, TimerCallsOf(dialog, WM_DESTROY, 0));
  DestroyWindow(dialog);
}

}  // namespace
