// Traces on command, so that tests can watch the messages from outside:
//   trace_probe channel          a 20000-character message, then two lines
//   trace_probe burst TAG COUNT  COUNT numbered lines, each long enough to tear
#include <stdlib.h>
#include <string.h>

#include <string>

#include "trace/trace.h"

int main(int argc, char** argv) {
  if (argc == 2 && strcmp(argv[1], "channel") == 0) {
    Trace("%s", std::string(20000, 'a').c_str());
    Trace("first\nsecond\n");
    return 0;
  }
  if (argc == 4 && strcmp(argv[1], "burst") == 0) {
    const std::string padding(2000, '.');
    for (int i = 0, count = atoi(argv[3]); i < count; ++i)
      Trace("%s %d %s\n", argv[2], i, padding.c_str());
    return 0;
  }
  return 2;
}
