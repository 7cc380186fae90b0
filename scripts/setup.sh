#!/usr/bin/env bash
# Installs what building and running under Wine needs; a second run installs nothing.
# Copes with a package archive caught mid-sync, and with machines that run no 32-bit code.
set -uo pipefail

packages=(
  cmake ninja-build googletest gcovr
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  clang lld llvm clang-tidy cppcheck strip-nondeterminism
  wine wine32:i386 wine64 fonts-wine xvfb xauth x11-utils x11-apps imagemagick fonts-ipafont-gothic
)
# Matches 32-bit x86 ELF executables and shared objects, as qemu's own binfmt tables do.
i386_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
i386_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
binfmt=/proc/sys/fs/binfmt_misc

say() { echo "setup: $*" >&2; }
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
# A fresh machine may still be running its own first upgrade: wait for its lock.
apt_get() { as_root env DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=300 "$@"; }

# apt's own reason for a failure: its last error line.
apt_reason() { grep '^E: ' <<<"$1" | tail -n 1 | sed 's/^E: //'; }

missing_packages() {
  local p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || echo "$p"
  done
}

# An index that cannot be fetched (a mirror mid-sync, say) is named and left out.
update_index() {
  local output line
  output=$(apt_get update 2>&1)
  while IFS= read -r line; do
    say "left out the package index that failed to download: ${line#*Failed to fetch }"
  done < <(grep -E '^[EW]: Failed to fetch ' <<<"$output" | sed 's/ *\[IP: [^]]*\]$//')
  return 0
}

# The security suite may carry newer amd64 libraries whose i386 twins it could not
# deliver; Multi-Arch needs both at one version. The retry takes the main suite's.
install_packages() {
  local output pin status
  output=$(apt_get install --no-install-recommends "$@" 2>&1) && return 0
  say "installing failed ($(apt_reason "$output")); retrying once with the security suite pinned below the main one, so that amd64 and i386 take one suite's versions"
  pin=$(mktemp) || return 1
  printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' >"$pin"
  chmod 644 "$pin"
  output=$(apt_get -o Dir::Etc::Preferences="$pin" install --no-install-recommends "$@" 2>&1)
  status=$?
  rm -f "$pin"
  [ "$status" -eq 0 ] && return 0
  say "could not install $*: $(apt_reason "$output")"
  return 1
}

# An archive's address as this machine's own sources give it: archive_uri LABEL CODENAME.
archive_uri() {
  apt-get indextargets --format '$(LABEL) $(CODENAME) $(REPO_URI)' 2>/dev/null |
    awk -v label="$1" -v codename="$2" '$1 == label && $2 == codename { print $3; exit }'
}

# qemu before 8 walks its page table on every mmap, and Wine makes thousands:
# minutes a process. The backport of a newer release takes under a second.
install_recent_qemu() {
  local codename uri dir options output status
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  uri=$(archive_uri Debian "$codename")
  [ -n "$uri" ] || { say "no Debian archive for $codename in this machine's package sources"; return 1; }
  dir=$(mktemp -d) || return 1
  chmod 755 "$dir"
  mkdir -p "$dir/lists/partial"
  echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri $codename-backports main" \
    >"$dir/sources.list"
  # Only for these two commands: the machine's own sources stay as they are.
  options=(-o Dir::Etc::SourceList="$dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
           -o Dir::State::Lists="$dir/lists")
  apt_get "${options[@]}" update >/dev/null 2>&1
  output=$(apt_get "${options[@]}" install --no-install-recommends qemu-user 2>&1)
  status=$?
  as_root rm -rf "$dir"
  [ "$status" -eq 0 ] || say "could not install qemu-user from $codename-backports: $(apt_reason "$output")"
  return "$status"
}

qemu_is_recent() {
  local version
  version=$(qemu-i386 --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p')
  [ -n "$version" ] && [ "$version" -ge 8 ]
}

# F: the kernel opens qemu now, so the handler also serves chroots and namespaces.
register_qemu() {
  [ -e "$binfmt/register" ] || as_root mount -t binfmt_misc binfmt_misc "$binfmt" || return 1
  [ -e "$binfmt/qemu-i386" ] && { echo -1 | as_root tee "$binfmt/qemu-i386" >/dev/null || return 1; }
  echo ":qemu-i386:M::$i386_magic:$i386_mask:$(command -v qemu-i386):F" |
    as_root tee "$binfmt/register" >/dev/null
}

# Some virtual machines have no 32-bit mode; there qemu runs Wine's 32-bit half,
# while wine64's native wineserver serves it.
ensure_i386_runs() {
  /usr/lib/wine/wine --version >/dev/null 2>&1 && return 0
  say "this machine does not run 32-bit x86 programs; running them through qemu's emulation"
  qemu_is_recent || install_recent_qemu || return 1
  register_qemu || { say "could not register qemu-i386 with the kernel's binfmt_misc"; return 1; }
  /usr/lib/wine/wine --version >/dev/null 2>&1 ||
    { say "32-bit programs still do not run through qemu"; return 1; }
}

main() {
  local missing
  mapfile -t missing < <(missing_packages)
  if [ ${#missing[@]} -gt 0 ]; then
    say "installing ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      as_root dpkg --add-architecture i386 || return 1
    fi
    update_index
    install_packages "${missing[@]}" || return 1
  fi
  ensure_i386_runs
}

# Tests source this file for its functions; run, it sets the machine up.
[ "${BASH_SOURCE[0]}" != "$0" ] || main
