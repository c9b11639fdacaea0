#!/usr/bin/env bash
# Runs the Windows control's tests under Wine, headless, for one build in a fresh prefix of
# its own bitness.
#   tests/win32/run.sh win64|win32 BUILD LINUX_BUILD
# BUILD holds that build (Trazolib.ocx, trazo.exe and the test programs); LINUX_BUILD a
# native build whose tools/trazo/trazo gives the Linux traces of the examples and whose
# tests/win32/raster_pixels the Linux pixels of the probe scripts.
# win64 runs the 64-bit control in a 64-bit prefix; win32 the 32-bit control in a 32-bit
# prefix with the 32-bit test programs and the 32-bit script host, once a probe has shown
# that the kernel runs i386 code (otherwise the stage says why and counts as skipped).
# Every line names the build. Ends with "N passed, N failed, N skipped"; exits non-zero on
# a failure.
set -u
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
bits=${1:?win64 or win32}
build=$(cd "${2:?build folder}" && pwd)
linux_build=$(cd "${3:?native build folder}" && pwd)
linux_trazo=$linux_build/tools/trazo/trazo
linux_pixels=$linux_build/tests/win32/raster_pixels
ocx=$build/shells/win32/Trazolib.ocx
tests=$build/tests/win32
trazo_exe=$build/tools/trazo/trazo.exe

case "$bits" in
  win64) W=/usr/lib/wine/wine64 tool=x86_64-w64-mingw32 format=pei-x86-64 part=win32 ;;
  win32) W=/usr/lib/wine/wine tool=i686-w64-mingw32 format=pei-i386 part=win32-i386 ;;
  *) echo "unknown build: $bits (win64 or win32)" >&2; exit 2 ;;
esac
WS=/usr/lib/wine/wineserver
TIMEOUT=${TRAZO_WINE_TIMEOUT:-60}

passed=0
failed=0
skipped=0
pass() { passed=$((passed + 1)); echo "PASS $bits: $*"; }
fail() { failed=$((failed + 1)); echo "FAIL $bits: $*"; }
check() {  # check NAME COMMAND...: passes when the command exits 0
  local name=$1
  shift
  if "$@"; then pass "$name"; else fail "$name"; fi
}
finish() {
  echo "$passed passed, $failed failed, $skipped skipped"
  [ "$failed" -eq 0 ]
  exit
}

echo "== $bits: the files"
# Every named export, from the name table objdump prints.
exports_of() {
  "$tool"-objdump -p "$1" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' '
}
export_count() { "$tool"-objdump -p "$1" | grep -cE '^[[:space:]]*\[ *[0-9]+\] \+base\['; }
imports_of() { "$tool"-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'a-z' 'A-Z' | sort | tr '\n' ' '; }
system_dlls='ADVAPI32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL OLEAUT32.DLL USER32.DLL'
four='DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer '
check "Trazolib.ocx exists" test -s "$ocx"
check "built as $format" sh -c "$tool-objdump -f '$ocx' | grep -q 'file format $format'"
got=$(exports_of "$ocx")
check "exactly the four exports (${got})" test "$got" = "$four"
check "no export by ordinal only" test "$(export_count "$ocx")" -eq 4
for file in "$ocx" "$trazo_exe"; do
  extra=$(for dll in $(imports_of "$file"); do case " $system_dlls " in *" $dll "*) ;; *) echo "$dll";; esac; done)
  check "$(basename "$file") imports only system DLLs${extra:+ (not: $extra)}" test -s "$file" -a -z "$extra"
done

if [ "$bits" = win32 ]; then
  reason=$("$here/i386_probe.sh")
  case $? in
    0) ;;
    1) echo "32-bit control not run: $reason"; skipped=$((skipped + 1)); finish ;;
    *) fail "$reason"; finish ;;
  esac
fi
if [ ! -x "$W" ]; then
  fail "no Wine loader $W: scripts/install-deps.sh $part installs it"
  finish
fi

