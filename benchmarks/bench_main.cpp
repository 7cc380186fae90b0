// lumoradine-bench BENCH: runs one bench and prints its rows of ./bench's
// table, tab-separated: figure, measured, target, verdict. Run by ./bench,
// which builds everything and brings up Wine first.
#include <stdio.h>
#include <string.h>

#include "benchmarks/benches.h"

namespace {

struct Bench {
  const char* name;
  void (*run)();
};

const Bench kBenches[] = {
    {"trace", TraceCost},      {"trace-parts", TraceParts}, {"press", PressCost},
    {"startup", Startup},      {"memory", Memory},          {"soak-trace", TraceSoak},
    {"soak-press", PressSoak},
};

}  // namespace

int main(int argc, char** argv) {
  for (const Bench& bench : kBenches)
    if (argc == 2 && strcmp(argv[1], bench.name) == 0) {
      bench.run();
      return 0;
    }
  fprintf(stderr,
          "usage: lumoradine-bench trace|trace-parts|press|startup|memory|"
          "soak-trace|soak-press\n");
  return 2;
}
