#pragma once
// Shared by the resource script and the code; keep it to plain #defines for rc.exe.

#define IDD_MAIN 101
#define IDC_LIST 1001
#define IDC_GET 1002
