#!/usr/bin/env bash
# Runs Windows programs under Wine without any user interaction, in a prefix kept inside the build tree.
#
# As a library:  source scripts/wine-env.sh; tavo_wine_init; tavo_wine_run prog.exe ARGS...; tavo_wine_stop
# As a command:  scripts/wine-env.sh init | stop | path UNIXPATH | run [--display] prog.exe ARGS...
#
# Settings (environment, all optional):
#   TAVO_WINEPREFIX      the prefix (default build/wine/prefix); it is created on first use
#   TAVO_WINE_TIMEOUT    seconds one program may run before it is killed (default 60)
#   TAVO_WINE_LINGER     seconds the wine server stays up after the last program ends (default 10), so that
#                        a series of short runs pays the server's start-up only once
# Console programs need no X display. Programs that open windows need one: tavo_wine_display starts a
# private Xvfb when DISPLAY is unset (tavo_wine_stop ends it).

_tavo_wine_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

export WINEPREFIX=${TAVO_WINEPREFIX:-$_tavo_wine_root/build/wine/prefix}
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono or Gecko: Wine would otherwise offer to download them in a dialog.
export WINEDLLOVERRIDES='mscoree,mshtml='
# Keep Wine away from the desktop of whoever runs the build.
export WINE_NO_DESKTOP_INTEGRATION=1

_tavo_wine_xvfb_pid=

# Creates the prefix once (wineboot -i; the first time takes 10 to 20 seconds) and starts a lingering server.
tavo_wine_init() {
    command -v wine >/dev/null 2>&1 || { echo "wine-env: wine is not installed (scripts/install-deps.sh)" >&2; return 1; }
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        # Two runs that start together must not both build the prefix.
        flock -w 300 9 || { echo "wine-env: prefix $WINEPREFIX is locked" >&2; exit 1; }
        if [ ! -f "$WINEPREFIX/.tavo-ready" ]; then
            if ! DISPLAY='' timeout -k 10 240 wineboot -i </dev/null >"$WINEPREFIX.boot.log" 2>&1; then
                echo "wine-env: wineboot -i failed; see $WINEPREFIX.boot.log" >&2
                exit 1
            fi
            timeout -k 5 120 wineserver -w || true
            # Wine's own fonts (the caption buttons' Marlett, the bitmap MS Sans Serif that windows laid
            # out for it need) are not always found where Debian installs them; the Fonts folder always is.
            if [ -d /usr/share/wine/fonts ]; then
                cp -n /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$WINEPREFIX/drive_c/windows/Fonts/" \
                    2>/dev/null || true
            fi
            touch "$WINEPREFIX/.tavo-ready"
        fi
    ) 9>"$WINEPREFIX.lock" || return 1
    # Starts the server, or does nothing when one already serves this prefix.
    wineserver -p"${TAVO_WINE_LINGER:-10}" >/dev/null 2>&1 || true
}

# Puts every program of the prefix into one virtual desktop NAME of SIZE (WxH) with Wine's taskbar and
# notification area, whose shell starts first with its notification-area log (the "systray" trace, each line
# after the system's tick count in seconds) in LOG; the shell's pid is then in tavo_wine_desktop_pid.
tavo_wine_desktop() {
    local name=$1 size=$2 log=$3 reg
    WINEDEBUG=+timestamp,+systray wine explorer "/desktop=$name,$size" </dev/null >"$log" 2>&1 &
    tavo_wine_desktop_pid=$!
    reg=$(mktemp "${TMPDIR:-/tmp}/tavo-desktop.XXXXXX.reg")
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n"Desktop"="%s"\n\n' "$name" >"$reg"
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n"%s"="%s"\n' "$name" "$size" >>"$reg"
    timeout -k 5 60 wine reg import "$(tavo_wine_path "$reg")" >/dev/null 2>&1
    local rc=$?
    rm -f "$reg"
    return $rc
}

# Prints the Windows form of a Unix path (Wine's Z: drive maps the Unix root), without starting Wine.
tavo_wine_path() {
    local p=$1
    case $p in /*) ;; *) p=$PWD/$p ;; esac
    printf 'Z:%s\n' "${p//\//\\}"
}

# Runs a Windows program; its exit code is the program's, 124 when it ran out of time.
tavo_wine_run() {
    timeout -k 5 "${TAVO_WINE_TIMEOUT:-60}" wine "$@" </dev/null
}

# Gives the programs an X display: the caller's own, or a private virtual one.
tavo_wine_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    command -v Xvfb >/dev/null 2>&1 || { echo "wine-env: Xvfb is not installed (scripts/install-deps.sh)" >&2; return 1; }
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        _tavo_wine_xvfb_pid=$!
        for _ in $(seq 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
            kill -0 "$_tavo_wine_xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill "$_tavo_wine_xvfb_pid" 2>/dev/null
        wait "$_tavo_wine_xvfb_pid" 2>/dev/null
        _tavo_wine_xvfb_pid=
    done
    echo "wine-env: could not start Xvfb" >&2
    return 1
}

# Waits for this prefix's Wine processes to end (bounded), then ends a private Xvfb.
tavo_wine_stop() {
    if [ -d "$WINEPREFIX" ]; then
        # Bounded, and never a kill: another run may share the prefix; a lingering server ends by itself.
        timeout 60 wineserver -w || true
    fi
    if [ -n "$_tavo_wine_xvfb_pid" ]; then
        kill "$_tavo_wine_xvfb_pid" 2>/dev/null
        wait "$_tavo_wine_xvfb_pid" 2>/dev/null
        unset DISPLAY
        _tavo_wine_xvfb_pid=
    fi
    return 0
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -euo pipefail
    cmd=${1:-}
    shift || true
    case $cmd in
        init) tavo_wine_init ;;
        stop) tavo_wine_stop ;;
        path) tavo_wine_path "$1" ;;
        run)
            if [ "${1:-}" = --display ]; then shift; tavo_wine_display; fi
            # One run: no point keeping the server up afterwards.
            export TAVO_WINE_LINGER=${TAVO_WINE_LINGER:-0}
            tavo_wine_init
            rc=0
            tavo_wine_run "$@" || rc=$?
            tavo_wine_stop
            exit "$rc"
            ;;
        *)
            echo "usage: $0 init | stop | path UNIXPATH | run [--display] PROGRAM.exe [ARGS...]" >&2
            exit 64
            ;;
    esac
fi
