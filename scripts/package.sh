#!/usr/bin/env bash
# Makes the release in build/dist/ and checks it: the Windows zip (the 32-bit Quillet.exe and
# cli/quillet.exe, the user's guide as README.txt and LICENSE, both with CR LF line ends), the
# Linux tarball (the stripped command line, README.txt and LICENSE in quillet-<version>/) and
# SHA256SUMS. Builds the win32 and native trees as needed.
#   scripts/package.sh           make the archives, then check them
#   scripts/package.sh --check   only check the archives already in build/dist/
source "$(dirname "$0")/common.sh"
cd "$repo"

case "${1:-}" in
  "") make=1 ;;
  --check) make=0 ;;
  *)
    echo "usage: scripts/package.sh [--check]" >&2
    exit 2
    ;;
esac

version=$(sed -n 's/^project(Quillet VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
  echo "package: no project(Quillet VERSION ...) in CMakeLists.txt" >&2
  exit 1
fi
dist=$repo/build/dist
zip_name=Quillet-$version-windows.zip
tar_name=quillet-$version-linux-x86_64.tar.gz
top=quillet-$version

packages+=(zip unzip file)
install_missing_packages

# quillet.exe goes in cli/: Windows file names ignore case, so it cannot sit beside Quillet.exe.
# The manifest is stored as its XML text among the program's resources.
carries_manifest() {
  grep -q '>UTF-8</activeCodePage>' "$1" && grep -q 'PerMonitorV2' "$1"
}

make_archives() {
  build_preset win32
  build_preset native
  rm -rf "$dist"
  local stage=$dist/stage
  mkdir -p "$stage/windows/cli" "$stage/$top"
  sed "s/@VERSION@/$version/" packaging/README.txt.in >"$stage/$top/README.txt"
  cp LICENSE "$stage/$top/LICENSE"
  strip -o "$stage/$top/quillet" build/native/src/cli/quillet
  # Without their debugging information, users download half the size.
  i686-w64-mingw32-strip -o "$stage/windows/Quillet.exe" build/win32/src/Quillet.exe
  i686-w64-mingw32-strip -o "$stage/windows/cli/quillet.exe" build/win32/src/cli/quillet.exe
  local text
  for text in README.txt LICENSE; do
    sed 's/$/\r/' "$stage/$top/$text" >"$stage/windows/$text"
  done
  (cd "$stage/windows" && zip -q -X -D "$dist/$zip_name" Quillet.exe cli/quillet.exe README.txt LICENSE)
  tar -C "$stage" --sort=name --owner=0 --group=0 --numeric-owner -czf "$dist/$tar_name" "$top"
  rm -rf "$stage"
  (cd "$dist" && sha256sum "$zip_name" "$tar_name" >SHA256SUMS)
}

# Each check prints what it found when it fails.
same_list() { # expected found
  diff -u --label expected --label found <(printf '%s\n' "$1") <(printf '%s\n' "$2") >&2
}

sorted() { printf '%s\n' "$@" | LC_ALL=C sort; }

is_kind() { # file regex
  local kind
  kind=$(file -b "$1")
  [[ $kind =~ $2 ]] || {
    echo "    ${1#"$work"/}: $kind" >&2
    return 1
  }
}

# Imports only Windows' own DLLs: no MinGW runtime (libstdc++, libgcc, libwinpthread) to ship.
only_system_dlls() {
  local dlls
  dlls=$(i686-w64-mingw32-objdump -p "$1" | sed -n 's/^\tDLL Name: //p')
  [ -n "$dlls" ] && ! grep -qi '^lib' <<<"$dlls" || {
    echo "    ${1#"$work"/} imports: ${dlls//$'\n'/ }" >&2
    return 1
  }
}

crlf_text() {
  [ -s "$1" ] && sed 's/\r$//; s/$/\r/' "$1" | cmp -s - "$1" || {
    echo "    ${1#"$work"/}: empty, or a line that does not end in one CR LF" >&2
    return 1
  }
}

same_text_lf() { # crlf-file lf-file
  sed 's/\r$//' "$1" | cmp -s - "$2" || {
    echo "    ${2#"$work"/} is not ${1#"$work"/} with LF line ends" >&2
    return 1
  }
}

prints_version() {
  local out
  out=$("$1" --version 2>&1) && [ "$out" = "quillet $version" ] || {
    echo "    ${1#"$work"/} --version: $out" >&2
    return 1
  }
}

sums_verify() { (cd "$dist" && sha256sum --strict --quiet -c SHA256SUMS >&2); }

failures=0
check() { # description command...
  local what=$1
  shift
  if "$@"; then
    echo "  ok    $what"
  else
    echo "  FAIL  $what" >&2
    failures=$((failures + 1))
  fi
}

check_archives() {
  local archive
  for archive in "$zip_name" "$tar_name" SHA256SUMS; do
    if [ ! -f "$dist/$archive" ]; then
      echo "package: build/dist/$archive is missing; run scripts/package.sh to make it" >&2
      exit 1
    fi
  done
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  local z=$work/zip t=$work/tar/$top
  mkdir -p "$z" "$work/tar"
  unzip -q "$dist/$zip_name" -d "$z"
  tar -xzf "$dist/$tar_name" -C "$work/tar"

  echo "== checking build/dist/ (version $version)"
  check "$zip_name holds Quillet.exe, cli/quillet.exe, README.txt, LICENSE and nothing else" \
    same_list "$(sorted Quillet.exe cli/quillet.exe README.txt LICENSE)" \
    "$(unzip -Z1 "$dist/$zip_name" | LC_ALL=C sort)"
  check "$tar_name holds $top/ with quillet, README.txt, LICENSE and nothing else" \
    same_list "$(sorted "$top/" "$top/quillet" "$top/README.txt" "$top/LICENSE")" \
    "$(tar -tzf "$dist/$tar_name" | LC_ALL=C sort)"
  check "Quillet.exe is a 32-bit (i386) Windows GUI program" \
    is_kind "$z/Quillet.exe" '^PE32 executable \(GUI\) Intel 80386'
  check "cli/quillet.exe is a 32-bit (i386) Windows console program" \
    is_kind "$z/cli/quillet.exe" '^PE32 executable \(console\) Intel 80386'
  check "Quillet.exe carries the manifest (UTF-8 code page, per-monitor DPI)" \
    carries_manifest "$z/Quillet.exe"
  check "cli/quillet.exe carries the manifest (UTF-8 code page, per-monitor DPI)" \
    carries_manifest "$z/cli/quillet.exe"
  check "Quillet.exe needs no DLL but Windows' own" only_system_dlls "$z/Quillet.exe"
  check "cli/quillet.exe needs no DLL but Windows' own" only_system_dlls "$z/cli/quillet.exe"
  check "$top/quillet is a stripped x86-64 ELF executable" \
    is_kind "$t/quillet" '^ELF 64-bit LSB (pie )?executable, x86-64, .*, stripped$'
  check "$top/quillet runs and prints version $version" prints_version "$t/quillet"
  check "README.txt in the zip is text with CR LF line ends" crlf_text "$z/README.txt"
  check "LICENSE in the zip is text with CR LF line ends" crlf_text "$z/LICENSE"
  check "README.txt in the tarball is the zip's with LF line ends" \
    same_text_lf "$z/README.txt" "$t/README.txt"
  check "LICENSE in the tarball is the zip's with LF line ends" \
    same_text_lf "$z/LICENSE" "$t/LICENSE"
  check "SHA256SUMS names the two archives" \
    same_list "$(sorted "$zip_name" "$tar_name")" \
    "$(sed 's/^[0-9a-f]\{64\} [ *]//' "$dist/SHA256SUMS" | LC_ALL=C sort)"
  check "SHA256SUMS verifies" sums_verify
}

if [ "$make" -eq 1 ]; then
  make_archives
fi
check_archives
if [ "$failures" -gt 0 ]; then
  echo "package: $failures check(s) failed; build/dist/ is not fit to release" >&2
  exit 1
fi
echo "package: build/dist/$zip_name, $tar_name and SHA256SUMS are fit to release"
