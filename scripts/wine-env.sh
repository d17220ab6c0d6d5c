#!/usr/bin/env bash
# Runs Windows programs under Wine without any user interaction, in a prefix kept inside the build tree.
#
# As a library:  source scripts/wine-env.sh; tavo_wine_init; tavo_wine_run prog.exe ARGS...; tavo_wine_stop
# As a command:  scripts/wine-env.sh init | stop | path UNIXPATH | runnable ARCH | run [--display] prog.exe ARGS...
#
# Settings (environment, all optional):
#   TAVO_WINE_ARCH       win32 or win64: the prefix's architecture and the Wine loader that serves it (default:
#                        win32 where this host executes 32-bit code, else win64); tavo_wine_use changes it
#   TAVO_WINEPREFIX      the prefix (default build/wine/prefix-ARCH); it is created on first use
#   TAVO_WINE_TIMEOUT    seconds one program may run before it is killed (default 60)
#   TAVO_WINE_LINGER     seconds the wine server stays up after the last program ends (default 10), so that
#                        a series of short runs pays the server's start-up only once
#   TAVO_HOST_RUNS_32BIT 1 or 0: whether this host executes 32-bit (i386) programs; tried once (Wine's 32-bit
#                        loader is one) when unset, and kept for the scripts this one starts. 0 makes a host
#                        that could run them behave as one that cannot.
# Console programs need no X display. Programs that open windows need one: tavo_wine_display starts a
# private Xvfb when DISPLAY is unset (tavo_wine_stop ends it).
#
# Debian's loaders are called directly: the `wine` wrapper and the tools built on it (wineboot, winepath)
# take the 32-bit loader whenever it is installed, even on a host whose kernel refuses to execute it.

_tavo_wine_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
_tavo_wine_libdir=${TAVO_WINE_LIBDIR:-/usr/lib/wine}

export WINEDEBUG=-all
# No Mono or Gecko: Wine would otherwise offer to download them in a dialog.
export WINEDLLOVERRIDES='mscoree,mshtml='
# Keep Wine away from the desktop of whoever runs the build.
export WINE_NO_DESKTOP_INTEGRATION=1

# shellcheck source=scripts/pe-arch.sh
source "$_tavo_wine_root/scripts/pe-arch.sh"

# Whether this host can run Windows programs of ARCH under Wine. Returns 0 when it can; 1, printing why, when the
# host cannot execute them (the only case in which a test may leave them out); 2, printing what, when a package
# is missing.
tavo_wine_runnable() {
    local arch=$1 loader out
    case $arch in
        win64) loader=$_tavo_wine_libdir/wine64 ;;
        win32) loader=$_tavo_wine_libdir/wine ;;
        *) echo "unknown Windows architecture '$arch'"; return 2 ;;
    esac
    [ -x "$loader" ] || { echo "$loader is not installed (scripts/install-deps.sh)"; return 2; }
    [ "$arch" = win64 ] && return 0
    if [ -z "${TAVO_HOST_RUNS_32BIT:-}" ]; then
        if out=$("$loader" --version 2>&1 </dev/null); then
            export TAVO_HOST_RUNS_32BIT=1
        elif [[ $out == *"Exec format error"* ]]; then
            # The kernel refuses the program itself: nothing installed can change that.
            export TAVO_HOST_RUNS_32BIT=0
            export TAVO_HOST_32BIT_WHY="this host's kernel does not execute 32-bit (i386) programs ($loader: Exec format error)"
        else
            echo "$loader does not start: $(head -n 1 <<<"$out")"
            return 2
        fi
    fi
    [ "$TAVO_HOST_RUNS_32BIT" = 1 ] && return 0
    echo "${TAVO_HOST_32BIT_WHY:-TAVO_HOST_RUNS_32BIT=0: this host is taken not to execute 32-bit (i386) programs}"
    return 1
}

# Serves Windows programs of ARCH from now on: the loader, the prefix's architecture and, unless TAVO_WINEPREFIX
# names one, the prefix of that architecture.
tavo_wine_use() {
    _tavo_wine_arch=$1
    case $_tavo_wine_arch in
        win64) export WINELOADER=$_tavo_wine_libdir/wine64 ;;
        win32) export WINELOADER=$_tavo_wine_libdir/wine ;;
        *) echo "wine-env: unknown Windows architecture '$_tavo_wine_arch'" >&2; return 1 ;;
    esac
    export WINEARCH=$_tavo_wine_arch
    export WINEPREFIX=${TAVO_WINEPREFIX:-$_tavo_wine_root/build/wine/prefix-$_tavo_wine_arch}
}

