#pragma once

// Each prints its rows of the table (PrintRow) and returns nothing: a figure
// that could not be had is a row saying so, never a missing row.
void TraceCost();   // messages per second from 1, 2, 4 and 8 writers at once
void TraceParts();  // what one message spends where, to explain the above
void TraceSoak();   // 8 writers x 2000 messages, each whole, once, in order
void PressCost();   // one press against its (N + 1) pauses, per instance count, and
                    // for N = 64 against the N + 1 traces it must write
void PressParts();  // what a press spends beyond its pauses, to explain the above
void Startup();     // start to visible dialog, against a bare dialog
void Memory();      // private bytes and handles after 1 and 1000 presses; handles alone
                    // when emulated
void PressSoak();   // 10 000 presses under the debugger