scratch=$(mktemp -d)
export WINEPREFIX=$scratch/prefix WINEARCH=$bits WINELOADER=$W WINEDEBUG=-all
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
# Code page 932 as the system's ANSI code page, which the Linux build always takes for its
# single-byte test of texts.
wine932() { LC_ALL=ja_JP.UTF-8 timeout "$TIMEOUT" "$W" "$@"; }
# US English, the locale whose separators and currency sign the core's coercion reads.
wine_us() { LC_ALL=en_US.UTF-8 timeout "$TIMEOUT" "$W" "$@"; }
quiet() { "$@" >/dev/null 2>&1; }
winpath() { wine winepath -w "$1" 2>/dev/null | tr -d '\r'; }

# Results of a Windows program: its stdout with carriage returns removed, into a file.
run_windows() {  # run_windows [--cp932|--en-us] OUT PROGRAM ARGS...
  local runner=wine
  if [ "$1" = --cp932 ]; then runner=wine932; shift; fi
  if [ "$1" = --en-us ]; then runner=wine_us; shift; fi
  local out=$1
  shift
  "$runner" "$@" >"$out.raw" 2>"$out.err"
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
  grep '^FAIL ' "$file" | sed "s/^/  $bits $name: /"
  passed=$((passed + p))
  failed=$((failed + f))
  if [ "$p" -eq 0 ]; then fail "$name: reported no passing case (rc $rc)"; sed 's/^/  | /' "$file" | tail -20; return; fi
  if ! tail -n 1 "$file" | grep -qx "$p passed, $f failed"; then fail "$name: closing line"; fi
  if [ "$rc" -ne "$f" ]; then fail "$name: exit status $rc for $f failed cases"; fi
  echo "     $bits $name: $p passed, $f failed"
}

echo "== $bits: prefix"
mkdir -p "$WINEPREFIX"
prefix_inode=$(printf '%x' "$(stat -c %i "$WINEPREFIX")")
check "wineboot makes a $bits prefix" quiet wine wineboot -i
# The null display driver needs no X server; it takes effect once the wineserver restarts.
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
# A crashing test must end, not wait in the debugger: the "debugger" exits at once.
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d 'cmd.exe /c exit' /f >/dev/null 2>&1
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f >/dev/null 2>&1
timeout 20 "$WS" -k >/dev/null 2>&1

run_windows "$scratch/resources.txt" "$tests/resources_test.exe" "$ocx"
take_report "resources" "$scratch/resources.txt" $?
run_windows "$scratch/typelib.txt" "$tests/typelib_test.exe" "$ocx" "$bits"
take_report "type library" "$scratch/typelib.txt" $?

echo "== $bits: the raster picture off screen"
run_windows "$scratch/picture.txt" "$tests/control_picture_test.exe"
take_report "control picture" "$scratch/picture.txt" $?

echo "== $bits: registration"
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

check "regsvr32 registers" regsvr "$ocx"
ocx_path=$(winpath "$ocx")
expect_value "Trazo" "$key"
expect_value "$ocx_path" "$key\\InprocServer32"
expect_value "Apartment" "$key\\InprocServer32" ThreadingModel
expect_value "Trazolib.Trazo" "$key\\ProgID"
expect_value "Trazolib.Trazo" "$key\\VersionIndependentProgID"
expect_value "$libid" "$key\\TypeLib"
expect_value "2.0" "$key\\Version"
expect_value "0" "$key\\MiscStatus"
expect_value "131473" "$key\\MiscStatus\\1"
expect_value "$ocx_path, 30000" "$key\\ToolboxBitmap32"
check "registry $key\\Control exists" quiet wine reg query "$key\\Control"
expect_value "$clsid" 'HKCR\Trazolib.Trazo\CLSID'
expect_value "Trazolib" "HKCR\\TypeLib\\$libid\\2.0"
expect_value "$ocx_path" "HKCR\\TypeLib\\$libid\\2.0\\409\\$bits"
expect_value "10" "HKCR\\TypeLib\\$libid\\2.0\\FLAGS"
expect_value "_Trazo" 'HKCR\Interface\{775E7D28-C8F3-4F58-94DF-1B304DFD89BA}'
expect_value "__Trazo" 'HKCR\Interface\{F4A649AD-62FD-4CEB-8139-D53C131D1A9F}'

