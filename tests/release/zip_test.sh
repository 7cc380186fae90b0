#!/usr/bin/env bash
# The release zip as a Windows user unpacks it.
# Usage: zip_test.sh BUILD_FOLDER ZIP
set -u
build=$1
zip=$2

. "$(dirname "$0")/../support/expect.sh"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
(cd "$unpacked" && cmake -E tar xf "$zip") || { echo "FAILED: cannot unpack $zip" >&2; exit 1; }

expect "the zip's files, at its root" "$(cd "$unpacked" && find . -mindepth 1 | sort | tr '\n' ' ')" \
  "./README.txt ./SHA256SUMS ./lumoradine.exe "
cmp -s "$unpacked/lumoradine.exe" "$build/bin/lumoradine.exe" ||
  expect "lumoradine.exe is the built program" "it differs" "the same bytes"
expect "SHA256SUMS" "$(cat "$unpacked/SHA256SUMS")" \
  "$(sha256sum <"$build/bin/lumoradine.exe" | cut -d' ' -f1)  lumoradine.exe"

readme="$unpacked/README.txt"
cmp -s "$readme" "$build/README.txt" || expect "README.txt is the built one" "it differs" "the same bytes"
expect "README.txt starts with UTF-8's byte order mark, for Notepad" "$(head -c 3 "$readme" | od -An -tx1)" \
  " ef bb bf"
expect "README.txt's lines that end without CR" "$(grep -cv $'\r$' "$readme")" 0

[ "$failures" -eq 0 ]
