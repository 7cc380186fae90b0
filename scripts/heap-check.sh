# Sourced by ./test --heap-check, after scripts/wine-env.sh: runs the suite
# with Wine validating its heap on every allocation and free, as PageHeap
# would on Windows. Wine only reports a corrupt heap, on stderr, and the
# process goes on; so any such line from a test or a program it starts fails
# the run. Wine's own services keep WINEDEBUG=-all: they are not ours.

run_heap_checked() {
  local log="$build/heap-check.log"
  # -V: every test's output lands in the log, each line led by its test's number.
  WINEDEBUG=warn+heap ctest --preset "$preset" -j2 -V "$@" >"$log" 2>&1
  local status=$?
  grep -E '^ *[0-9]+/[0-9]+ Test' "$log"
  sed -n '/tests passed/,$p' "$log"
  if grep -E '(err|warn):heap' "$log"; then
    echo "test: Wine reported the heap above (the number before each line is its test's; see $log)" >&2
    status=1
  else
    echo "Heap check: no err:heap or warn:heap line from any test."
  fi
  return $status
}