check "regsvr32 /u unregisters" regsvr /u "$ocx"
for k in $(registered_keys); do
  if wine reg query "$k" >/dev/null 2>&1; then fail "gone after unregistering: $k"; else pass "gone after unregistering: $k"; fi
done
check "unregistering twice is no failure" regsvr /u "$ocx"

echo "== $bits: clients"
check "regsvr32 registers again" regsvr "$ocx"
run_windows "$scratch/client.txt" "$tests/client_test.exe" "$ocx_path"
take_report "early binding" "$scratch/client.txt" $?
# The same hostile arguments through the control's IDispatch and the core's late binding.
run_windows --en-us "$scratch/coercion.txt" "$tests/coercion_test.exe"
take_report "coercion" "$scratch/coercion.txt" $?
for script in members.vbs members.js; do
  cp "$here/$script" "$scratch/$script"
  # A Windows path: cscript reads a leading slash as an option. The prefix's own cscript is
  # the script host of its bitness.
  run_windows "$scratch/$script.txt" cscript //nologo "$(winpath "$scratch/$script")"
  take_report "$script" "$scratch/$script.txt" $?
done
run_windows "$scratch/container.txt" "$tests/container_test.exe"
take_report "container" "$scratch/container.txt" $?

# A program that runs long, with the longer timeout; its PASS and FAIL lines counted and its
# figures (the lines indented five spaces) shown under NAME.
run_long() {  # run_long NAME PROGRAM ARGS...
  local name=$1 out="$scratch/$1.txt"
  shift
  local timeout_before=$TIMEOUT
  TIMEOUT=${TRAZO_SOAK_TIMEOUT:-900}
  run_windows "$out" "$@"
  local rc=$?
  TIMEOUT=$timeout_before
  take_report "$name" "$out" $rc
  grep '^     ' "$out" | sed "s/^/  $bits $name:/"
}

echo "== $bits: a long run, and several controls at once"
# TRAZO_SOAK_CYCLES cycles of Clear, adds, Reflash and a resize (the long run: 100000, see
# docs/soak.md); the figures of memory, GDI and USER objects and handles are shown.
run_long soak "$tests/soak_test.exe" "${TRAZO_SOAK_CYCLES:-500}"

echo "== $bits: a big drawing"
# TRAZO_BIG_ENTITIES entities (twenty million at first) added through the control's
# interface and repainted, twice over with a Clear between; the figures are shown.
run_long "big drawing" "$tests/big_drawing_test.exe" "${TRAZO_BIG_ENTITIES:-20000000}"

