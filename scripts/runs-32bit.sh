#!/usr/bin/env bash
# Exits 0 when this machine runs 32-bit x86 programs (which 32-bit Wine needs: it runs 32-bit
# Windows programs in 32-bit Linux processes). Otherwise prints one line saying why not and exits
# 1. It finds out by running one: a kernel may be built or booted without 32-bit support whatever
# its name says. The two programs are made with binutils alone (no 32-bit C library needed).
set -uo pipefail
dir=$(mktemp -d "${TMPDIR:-/tmp}/lumivane-x86.XXXXXX") || exit 1
trap 'rm -rf "$dir"' EXIT
# exit(0) by system call: int 0x80 with eax = 1 in 32-bit code, syscall with rax = 60 in 64-bit.
printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$dir/exit32.s"
printf '.globl _start\n_start:\n movl $60, %%eax\n xorl %%edi, %%edi\n syscall\n' >"$dir/exit64.s"
if ! { as --32 -o "$dir/exit32.o" "$dir/exit32.s" && ld -m elf_i386 -o "$dir/exit32" "$dir/exit32.o" &&
    as --64 -o "$dir/exit64.o" "$dir/exit64.s" && ld -m elf_x86_64 -o "$dir/exit64" "$dir/exit64.o"; } 2>"$dir/log"; then
    echo "could not make the 32-bit test program: $(head -n1 "$dir/log")"
    exit 1
fi
# The 64-bit twin tells a folder that runs nothing apart from a kernel that runs no 32-bit code.
if ! "$dir/exit64" 2>/dev/null; then
    echo "could not tell: not even a 64-bit program runs in $dir"
    exit 1
fi
if ! message=$( { "$dir/exit32"; } 2>&1); then
    echo "the kernel does not run 32-bit x86 programs (a 32-bit test program failed: ${message##*: })"
    exit 1
fi
exit 0
