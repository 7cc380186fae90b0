#!/usr/bin/env bash
# Set-up against an archive caught mid-sync, with apt played by a stub.
# Usage: setup_test.sh CASE
set -u
. "$(dirname "$0")/../../scripts/setup.sh"

. "$(dirname "$0")/../support/expect.sh"

calls=$(mktemp)
pins=$(mktemp)
trap 'rm -f "$calls" "$pins"' EXIT

# Records each call, a preferences file as its content, and answers as the
# archive of 2026-12-10 did: the plain install breaks; the pinned one works
# unless the case says otherwise.
pinned_install_works=1
apt_get() {
  local arg call=""
  for arg in "$@"; do
    case "$arg" in
      Dir::Etc::Preferences=*)
        echo "${arg#*=}" >>"$pins"
        arg="Preferences=[$(tr '\n' ';' <"${arg#*=}")]" ;;
    esac
    call+="$arg "
  done
  echo "${call% }" >>"$calls"
  case "$call" in
    update*)
      echo "W: Some index files failed to download. They have been ignored, or old ones used instead."
      echo "E: Failed to fetch http://mirror.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 192.0.2.1 80]"
      echo "   Hashes of expected file:"
      return 100 ;;
    *Preferences*)
      [ "$pinned_install_works" -eq 1 ] && return 0
      echo "E: Unable to locate package wine32:i386"
      return 100 ;;
    *)
      echo " wine32:i386 : Depends: libwine:i386 (= 8.0~repack-4) but it is not going to be installed"
      echo "E: Unable to correct problems, you have held broken packages."
      return 100 ;;
  esac
}

pin_left_behind() { while read -r file; do [ -e "$file" ] && echo "$file"; done <"$pins"; }

retry_line="setup: installing failed (Unable to correct problems, you have held broken packages.); retrying once with the security suite pinned below the main one, so that amd64 and i386 take one suite's versions"
plain_install="install --no-install-recommends wine wine32:i386"
pinned_install="-o Preferences=[Package: *;Pin: release l=Debian-Security;Pin-Priority: 100;] $plain_install"

case "${1:-}" in
  failed-index-is-named-and-set-up-goes-on)
    messages=$(update_index 2>&1)
    expect "update goes on" "$?" 0
    expect "one line naming the index and apt's reason" "$messages" \
      "setup: left out the package index that failed to download: http://mirror.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
    ;;
  broken-install-is-retried-once-with-security-pinned)
    messages=$(install_packages wine wine32:i386 2>&1)
    expect "the retry installs" "$?" 0
    expect "one line that says why" "$messages" "$retry_line"
    expect "the plain install, then the pinned one" "$(cat "$calls")" \
      "$plain_install"$'\n'"$pinned_install"
    expect "no preferences file left behind" "$(pin_left_behind)" ""
    ;;
  failed-retry-names-the-packages-and-apts-reason)
    pinned_install_works=0
    messages=$(install_packages wine wine32:i386 2>&1)
    expect "set-up stops" "$?" 1
    expect "the retry line, then one error line" "$messages" \
      "$retry_line"$'\n'"setup: could not install wine wine32:i386: Unable to locate package wine32:i386"
    expect "one retry only" "$(wc -l <"$calls")" 2
    expect "no preferences file left behind" "$(pin_left_behind)" ""
    ;;
  *) echo "unknown case: ${1:-}" >&2; exit 2 ;;
esac
exit $((failures > 0))
