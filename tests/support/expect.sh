# Sourced by the host-side test scripts: each expect records a failure and goes
# on, so that one run names every difference; the script ends on
# [ "$failures" -eq 0 ].
failures=0
expect() {  # expect DESCRIPTION ACTUAL EXPECTED
  [ "$2" = "$3" ] && return 0
  printf 'FAILED: %s\n  expected: %s\n  actual:   %s\n' "$1" "$3" "$2" >&2
  failures=$((failures + 1))
}
