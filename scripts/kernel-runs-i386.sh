#!/bin/sh
# Exits 0 when this machine's kernel runs 32-bit x86 programs (which 32-bit Wine is); otherwise
# prints why on stdout and exits 1. It runs the smallest such program there is, a static i386
# program that only exits, made here with binutils (as --32, ld -m elf_i386): asking needs no
# 32-bit package. Some kernels are started with their 32-bit emulation off, which nothing inside
# the machine can switch on.
set -u
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cat >"$folder/exit.s" <<'ASSEMBLY'
    .globl _start
_start:
    movl $1, %eax       # the i386 system call exit
    movl $42, %ebx      # with a status the program can only give by running
    int $0x80
ASSEMBLY
if ! as --32 -o "$folder/exit.o" "$folder/exit.s" 2>"$folder/log" ||
    ! ld -m elf_i386 -o "$folder/exit" "$folder/exit.o" 2>>"$folder/log"; then
    echo "cannot make the 32-bit probe program (binutils: as, ld): $(cat "$folder/log")"
    exit 1
fi
(exec "$folder/exit") 2>"$folder/log"
status=$?
[ "$status" -eq 42 ] && exit 0
reason=$(sed 's/^.*exit: //' "$folder/log")
echo "this machine's kernel does not run 32-bit x86 programs (a static i386 program fails:" \
    "${reason:-exit status $status})"
exit 1
