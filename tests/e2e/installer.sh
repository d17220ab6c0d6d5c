#!/usr/bin/env bash
# The downloads of `make dist` under Wine, sourced by tests/e2e/run.sh (which provides the prefix, the desktop,
# start_program, stop_program, run_driver and the report): the zip holds the program, its README and licence;
# the setup installs silently for the user alone; the installed program starts and its window can be shown;
# installing again keeps the settings; the silent uninstall leaves no file, Start-menu entry, Run value or
# uninstall entry behind and keeps the settings.

settings_key='HKCU\Software\Kelvara\Ferlin2'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\TavoWallpaper2'

reg_() { timeout -k 5 30 "$WINELOADER" reg "$@" 2>/dev/null | tr -d '\r'; }

# The zip's files, in order, and its program byte for byte the one tested here.
check_zip() {
    local zip_file=$1 names
    names=$(unzip -Z1 "$zip_file" | sort | tr '\n' ' ')
    [ "$names" = "LICENSE.txt README.txt TavoWallpaper.exe " ] && echo "zip holds: $names" ||
        echo "FAIL the zip holds '$names'"
    [[ $zip_file == *-$arch.zip ]] || echo "FAIL the zip of the $arch build is named $(basename "$zip_file")"
    unzip -p "$zip_file" TavoWallpaper.exe | cmp -s - "$exe" && echo "zip: the program is the tested build" ||
        echo "FAIL the zip's TavoWallpaper.exe differs from $exe"
}

# Runs the setup silently; prints the Unix path of the folder it installed into.
silent_install() {
    local setup=$1 location
    timeout -k 5 180 "$WINELOADER" "$(tavo_wine_path "$setup")" /S </dev/null >/dev/null 2>&1 || return 1
    location=$(reg_ query "$uninstall_key" /v InstallLocation | sed -n 's/^ *InstallLocation *REG_SZ *//p')
    [ -n "$location" ] || return 1
    # winepath answers through dosdevices/c:, whose colon a Windows path cannot carry back.
    location=$(timeout -k 5 30 "$WINELOADER" winepath -u "$location" 2>/dev/null) && readlink -f "$location"
}

# The uninstaller runs on from a copy of itself in the temporary folder: wait for its work to be done (it
# removes the program's folder last).
silent_uninstall() {
    local folder=$1
    timeout -k 5 180 "$WINELOADER" "$(tavo_wine_path "$folder/Uninstall.exe")" /S </dev/null >/dev/null 2>&1 || return 1
    local _
    for _ in $(seq 1200); do
        [ -e "$folder" ] || return 0
        sleep 0.05
    done
    return 1
}

# installed_arch FOLDER ARCH: the program in FOLDER is the build of ARCH.
installed_arch() {
    local got
    got=$(tavo_pe_arch "$1/TavoWallpaper.exe")
    [ "$got" = "$2" ] && echo "the installed program is now the $2 build" ||
        echo "FAIL the installed program is '${got:-no program}', not the $2 build"
}

