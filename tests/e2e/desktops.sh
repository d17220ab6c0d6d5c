#!/usr/bin/env bash
# The main window on desktops set up as Windows 10 and 11 have them, sourced by tests/e2e/run.sh (which provides
# the prefix, scenario, check_wallpaper and the report): a frame wider than Wine's (the padded border of
# programs made for Windows Vista and later, and a wider sizing border), then 144 and 192 pixels per inch with
# Windows' own frame. Each changes the prefix's metrics, which every program started after it reads, and runs
# the layout scenario in a new copy of the program; its screenshots are layout-NAME-main-window.png and
# layout-NAME-desktop.png in the e2e folder.

desktop_key='HKCU\Control Panel\Desktop'

# reg_set KEY NAME TYPE DATA
reg_set() {
    timeout -k 5 30 "$WINELOADER" reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1
}

# Run last: the prefix keeps the last desktop's metrics. Each row: the sizing border and the padded border
# in the registry's twips (-15 is one pixel at 96 pixels per inch), and the display's pixels per inch.
desktop_scenarios() {
    local name border padded dpi
    while read -r name border padded dpi; do
        reg_set "$desktop_key\\WindowMetrics" BorderWidth REG_SZ "$border" &&
            reg_set "$desktop_key\\WindowMetrics" PaddedBorderWidth REG_SZ "$padded" &&
            reg_set "$desktop_key" LogPixels REG_DWORD "$dpi" || fail_setup "the desktop '$name' could not be set up"
        shots=layout-$name- scenario "layout@$name" check_wallpaper "$folder" sky.bmp
    done <<'TABLE'
frame -60 -120 96
scale-144 -15 -60 144
scale-192 -15 -60 192
TABLE
}
