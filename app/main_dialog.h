#pragma once

#include <windows.h>

// The main dialog: connects to WMI when it starts, queries on every press of
// IDC_GET, and disconnects when it is destroyed.
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
