#include "app/center_dialog.h"

#include <gtest/gtest.h>

#include "tests/support/import_patch.h"

namespace {

BOOL WINAPI FailingSystemParametersInfo(UINT, UINT, PVOID, UINT) { return FALSE; }

// GetWindowRect failing for one window, passed on for every other.
HWND unmeasurable = NULL;
BOOL WINAPI GetWindowRectExceptUnmeasurable(HWND window, RECT* rect) {
  if (window == unmeasurable) return FALSE;
  return Unpatched<BOOL(WINAPI*)(HWND, RECT*)>("user32.dll", "GetWindowRect")(window, rect);
}

RECT Rect(LONG left, LONG top, LONG right, LONG bottom) {
  RECT rect = {left, top, right, bottom};
  return rect;
}

::testing::AssertionResult At(LONG x, LONG y, POINT position) {
  if (position.x == x && position.y == y) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "at " << position.x << ", " << position.y;
}

TEST(CenteredPosition, CentresOnTheWholeScreenNotTheWorkArea) {
  // 800 x 600 with a 40-pixel taskbar at the bottom; the bottom clamp (260) stays out.
  EXPECT_TRUE(
      At(150, 150,
         CenteredPosition(Rect(0, 0, 800, 560), Rect(0, 0, 800, 600), Rect(0, 0, 500, 300))));
}

TEST(CenteredPosition, ClampsIntoTheWorkAreaWithLeftAndTopWinning) {
  const RECT work = Rect(10, 20, 800, 560);
  EXPECT_TRUE(
      At(300, 260, CenteredPosition(work, Rect(600, 500, 1000, 900), Rect(0, 0, 500, 300))));
  EXPECT_TRUE(At(10, 20, CenteredPosition(work, Rect(-400, -300, 0, 0), Rect(0, 0, 100, 100))));
  EXPECT_TRUE(At(10, 20, CenteredPosition(work, Rect(0, 0, 800, 600), Rect(0, 0, 900, 700))));
}

TEST(CenteredPosition, OddDifferencesRoundTowardZero) {
  const RECT work = Rect(0, 0, 1000, 1000);
  EXPECT_TRUE(At(7, 9, CenteredPosition(work, Rect(7, 9, 108, 110), Rect(0, 0, 100, 100))));
  EXPECT_TRUE(At(7, 9, CenteredPosition(work, Rect(7, 9, 106, 108), Rect(0, 0, 100, 100))));
  EXPECT_TRUE(At(6, 8, CenteredPosition(work, Rect(7, 9, 104, 106), Rect(0, 0, 100, 100))));
}

// Real windows: a parent and a popup it owns, which GetParent reports.
class CenterDialogOnWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExA(0, "STATIC", "parent", WS_POPUP | WS_VISIBLE, 100, 120, 400, 300,
                              NULL, NULL, NULL, NULL);
    dialog_ =
        CreateWindowExA(0, "STATIC", "dialog", WS_POPUP, 0, 0, 200, 100, parent_, NULL, NULL, NULL);
  }
  void TearDown() override {
    DestroyWindow(dialog_);
    DestroyWindow(parent_);
  }

  POINT DialogPosition() const {
    RECT rect;
    GetWindowRect(dialog_, &rect);
    POINT position = {rect.left, rect.top};
    return position;
  }

  POINT DesktopCentre() const {
    RECT work, desktop, own;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(dialog_, &own);
    return CenteredPosition(work, desktop, own);
  }

  HWND parent_ = NULL;
  HWND dialog_ = NULL;
};

TEST_F(CenterDialogOnWindows, CentresOnAVisibleParent) {
  EXPECT_NE(0, CenterDialog(dialog_));
  EXPECT_TRUE(At(200, 220, DialogPosition()));
}

TEST_F(CenterDialogOnWindows, IgnoresAHiddenOrMinimisedParent) {
  ShowWindow(parent_, SW_HIDE);
  EXPECT_NE(0, CenterDialog(dialog_));
  const POINT centre = DesktopCentre();
  EXPECT_TRUE(At(centre.x, centre.y, DialogPosition()));

  SetWindowPos(dialog_, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(parent_, SW_SHOWMINNOACTIVE);
  ASSERT_TRUE(IsIconic(parent_));
  EXPECT_NE(0, CenterDialog(dialog_));
  EXPECT_TRUE(At(centre.x, centre.y, DialogPosition()));
}

TEST(CenterDialog, FallsBackToTheDesktopWhenTheWorkAreaIsUnknown) {
  // Tall enough that the real work area, short of the screen, would pull it up.
  RECT desktop;
  GetWindowRect(GetDesktopWindow(), &desktop);
  HWND dialog = CreateWindowExA(0, "STATIC", "dialog", WS_POPUP, 0, 0, 200, desktop.bottom - 40,
                                NULL, NULL, NULL, NULL);
  RECT own;
  GetWindowRect(dialog, &own);
  const POINT expected = CenteredPosition(desktop, desktop, own);
  {
    ImportPatch patch("user32.dll", "SystemParametersInfoA", &FailingSystemParametersInfo);
    ASSERT_TRUE(patch.active());
    EXPECT_NE(0, CenterDialog(dialog));
  }
  GetWindowRect(dialog, &own);
  EXPECT_TRUE(At(expected.x, expected.y, POINT{own.left, own.top}));
  DestroyWindow(dialog);
}

TEST_F(CenterDialogOnWindows, WithoutAWorkAreaOrADesktopRectangleStaysPut) {
  SetWindowPos(dialog_, NULL, 3, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  unmeasurable = GetDesktopWindow();
  {
    ImportPatch work_area("user32.dll", "SystemParametersInfoA", &FailingSystemParametersInfo);
    ImportPatch rect("user32.dll", "GetWindowRect", &GetWindowRectExceptUnmeasurable);
    ASSERT_TRUE(work_area.active() && rect.active());
    EXPECT_EQ(0, CenterDialog(dialog_));
  }
  EXPECT_TRUE(At(3, 5, DialogPosition()));
}

TEST_F(CenterDialogOnWindows, WithoutItsOwnOrItsParentsRectangleStaysPut) {
  for (HWND window : {dialog_, parent_}) {
    SetWindowPos(dialog_, NULL, 3, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    unmeasurable = window;
    {
      ImportPatch rect("user32.dll", "GetWindowRect", &GetWindowRectExceptUnmeasurable);
      ASSERT_TRUE(rect.active());
      EXPECT_EQ(0, CenterDialog(dialog_));
    }
    EXPECT_TRUE(At(3, 5, DialogPosition()));
  }
}

}  // namespace
