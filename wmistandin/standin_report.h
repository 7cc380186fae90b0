#pragma once

#include <windows.h>

// Room for "alive=-2147483648\r\n" and a terminator.
const size_t kReportLineSize = 24;

// "alive=N\r\n" into line; its length, terminator not counted.
size_t FormatReportLine(LONG alive, char (&line)[kReportLineSize]);

// Replaces the file that WMISTANDIN_REPORT names, if set, with the report line
// of the live objects now. Kernel32 only: it runs in DllMain at process detach,
// when the CRT may already be gone.
void WriteReport();