# For the test scripts: serves the architecture of the Windows program EXE from now on (in $WINEARCH), or ends
# the script: with 77 and one line saying why when this host cannot execute it, with 2 when something is
# missing. NAME begins the lines it prints.
tavo_wine_for_program() {
    local name=$1 exe=$2 arch why
    arch=$(tavo_pe_arch "$exe") || { echo "$name: $exe is no Windows program of a known processor" >&2; exit 2; }
    why=$(tavo_wine_runnable "$arch")
    case $? in
        0) ;;
        1) echo "$name $arch: not runnable on this host: $why"; exit 77 ;;
        *) echo "$name $arch: $why" >&2; exit 2 ;;
    esac
    tavo_wine_use "$arch"
    echo "$name $arch: $exe"
}

# Runs a Wine program (a Windows program or one of Wine's own: wineboot, winepath, reg, explorer) with the loader
# of the prefix's architecture.
tavo_wine() {
    "$WINELOADER" "$@"
}

# The host is tried once, here, in this shell: the answer is kept in TAVO_HOST_RUNS_32BIT.
if tavo_wine_runnable win32 >/dev/null; then
    tavo_wine_use "${TAVO_WINE_ARCH:-win32}"
else
    tavo_wine_use "${TAVO_WINE_ARCH:-win64}"
fi

_tavo_wine_xvfb_pid=

# Creates the prefix once (wineboot -i; the first time takes 10 to 20 seconds) and starts a lingering server.
tavo_wine_init() {
    local why
    why=$(tavo_wine_runnable "$_tavo_wine_arch") || { echo "wine-env: $why" >&2; return 1; }
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        # Two runs that start together must not both build the prefix.
        flock -w 300 9 || { echo "wine-env: prefix $WINEPREFIX is locked" >&2; exit 1; }
        if [ ! -f "$WINEPREFIX/.tavo-ready" ]; then
            if ! DISPLAY='' timeout -k 10 240 "$WINELOADER" wineboot -i </dev/null >"$WINEPREFIX.boot.log" 2>&1; then
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
    WINEDEBUG=+timestamp,+systray tavo_wine explorer "/desktop=$name,$size" </dev/null >"$log" 2>&1 &
    tavo_wine_desktop_pid=$!
    reg=$(mktemp "${TMPDIR:-/tmp}/tavo-desktop.XXXXXX.reg")
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n"Desktop"="%s"\n\n' "$name" >"$reg"
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n"%s"="%s"\n' "$name" "$size" >>"$reg"
    timeout -k 5 60 "$WINELOADER" reg import "$(tavo_wine_path "$reg")" >/dev/null 2>&1
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
    timeout -k 5 "${TAVO_WINE_TIMEOUT:-60}" "$WINELOADER" "$@" </dev/null
}

# Gives the programs an X display: the caller's own, or a private virtual one.
tavo_wine_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    command -v Xvfb >/dev/null 2>&1 || { echo "wine-env: Xvfb is not installed (scripts/install-deps.sh)" >&2; return 1; }
    # Xvfb chooses a free display itself and writes its number once it accepts connections: two runs that
    # start at the same moment never share one.
    local numbers n _
    numbers=$(mktemp "${TMPDIR:-/tmp}/tavo-xvfb.XXXXXX")
    Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp 9>"$numbers" >/dev/null 2>&1 &
    _tavo_wine_xvfb_pid=$!
    for _ in $(seq 600); do
        # The number is complete with its newline.
        if [ "$(tail -c 1 "$numbers" | od -An -tx1 | tr -d ' ')" = 0a ]; then
            n=$(tr -dc 0-9 <"$numbers")
            rm -f "$numbers"
            export DISPLAY=":$n"
            return 0
        fi
        kill -0 "$_tavo_wine_xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$numbers"
    kill "$_tavo_wine_xvfb_pid" 2>/dev/null
    wait "$_tavo_wine_xvfb_pid" 2>/dev/null
    _tavo_wine_xvfb_pid=
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
        runnable)
            why=$(tavo_wine_runnable "${1:-}") && exit 0
            echo "$why"
            exit 1
            ;;
        stop) tavo_wine_stop ;;
        path) tavo_wine_path "$1" ;;
        run)
            if [ "${1:-}" = --display ]; then shift; tavo_wine_display; fi
            # The prefix of the program's own architecture.
            if [ -z "${TAVO_WINE_ARCH:-}" ] && arch=$(tavo_pe_arch "${1:-}"); then tavo_wine_use "$arch"; fi
            # One run: no point keeping the server up afterwards.
            export TAVO_WINE_LINGER=${TAVO_WINE_LINGER:-0}
            tavo_wine_init
            rc=0
            tavo_wine_run "$@" || rc=$?
            tavo_wine_stop
            exit "$rc"
            ;;
        *)
            echo "usage: $0 init | stop | path UNIXPATH | runnable win32|win64 | run [--display] PROGRAM.exe [ARGS...]" >&2
            exit 64
            ;;
    esac
fi
