#pragma once

// Starts `processes` copies of trace_writer in the current directory, lets
// them loop `count` rounds of mode ("sleep", "trace" or "soak") all at once,
// and returns the seconds from their release until the last finished its
// loop, so that no process start or end is counted. Negative on any failure.
double RunWriters(const char* mode, int processes, int count);
