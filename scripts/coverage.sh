# Sourced by ./test --coverage, after scripts/wine-env.sh: counts what the suite
# runs of app/, trace/ and wmi/ and reports it per file.
#
# Wine reads a name that starts with "/" as a host path, so each process finds
# the .gcda paths that the compiler wrote, whatever its current drive. But two
# processes must never write one .gcda at once: libgcov locks it with
# msvcrt's _locking, which gives up after ten tries, and a process that cannot
# lock the file drops its counts ("profiling:...:Cannot open"). So each process
# writes a tree of its own, named by its process id, and the trees are merged
# afterwards. A process id used again later only adds to its tree, as libgcov
# merges into a file it finds.

gcov_tool=i686-w64-mingw32-gcov-tool-posix
gcov=i686-w64-mingw32-gcov-posix

start_counting() {
  rm -rf "$build/gcda"
  find "$build/CMakeFiles" -name '*.gcda' -delete
  export GCOV_PREFIX="$build/gcda/%p"
}

# Folds every process's tree into one and puts its files where gcov looks for
# them: at the paths the compiler gave, beside the .gcno files.
merge_counts() {
  local merged="$build/gcda/merged" tree
  # gcov-tool writes through libgcov's own code, which would follow the prefix too.
  unset GCOV_PREFIX
  for tree in "$build"/gcda/[0-9]*; do
    if [ ! -d "$merged" ]; then
      cp -r "$tree" "$merged"
      continue
    fi
    # gcov-tool writes only into folders that exist.
    (cd "$tree" && find . -type d) | (cd "$merged" && xargs mkdir -p)
    "$gcov_tool" merge -o "$merged" "$merged" "$tree" >/dev/null ||
      { echo "test: gcov-tool could not merge $tree" >&2; return 1; }
  done
  [ -d "$merged" ] || { echo "test: no process wrote coverage counts" >&2; return 1; }
  (cd "$merged" && find . -name '*.gcda') | while read -r file; do
    cp "$merged/$file" "/${file#./}"
  done
}

# The program's own code is held at 100% of lines and branches: the run fails
# when either falls short, and names each file with its lines not run and
# its branches not taken.
report_coverage() {
  local report="$build/coverage" lines branches status
  merge_counts || return 1
  mkdir -p "$report"
  local gcovr_options=(--root "$root" --gcov-executable "$gcov"
                       --filter "$root/app/" --filter "$root/trace/" --filter "$root/wmi/")
  cd "$root" || return 1
  # One verdict on both: 2 lines short, 4 branches short, 6 both; 1 gcovr failed.
  lines=$(gcovr "${gcovr_options[@]}" --txt - --fail-under-line 100 --fail-under-branch 100 \
            --html-details "$report/index.html" --html-title "Lumoradine coverage" "$build/CMakeFiles")
  status=$?
  branches=$(gcovr "${gcovr_options[@]}" --branches --txt - "$build/CMakeFiles") || status=1
  printf '%s\n%s\n' "$lines" "$branches"
  echo "HTML report: $report/index.html"
  case $status in
    0) return 0 ;;
    2 | 4 | 6)
      name_shortfalls "lines not run:" <<<"$lines"
      name_shortfalls "branches not taken on lines" <<<"$branches"
      echo "test: coverage of app/, trace/ and wmi/ fell below 100%" >&2 ;;
    *) echo "test: gcovr failed" >&2 ;;
  esac
  return 1
}

# A line for each file of a gcovr table that is short of 100%, with what it missed.
name_shortfalls() {
  awk -v what="$1" '$4 ~ /%$/ && $4 != "100%" && $4 != "--%" && $1 != "TOTAL" {
    missing = ""
    for (i = 5; i <= NF; i++) missing = missing " " $i
    printf "test: %s below 100%%, %s%s\n", $1, what, missing
  }' >&2
}
