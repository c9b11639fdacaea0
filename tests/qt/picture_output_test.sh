#!/usr/bin/env bash
# trazo render writes a picture whole or not at all: for PNG, SVG and PDF, onto a folder in
# the way, a folder it may not write, a full disk and a device, the target is left as it
# was, no temporary file is left behind, and the exit status is 1 with a message naming the
# file and the reason; a device (a character device, a pipe) is written in place, never
# replaced by a file. Cases that need privileges this machine does not give (a small tmpfs,
# a device node) say so and are skipped, never counted as passed.
#   picture_output_test.sh TRAZO SCRIPT
set -u
trazo=$1
script=$2
work=$(mktemp -d)
mounted=()
cleanup() {
  for m in "${mounted[@]}"; do umount "$m" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
skipped=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
skip() { echo "SKIP $*"; skipped=$((skipped + 1)); }

# render FORMAT OUTPUT: runs trazo, keeps its stderr in $work/err, returns its status.
render() { "$trazo" render "$script" -o "$2" --format "$1" --size 640x480 2>"$work/err" >/dev/null; }
# refused WHAT FORMAT OUTPUT REASON: render must exit 1 naming OUTPUT and REASON.
refused() {
  local what=$1 format=$2 output=$3 reason=$4 status=0
  render "$format" "$output" || status=$?
  [ "$status" -eq 1 ] || fail "$what ($format): exit status $status, not 1"
  grep -q -- "$output: cannot be written: .*$reason" "$work/err" || fail "$what ($format): message $(cat "$work/err")"
}
# No temporary file of a picture in FOLDER besides the files named.
only() {
  local folder=$1
  shift
  local left
  left=$(cd "$folder" && ls -A | grep -vxF -f <(printf '%s\n' "$@"))
  [ -z "$left" ] || fail "left behind in $folder: $left"
}

for format in png svg pdf; do
  # A folder in the way stays a folder.
  mkdir -p "$work/in-the-way.$format"
  refused "a folder in the way" "$format" "$work/in-the-way.$format" "folder"
  [ -d "$work/in-the-way.$format" ] || fail "the folder in the way is gone ($format)"
done
only "$work" in-the-way.png in-the-way.svg in-the-way.pdf err

# A full disk and a folder that cannot be written: small file systems of their own, and a
# drawing whose pictures are larger than the disk in every format.
awk 'BEGIN { for (i = 0; i < 4000; i++) printf "AddLine %d, %d, %d, %d, %d, %d, \"\"\n", i % 97, i % 89, (i * 7) % 101, (i * 13) % 83, 1 + i % 6, i % 4 }' \
  > "$work/dense.trz"
dense() { "$trazo" render "$work/dense.trz" -o "$2" --format "$1" --size 1200x900 2>"$work/err" >/dev/null; }
full=$work/full
readonly=$work/readonly
mkdir -p "$full" "$readonly"
if mount -t tmpfs -o size=32k tmpfs "$full" 2>/dev/null; then
  mounted+=("$full")
  echo "the old picture" > "$work/old"
  for format in png svg pdf; do
    cp "$work/old" "$full/old.$format"
    for target in old new; do
      status=0
      dense "$format" "$full/$target.$format" || status=$?
      [ "$status" -eq 1 ] || fail "a full disk ($format over $target): exit status $status, not 1"
      grep -q -- "$full/$target.$format: cannot be written: No space left on device" "$work/err" ||
        fail "a full disk ($format over $target): message $(cat "$work/err")"
    done
    cmp -s "$work/old" "$full/old.$format" || fail "the old $format picture changed on a full disk"
    [ -e "$full/new.$format" ] && fail "a new $format picture appeared on a full disk"
  done
  only "$full" old.png old.svg old.pdf
else
  skip "a full disk: no tmpfs can be mounted here"
fi
if [ "$(id -u)" -ne 0 ]; then
  chmod a-w "$readonly"
elif mount -t tmpfs -o ro,size=32k tmpfs "$readonly" 2>/dev/null; then
  mounted+=("$readonly")
else
  readonly=
  skip "a folder without write permission: as root, and no read-only file system can be mounted"
fi
if [ -n "$readonly" ]; then
  for format in png svg pdf; do
    refused "a folder without write permission" "$format" "$readonly/new.$format" "."
    [ -e "$readonly/new.$format" ] && fail "a $format picture appeared where nothing may be written"
  done
fi

# Devices are written in place: a full one says so, the null one takes the picture, and
# both stay devices. A pipe with no reader is refused at once.
devices=$work/devices
mkdir -p "$devices"
if mknod "$devices/full" c 1 7 2>/dev/null && mknod "$devices/null" c 1 3 2>/dev/null; then
  for format in png svg pdf; do
    refused "a full device" "$format" "$devices/full" "No space left on device"
    render "$format" "$devices/null" || fail "the null device refused the $format picture: $(cat "$work/err")"
  done
  [ -c "$devices/full" ] && [ -c "$devices/null" ] || fail "a device was replaced by a file"
  only "$devices" full null
else
  skip "devices: no device node can be made here"
fi
mkfifo "$work/pipe"
status=0
timeout 20 "$trazo" render "$script" -o "$work/pipe" --format png 2>"$work/err" >/dev/null || status=$?
[ "$status" -eq 1 ] || fail "a pipe with no reader: exit status $status, not 1"
[ -p "$work/pipe" ] || fail "the pipe was replaced by a file"
# Standard output on a full device.
if [ -c /dev/full ]; then
  status=0
  "$trazo" render "$script" -o - --format png 2>"$work/err" >/dev/full || status=$?
  [ "$status" -eq 1 ] || fail "standard output on a full device: exit status $status, not 1"
fi

echo "output safety: $failures failed, $skipped skipped"
[ "$failures" -eq 0 ]
