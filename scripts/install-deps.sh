#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; quiet and idempotent.
set -euo pipefail

packages=(build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-format
          libjpeg62-turbo-dev libjpeg-turbo-progs googletest libgtest-dev libgmock-dev
          mingw-w64 g++-mingw-w64-i686 g++-mingw-w64-x86-64 nasm wine wine32 wine64 xvfb x11-utils imagemagick dpkg-dev time fonts-wine
          nsis zip unzip)

sudo_() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    sudo_ dpkg --add-architecture i386
    need_update=1
fi

missing=()
for p in "${packages[@]}"; do
    arch_p=$p
    [ "$p" = wine32 ] && arch_p=wine32:i386
    dpkg-query -W -f='${Status}' "$arch_p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$arch_p")
done

if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
    export DEBIAN_FRONTEND=noninteractive
    sudo_ apt-get update -qq >/dev/null
    if [ ${#missing[@]} -gt 0 ]; then
        echo "installing: ${missing[*]}"
        sudo_ apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
fi
