#!/usr/bin/env bash
# tavo_pe_arch FILE: the architecture of a Windows program, win32 or win64, from its PE header's machine field;
# fails for anything else. Sourced by the Wine helpers and the packaging.
tavo_pe_arch() {
    local offset machine
    offset=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
    [ -n "$offset" ] || return 1
    machine=$(od -An -t x2 -j $((offset + 4)) -N 2 "$1" 2>/dev/null | tr -d ' ')
    case $machine in
        014c) echo win32 ;;
        8664) echo win64 ;;
        *) return 1 ;;
    esac
}
