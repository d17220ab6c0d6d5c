#!/usr/bin/env bash
# Unpacks the distribution's libjpeg-turbo source package into build/deps/libjpeg-turbo-src.
# Adds a deb-src entry for the configured Debian mirror when there is none. Idempotent.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps=$root/build/deps
dest=$deps/libjpeg-turbo-src
[ -f "$dest/CMakeLists.txt" ] && exit 0

sudo_() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

has_deb_src() {
    grep -rqsE '^[[:space:]]*deb-src[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null && return 0
    grep -rqsE '^Types:.*deb-src' /etc/apt/sources.list.d/*.sources 2>/dev/null
}

if ! has_deb_src; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sudo_ sed -i -E 's/^Types:[[:space:]]*deb[[:space:]]*$/Types: deb deb-src/' /etc/apt/sources.list.d/debian.sources
    else
        grep -hE '^[[:space:]]*deb[[:space:]]' /etc/apt/sources.list 2>/dev/null | sed -E 's/^([[:space:]]*)deb /\1deb-src /' |
            sudo_ tee /etc/apt/sources.list.d/tavo-deb-src.list >/dev/null
    fi
    sudo_ apt-get update -qq >/dev/null
fi

mkdir -p "$deps"
work=$(mktemp -d "$deps/src.XXXXXX")
(cd "$work" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1) || {
    sudo_ apt-get update -qq >/dev/null
    (cd "$work" && apt-get source -qq libjpeg-turbo >/dev/null)
}
unpacked=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
[ -n "$unpacked" ] || { echo "fetch-libjpeg-source: no source tree unpacked" >&2; exit 1; }
rm -rf "$dest"
mv "$unpacked" "$dest"
rm -rf "$work"
