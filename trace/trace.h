#pragma once

// The one diagnostic routine: printf-style, to the debugger channel and to
// "trace.log" in the current directory. Callers supply their own line ends.
void Trace(const char* format, ...);

// Appends one finished message to "trace.log" under the cross-process mutex.
void WriteTraceLog(const char* text);
