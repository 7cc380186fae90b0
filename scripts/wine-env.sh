# Sourced by ./run, ./test and ./bench: builds the project and brings up the
# project's own Wine prefix on a private X display. Nothing here touches the
# user's own prefix or display settings.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
preset=default
build="$root/build"
standin_clsid='{CB8555CC-9128-11D1-AD9B-00C04FD8FDFF}'

fail() { echo "$(basename "$0"): $*" >&2; exit 1; }

# The preset "default" builds into build/, any other into build-NAME/.
use_preset() {
  preset=$1
  if [ "$preset" = default ]; then build="$root/build"; else build="$root/build-$preset"; fi
}

configure_project() {
  mkdir -p "$build"
  "$root/scripts/setup.sh" || fail "installing the build's packages failed"
  (cd "$root" && cmake --preset "$preset" -B "$build") >"$build/configure.log" 2>&1 ||
    fail "configuring the build failed (see $build/configure.log)"
}

build_project() {
  configure_project
  cmake --build "$build" >"$build/build.log" 2>&1 ||
    fail "the build failed (see $build/build.log)"
}

# Xvfb on a free display, with a work area smaller than the screen, as a
# taskbar would leave it. -noreset keeps the root window's properties. Xvfb
# picks the display itself and writes its number once it takes connections.
start_xvfb() {
  local number="$build/xvfb-display"
  rm -f "$number"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp 3>"$number" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 200); do
    [ -s "$number" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  [ -s "$number" ] || fail "Xvfb did not start"
  export DISPLAY=":$(cat "$number")"
  xprop -root -format _NET_WORKAREA 32c -set _NET_WORKAREA "0, 0, 1024, 728" ||
    fail "Xvfb on $DISPLAY does not answer"
}

wine_reg() { (cd / && wine reg add "$@" /f >/dev/null 2>&1) || fail "wine reg add $1 failed"; }

# A persistent server makes each Wine process cost a tenth of a second instead
# of seconds; wineboot is detached, or its services keep our pipes open.
start_wine() {
  export WINEPREFIX="$build/wineprefix" WINEARCH=win32 WINEDEBUG=-all
  # Wine takes its ANSI code page from the locale's name alone: 932, as on the
  # Japanese Windows the trace texts are written for. glibc need not know it.
  { export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8; } 2>/dev/null
  export WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  wineserver -p || fail "wineserver did not start"
  wineboot </dev/null >/dev/null 2>&1 || fail "wineboot failed in $WINEPREFIX"
  wine_reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
  wine_reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
  # Debian's Wine never loads its own fonts; without Marlett the close box shows a plain "r".
  wine_reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v 'Marlett (TrueType)' \
    /d 'Z:\usr\share\wine\fonts\marlett.ttf'
  local key="HKLM\\Software\\Classes\\CLSID\\$standin_clsid\\InprocServer32"
  wine_reg "$key" /ve /d "$(winepath -w "$build/bin/wmistandin.dll")"
  wine_reg "$key" /v ThreadingModel /d Both
}

# Stops what we started however the script ends, Ctrl-C and kill included.
stop_all_on_exit() {
  trap stop_all EXIT
  trap 'exit 130' INT TERM HUP
}

stop_all() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  return 0
}