echo "== $bits: P1's pixels against the Linux raster"
# Each probe script drawn by the control in the ATL container, its calls made through
# IDispatch, and by the Linux raster at the same size: the two pictures must be the same
# bytes. Code page 932, as for the traces: a probe has a double-byte text.
probe_size=640x480
mkdir -p "$scratch/linux" "$scratch/windows"
probes=()
for probe in "$here"/probes/*.trz; do
  probes+=("$(winpath "$probe")")
  name=$(basename "$probe" .trz)
  "$linux_pixels" "$probe_size" "$probe" "$scratch/linux/$name.ppm" || fail "pixels $name: no Linux raster"
done
run_windows --cp932 "$scratch/pixels.txt" "$tests/container_pixels.exe" "$probe_size" \
  "$(winpath "$scratch/windows")" "${probes[@]}"
take_report "container pixels" "$scratch/pixels.txt" $?
# How two pictures of the same size differ: how many pixels, and the first one.
pixel_difference() {  # pixel_difference A.ppm B.ppm
  local header width
  header=$(head -n 3 "$1" | wc -c)
  width=$(sed -n 2p "$1" | cut -d' ' -f1)
  if ! cmp -s <(head -n 3 "$1") <(head -n 3 "$2"); then echo "the sizes differ"; return; fi
  cmp -l "$1" "$2" | awk -v h="$header" -v w="$width" '
    { p = int(($1 - 1 - h) / 3); if (!(p in seen)) { seen[p] = 1; if (n++ == 0) first = p } }
    END { printf "%d pixels differ, the first at (%d, %d)\n", n, first % w, int(first / w) }'
}
# Passes when the Linux picture and the Windows one are the same bytes; fails, saying how
# they differ, otherwise or when one is missing.
same_pixels() {  # same_pixels LINUX.ppm WINDOWS.ppm WHAT SAME_TEXT DIFFER_VERB
  if [ ! -s "$1" ] || [ ! -s "$2" ]; then
    fail "$3: a picture is missing"
  elif cmp -s "$1" "$2"; then
    pass "$3: $4"
  else
    fail "$3 $5 from the Linux raster: $(pixel_difference "$1" "$2")"
  fi
}
for probe in "$here"/probes/*.trz; do
  name=$(basename "$probe" .trz)
  linux=$scratch/linux/$name.ppm windows=$scratch/windows/$name.ppm
  same_pixels "$linux" "$windows" "pixels $name" "P1 is the Linux raster byte for byte" "differ"
done
check "regsvr32 /u at the end" regsvr /u "$ocx"

echo "== $bits: the antialiased raster against Linux's"
# The raster built for Windows draws each probe antialiased under Wine, as the Linux raster
# does: the control keeps its classic picture, and nothing stands in the way of offering
# this one later.
mkdir -p "$scratch/linux_smooth" "$scratch/windows_smooth"
for probe in "$here"/probes/*.trz; do
  name=$(basename "$probe" .trz)
  linux=$scratch/linux_smooth/$name.ppm windows=$scratch/windows_smooth/$name.ppm
  "$linux_pixels" --antialias "$probe_size" "$probe" "$linux" || fail "antialiased $name: no Linux raster"
  wine932 "$tests/raster_pixels.exe" --antialias "$probe_size" "$(winpath "$probe")" "$(winpath "$windows")" \
    >/dev/null 2>&1 || fail "antialiased $name: raster_pixels.exe failed"
  same_pixels "$linux" "$windows" "antialiased $name" "the Windows raster is the Linux one byte for byte" "differs"
done

echo "== $bits: traces"
# trazo.exe against the golden traces, and against the Linux host on the examples, byte for
# byte: stdout, stderr and exit status, under code page 932.
compare_trace() {  # compare_trace NAME DIR WANT_OUT WANT_ERR WANT_RC ARGS...
  local name=$1 dir=$2 want_out=$3 want_err=$4 want_rc=$5
  shift 5
  local out=$scratch/trace.out err=$scratch/trace.err rc
  (cd "$dir" && wine932 "$trazo_exe" trace "$@" >"$out" 2>"$err")
  rc=$?
  if [ "$rc" -eq "$want_rc" ] && cmp -s "$out" "$want_out" && cmp -s "$err" "$want_err"; then
    pass "trace $name is the Linux one"
  else
    fail "trace $name differs from the Linux one (exit $rc, expected $want_rc)"
    diff "$want_out" "$out" | head -n 6 | sed 's/^/  | /'
    diff "$want_err" "$err" | head -n 6 | sed 's/^/  | /'
  fi
}
: >"$scratch/empty"
# Every golden runs as tests/scripts/compare_trace.cmake runs it.
for script in "$source_dir"/tests/scripts/*.trz; do
  feature=$(basename "$script" .trz)
  golden=$source_dir/tests/scripts/$feature
  if [ -f "$golden.rejected" ]; then
    compare_trace "$feature" "$source_dir/tests/scripts" "$scratch/empty" "$golden.rejected" 2 --twips 4000x2000 "$feature.trz"
  else
    compare_trace "$feature" "$source_dir/tests/scripts" "$golden.trace" "$scratch/empty" 0 --twips 4000x2000 "$feature.trz"
  fi
done
while IFS= read -r example; do
  (cd "$source_dir/examples" && "$linux_trazo" trace "$example" >"$scratch/linux.out" 2>"$scratch/linux.err")
  compare_trace "examples/$example" "$source_dir/examples" "$scratch/linux.out" "$scratch/linux.err" $? "$example"
done < <(cd "$source_dir/examples" && find . -name '*.trz' | sed 's|^\./||' | sort)

finish