# installer_checks LOG SETUP [OTHER-SETUP]
installer_checks() {
    local log=$1 setup=$2 folder shortcut
    folder=$(silent_install "$setup") || { echo "FAIL the silent install failed or recorded no folder"; return; }
    [[ $folder == */AppData/Local/Programs/"Tavo Wallpaper 2" ]] && echo "installed for the user into $folder" ||
        echo "FAIL installed into '$folder', not the user's Programs folder"
    local f
    for f in TavoWallpaper.exe README.txt LICENSE.txt Uninstall.exe; do
        [ -f "$folder/$f" ] || echo "FAIL no $f in $folder"
    done
    shortcut=$(find "$WINEPREFIX/drive_c/users" -path '*/Start Menu/Programs/Tavo Wallpaper 2.lnk' | head -n 1)
    [ -n "$shortcut" ] && echo "Start-menu entry: $shortcut" || echo "FAIL no Start-menu entry"

    start_program "$folder/TavoWallpaper.exe"
    # A scenario that works the shown main window.
    run_driver "$log.shown" size-limits
    grep -q '^driver: PASS' "$log.shown" && echo "the installed program shows its window" ||
        echo "FAIL the installed program: $(grep -m1 '^FAIL' "$log.shown" | tr -d '\r')"
    stop_program "$log.shown" 0 || echo "FAIL Ctrl+X did not end the installed program"

    # An older copy's settings, and its start with Windows.
    reg_ add "$settings_key" /v FileNum /t REG_DWORD /d 7 /f >/dev/null
    reg_ add "$run_key" /v TavoWallpaper /d "$(tavo_wine_path "$folder/TavoWallpaper.exe")" /f >/dev/null
    # The other build's setup over this one and back, where this prefix can run it (the 32-bit setup in the
    # 64-bit prefix of a host that executes 32-bit code): each replaces the other's program.
    if [ -n "${3:-}" ]; then
        silent_install "$3" >/dev/null || echo "FAIL installing the other build over this one failed"
        installed_arch "$folder" "$(tavo_pe_arch "$3")"
    fi
    silent_install "$setup" >/dev/null || echo "FAIL installing over the installed copy failed"
    [ -n "${3:-}" ] && installed_arch "$folder" "$arch"
    reg_ query "$settings_key" /v FileNum | grep -q '0x7' && echo "installing over it keeps the settings" ||
        echo "FAIL installing over it lost the settings"

    # The wallpaper file of a copy under file virtualization, in the user's own folder.
    local wallpaper_folder=${folder%/Programs/*}/"Tavo Wallpaper 2"
    mkdir -p "$wallpaper_folder" && printf 'BM' >"$wallpaper_folder/Tavo Wallpaper.bmp"
    silent_uninstall "$folder" || echo "FAIL the silent uninstall left $folder: $(ls "$folder" 2>&1 | tr '\n' ' ')"
    [ -e "$wallpaper_folder" ] && echo "FAIL the uninstall left $wallpaper_folder"
    [ -e "$shortcut" ] && echo "FAIL the uninstall left the Start-menu entry"
    reg_ query "$run_key" /v TavoWallpaper | grep -q TavoWallpaper && echo "FAIL the uninstall left the Run value"
    reg_ query "$uninstall_key" | grep -q DisplayName && echo "FAIL the uninstall left its entry in the programs list"
    reg_ query "$settings_key" /v FileNum | grep -q '0x7' && echo "a silent uninstall keeps the settings" ||
        echo "FAIL the silent uninstall removed the settings"
}

# installer_scenario: builds the downloads and checks them; reported like the driver's scenarios.
installer_scenario() {
    local name=installer
    if [ -n "${TAVO_E2E_ONLY:-}" ] && [[ " $TAVO_E2E_ONLY " != *" $name "* ]]; then return; fi
    local log=$work/logs/$name.log t0=$SECONDS dist=$work/dist files
    reset_state
    if ! files=$(bash "$root/scripts/make-dist.sh" "$windows_dir" "$dist" 2>"$log.stderr"); then
        echo "FAIL $name: make-dist failed (log: $log.stderr)"
        failed=$((failed + 1))
        return
    fi
    # The 32-bit setup as well, where a 64-bit run's prefix can start it.
    local other= other_files
    if [ "$arch" = win64 ] && [ -f "$root/build/win32/TavoWallpaper.exe" ] && tavo_wine_runnable win32 >/dev/null &&
        other_files=$(bash "$root/scripts/make-dist.sh" "$root/build/win32" "$dist" 2>>"$log.stderr"); then
        other=$(sed -n 2p <<<"$other_files")
    fi
    { check_zip "$(sed -n 1p <<<"$files")"; installer_checks "$log" "$(sed -n 2p <<<"$files")" "$other"; } >"$log" 2>&1
    if grep -q '^FAIL' "$log"; then
        echo "FAIL $name: $(grep -m1 '^FAIL' "$log" | sed 's/^FAIL //') (log: $log)"
        sed 's/^/     | /' "$log"
        failed=$((failed + 1))
    else
        echo "ok   $name ($((SECONDS - t0)) s)"
        passed=$((passed + 1))
    fi
}
