#!/usr/bin/env bash
# Runs the Windows control's tests under Wine, headless, in a fresh prefix.
#   tests/win32/run.sh BUILD64 BUILD32
# BUILD64 holds the 64-bit build (Trazolib.ocx and the test programs), BUILD32 the 32-bit
# one, whose file is checked but not loaded: this machine runs no 32-bit code.
# Prints one line per check and ends with "N passed, N failed"; exits non-zero on failure.
set -u
here=$(cd "$(dirname "$0")" && pwd)
build64=$(cd "${1:?64-bit build folder}" && pwd)
build32=$(cd "${2:?32-bit build folder}" && pwd)
ocx64=$build64/shells/win32/Trazolib.ocx
ocx32=$build32/shells/win32/Trazolib.ocx
tests64=$build64/tests/win32

W=/usr/lib/wine/wine64
WS=/usr/lib/wine/wineserver
TIMEOUT=${TRAZO_WINE_TIMEOUT:-60}

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "PASS $*"; }
fail() { failed=$((failed + 1)); echo "FAIL $*"; }
check() {  # check NAME COMMAND...: passes when the command exits 0
  local name=$1
  shift
  if "$@"; then pass "$name"; else fail "$name"; fi
}

scratch=$(mktemp -d)
export WINEPREFIX=$scratch/prefix WINEARCH=win64 WINELOADER=$W WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
  timeout 20 "$WS" -k >/dev/null 2>&1
  rm -rf "$scratch"
  # Wine's socket folder of this prefix, named after the prefix's inode.
  rm -rf "/tmp/.wine-$(id -u)"/server-*-"$prefix_inode" 2>/dev/null
}
prefix_inode=none
trap cleanup EXIT

wine() { timeout "$TIMEOUT" "$W" "$@"; }

# Results of a Windows program: its stdout with carriage returns removed, into a file.
run_windows() {  # run_windows OUT PROGRAM ARGS...
  local out=$1
  shift
  wine "$@" >"$out.raw" 2>"$out.err"
  local rc=$?
  tr -d '\r' <"$out.raw" >"$out"
  return $rc
}

# A script or program that reports its own cases: count its PASS and FAIL lines, and check
# its closing line and exit status agree.
take_report() {  # take_report NAME FILE RC
  local name=$1 file=$2 rc=$3
  local p f
  p=$(grep -c '^PASS ' "$file")
  f=$(grep -c '^FAIL ' "$file")
  grep '^FAIL ' "$file" | sed "s/^/  $name: /"
  passed=$((passed + p))
  failed=$((failed + f))
  if [ "$p" -eq 0 ]; then fail "$name: reported no passing case (rc $rc)"; sed 's/^/  | /' "$file" | tail -20; return; fi
  if ! tail -n 1 "$file" | grep -qx "$p passed, $f failed"; then fail "$name: closing line"; fi
  if [ "$rc" -ne "$f" ]; then fail "$name: exit status $rc for $f failed cases"; fi
  echo "     $name: $p passed, $f failed"
}

echo "== Prefix"
mkdir -p "$WINEPREFIX"
prefix_inode=$(stat -c %i "$WINEPREFIX")
wine wineboot -i >/dev/null 2>&1
# The null display driver needs no X server; it takes effect once the wineserver restarts.
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
# A crashing test must end, not wait in the debugger.
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d 'false' /f >/dev/null 2>&1
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f >/dev/null 2>&1
timeout 20 "$WS" -k >/dev/null 2>&1
"$WS" -p >/dev/null 2>&1  # one server for the whole run

. "$here/checks_files.sh"
. "$here/checks_registry.sh"
. "$here/checks_clients.sh"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
