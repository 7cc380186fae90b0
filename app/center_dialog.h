#pragma once

#include <windows.h>

// Centres the dialog on its parent, or on the desktop when the parent is
// missing, minimised or hidden, then pulls it back into the work area.
// The result of the move, or 0 when a rectangle could not be had.
BOOL CenterDialog(HWND dialog);

// The arithmetic of CenterDialog: the top-left corner for a dialog centred on
// reference and kept inside work_area, with the left and top edges winning.
POINT CenteredPosition(const RECT& work_area, const RECT& reference, const RECT& dialog);
