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
  # Wine's socket folder for this prefix: /tmp/wine-XXXXXX/server-<device>-<inode>.
  if [ "$prefix_inode" != none ]; then
    for socket in "${TMPDIR:-/tmp}"/wine-*/server-*-"$prefix_inode"; do
      [ -d "$socket" ] && rm -rf "$(dirname "$socket")"
    done
  fi
  rm -rf "$scratch"
}
prefix_inode=none
trap cleanup EXIT

wine() { timeout "$TIMEOUT" "$W" "$@"; }
quiet() { "$@" >/dev/null 2>&1; }

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
prefix_inode=$(printf '%x' "$(stat -c %i "$WINEPREFIX")")
wine wineboot -i >/dev/null 2>&1
# The null display driver needs no X server; it takes effect once the wineserver restarts.
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
# A crashing test must end, not wait in the debugger: the "debugger" exits at once.
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d 'cmd.exe /c exit' /f >/dev/null 2>&1
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f >/dev/null 2>&1
timeout 20 "$WS" -k >/dev/null 2>&1

echo "== The files of both builds"
# Every named export, from the name table objdump prints.
exports_of() {
  "$1"-objdump -p "$2" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' '
}
export_count() { "$1"-objdump -p "$2" | grep -cE '^[[:space:]]*\[ *[0-9]+\] \+base\['; }
imports_of() { "$1"-objdump -p "$2" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'a-z' 'A-Z' | sort | tr '\n' ' '; }
system_dlls='ADVAPI32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL OLEAUT32.DLL USER32.DLL'
four='DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer '
for arch in x86_64:"$ocx64" i686:"$ocx32"; do
  tool=${arch%%:*}-w64-mingw32
  file=${arch#*:}
  check "$tool: Trazolib.ocx exists" test -s "$file"
  got=$(exports_of "$tool" "$file")
  check "$tool: exactly the four exports (${got})" test "$got" = "$four"
  check "$tool: no export by ordinal only" test "$(export_count "$tool" "$file")" -eq 4
  extra=$(for dll in $(imports_of "$tool" "$file"); do case " $system_dlls " in *" $dll "*) ;; *) echo "$dll";; esac; done)
  check "$tool: imports only system DLLs${extra:+ (not: $extra)}" test -z "$extra"
done
check "i686: built for 32-bit Windows" sh -c "i686-w64-mingw32-objdump -f '$ocx32' | grep -q 'file format pei-i386'"

run_windows "$scratch/resources.txt" "$tests64/resources_test.exe" "$ocx64" "$ocx32"
take_report "resources" "$scratch/resources.txt" $?
run_windows "$scratch/typelib.txt" "$tests64/typelib_test.exe" "$ocx64" win64 "$ocx32" win32
take_report "type library" "$scratch/typelib.txt" $?

echo "== The GDI picture off screen"
run_windows "$scratch/gdi.txt" "$tests64/gdi_surface_test.exe"
take_report "gdi surface" "$scratch/gdi.txt" $?

echo "== Registration"
clsid='{660E1332-B7B8-43E6-8D9C-E940988DA6D7}'
libid='{81F8B03D-6DAD-4C47-BFB0-FDB2F86EE3BE}'
key="HKCR\\CLSID\\$clsid"
regsvr() {  # one retry: regsvr32 has been seen to exit 127 once in a long while
  wine regsvr32 /s "$@" >/dev/null 2>&1 && return 0
  wine regsvr32 /s "$@" >/dev/null 2>&1
}
# reg_value KEY [NAME]: the value's data, or nothing when the key or value is missing.
reg_value() {
  local out
  if [ $# -eq 2 ]; then out=$(wine reg query "$1" /v "$2" 2>/dev/null); else out=$(wine reg query "$1" /ve 2>/dev/null); fi
  printf '%s\n' "$out" | tr -d '\r' | sed -n 's/^    [^ ].*  *REG_[A-Z_]*    //p' | head -n 1
}
expect_value() {  # expect_value WANT KEY [NAME]
  local want=$1
  shift
  local got
  got=$(reg_value "$@")
  if [ "$got" = "$want" ]; then pass "registry $* = $want"; else fail "registry $* = '$got', expected '$want'"; fi
}
registered_keys() {
  for k in "$key" 'HKCR\Trazolib.Trazo' "HKCR\\TypeLib\\$libid" 'HKCR\Interface\{775E7D28-C8F3-4F58-94DF-1B304DFD89BA}' \
           'HKCR\Interface\{F4A649AD-62FD-4CEB-8139-D53C131D1A9F}'; do
    echo "$k"
  done
}

check "regsvr32 registers" regsvr "$ocx64"
winpath=$(wine winepath -w "$ocx64" 2>/dev/null | tr -d '\r')
expect_value "Trazo" "$key"
expect_value "$winpath" "$key\\InprocServer32"
expect_value "Apartment" "$key\\InprocServer32" ThreadingModel
expect_value "Trazolib.Trazo" "$key\\ProgID"
expect_value "Trazolib.Trazo" "$key\\VersionIndependentProgID"
expect_value "$libid" "$key\\TypeLib"
expect_value "2.0" "$key\\Version"
expect_value "0" "$key\\MiscStatus"
expect_value "131473" "$key\\MiscStatus\\1"
expect_value "$winpath, 30000" "$key\\ToolboxBitmap32"
check "registry $key\\Control exists" quiet wine reg query "$key\\Control"
expect_value "$clsid" 'HKCR\Trazolib.Trazo\CLSID'
expect_value "Trazolib" "HKCR\\TypeLib\\$libid\\2.0"
expect_value "$winpath" "HKCR\\TypeLib\\$libid\\2.0\\409\\win64"
expect_value "10" "HKCR\\TypeLib\\$libid\\2.0\\FLAGS"
expect_value "_Trazo" 'HKCR\Interface\{775E7D28-C8F3-4F58-94DF-1B304DFD89BA}'
expect_value "__Trazo" 'HKCR\Interface\{F4A649AD-62FD-4CEB-8139-D53C131D1A9F}'

check "regsvr32 /u unregisters" regsvr /u "$ocx64"
for k in $(registered_keys); do
  if wine reg query "$k" >/dev/null 2>&1; then fail "gone after unregistering: $k"; else pass "gone after unregistering: $k"; fi
done
check "unregistering twice is no failure" regsvr /u "$ocx64"

echo "== Clients"
check "regsvr32 registers again" regsvr "$ocx64"
run_windows "$scratch/client.txt" "$tests64/client_test.exe" "$(wine winepath -w "$ocx64" 2>/dev/null | tr -d '\r')"
take_report "early binding" "$scratch/client.txt" $?
for script in members.vbs members.js; do
  cp "$here/$script" "$scratch/$script"
  # A Windows path: cscript reads a leading slash as an option.
  run_windows "$scratch/$script.txt" cscript //nologo "$(wine winepath -w "$scratch/$script" 2>/dev/null | tr -d '\r')"
  take_report "$script" "$scratch/$script.txt" $?
done
run_windows "$scratch/container.txt" "$tests64/container_test.exe"
take_report "container" "$scratch/container.txt" $?
check "regsvr32 /u at the end" regsvr /u "$ocx64"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
