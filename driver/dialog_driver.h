#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Works the main dialog of another process through its window handles, as a
// user would, without screen coordinates.

// The visible top-level window captioned "Lumoradine" of that process, or
// NULL when none appears within timeout_ms.
HWND WaitForDialog(DWORD process_id, DWORD timeout_ms);

// Clicks "取得"; returns once the dialog has handled the press.
void PressGet(HWND dialog);

// The list's lines from top to bottom. Cross-process LB_GETTEXT answers in
// UTF-16 under Wine even when asked in ANSI, hence the wide calls.
std::vector<std::wstring> ReadList(HWND dialog);

// A key as the keyboard would deliver it to the window with the focus, so
// that the dialog manager turns Enter and Esc into IDOK and IDCANCEL.
void PressKey(HWND dialog, WORD virtual_key);

// The window that has the keyboard focus in the dialog's thread.
HWND FocusedWindow(HWND dialog);

// Waits until every message posted to the dialog so far has been handled.
void Settle(HWND dialog);

// Copies what the screen shows of the window into a 24-bit BMP file.
bool SaveWindowBitmap(HWND window, const std::string& path);
