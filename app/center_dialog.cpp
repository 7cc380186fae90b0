#include "app/center_dialog.h"

#include <algorithm>

namespace {

bool WorkArea(HWND desktop, RECT* area) {
  return SystemParametersInfoA(SPI_GETWORKAREA, 0, area, 0) || GetWindowRect(desktop, area);
}

HWND ReferenceWindow(HWND dialog, HWND desktop) {
  HWND parent = GetParent(dialog);
  const bool usable = parent != NULL && !(GetWindowLongA(parent, GWL_STYLE) & WS_MINIMIZE) &&
                      IsWindowVisible(parent);
  return usable ? parent : desktop;
}

}  // namespace

POINT CenteredPosition(const RECT& work_area, const RECT& reference, const RECT& dialog) {
  const LONG width = dialog.right - dialog.left;
  const LONG height = dialog.bottom - dialog.top;
  // Integer division truncates toward zero: a dialog one pixel wider than its
  // reference still starts at the reference's left edge.
  LONG x = reference.left + ((reference.right - reference.left) - width) / 2;
  LONG y = reference.top + ((reference.bottom - reference.top) - height) / 2;
  // Parenthesised: windows.h without NOMINMAX defines min and max as macros.
  x = (std::max)((std::min)(x, work_area.right - width), work_area.left);
  y = (std::max)((std::min)(y, work_area.bottom - height), work_area.top);
  POINT position = {x, y};
  return position;
}

BOOL CenterDialog(HWND dialog) {
  HWND desktop = GetDesktopWindow();
  RECT work_area, reference, own;
  if (!WorkArea(desktop, &work_area)) return 0;
  if (!GetWindowRect(ReferenceWindow(dialog, desktop), &reference) || !GetWindowRect(dialog, &own))
    return 0;
  const POINT position = CenteredPosition(work_area, reference, own);
  return SetWindowPos(dialog, NULL, position.x, position.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}
