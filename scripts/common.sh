# Shared set-up for the project's commands: packages, Wine prefix, virtual display.
# Sourced by scripts/test.sh and scripts/run.sh.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# A caller may bring its own prefix (parallel runs must not share one wineserver).
export WINEPREFIX="${WINEPREFIX:-$repo/build/wineprefix}"
export WINEDEBUG=-all
# No .NET or HTML engine: nothing may ask to download them while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="

packages=(cmake ninja-build g++ make googletest
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  wine wine64 xvfb x11-apps x11-utils imagemagick icoutils clang-format python3
  clang libclang-rt-14-dev libcli11-dev)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
  fi
}

build_preset() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j "$(nproc)"
}

# Starts a private Xvfb display and exports DISPLAY; stopped by stop_display.
start_display() {
  local n
  for n in $(seq 90 120); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && return 0
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null || true
  done
  echo "could not start Xvfb" >&2
  return 1
}

stop_display() {
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
}

# Keeps one wineserver running for speed, and lets a first program create the private
# prefix and start Wine's background services with their output going nowhere: services
# started later by a test would hold the test's output pipe open and stall ctest.
start_wine() {
  mkdir -p "$WINEPREFIX"
  wineserver -p
  # Top-level windows that no window manager manages: Wine then draws their frames itself,
  # and does not wait 2 s for a (missing) manager each time a window is hidden.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
}

stop_wine() {
  wineserver -k 2>/dev/null || true
}
