#!/usr/bin/env bash
# Whether this kernel runs i386 programs, which the 32-bit Wine needs: builds a static i386
# program that only exits, and runs it.
#   exit 0  it ran
#   exit 1  it did not; the reason is the one line on standard output
#   exit 2  the probe could not be built (no binutils)
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf '.globl _start\n_start:\n  movl $1, %%eax\n  movl $0, %%ebx\n  int $0x80\n' >"$work/exit.s"
if ! as --32 "$work/exit.s" -o "$work/exit.o" 2>/dev/null || ! ld -m elf_i386 "$work/exit.o" -o "$work/exit" 2>/dev/null; then
  echo "cannot build the i386 probe: as --32 and ld -m elf_i386 (binutils) failed"
  exit 2
fi
"$work/exit" >/dev/null 2>"$work/error"
rc=$?
if [ "$rc" -ne 0 ]; then
  reason=$(tr -d '\n' <"$work/error" | sed 's/^.*: //')
  echo "this kernel does not run i386 programs (${reason:-exit status $rc})"
  exit 1
fi
