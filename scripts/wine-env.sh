# Sourced by the scripts that run the program or its tests under Wine.
# Sets up a display (Xvfb where there is none) and a 32-bit Wine prefix of our own.
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=${WINEPREFIX:-$top/build/wine}

# Starts Xvfb on a free display unless one is usable (force with KESTO_XVFB=1).
kesto_display() {
    if [ -z "${KESTO_XVFB:-}" ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return; fi
    local n=90
    while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
    Xvfb :$n -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
    KESTO_XVFB_PID=$!
    export DISPLAY=:$n
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return; sleep 0.1; done
    echo "wine-env: Xvfb did not start" >&2
    return 1
}

# Creates the prefix once: a virtual desktop (Wine draws the window frames, as Windows
# does), Wine's own fonts as Windows has them ("MS Sans Serif" with 6 x 13 base units, the
# caption buttons' Marlett glyphs; Debian's Wine does not find them by itself) and
# metric-compatible fonts for the other faces the program asks for (Wine's Tahoma has the base
# units of "MS Sans Serif" that Windows' "Microsoft Sans Serif" has).
kesto_prefix() {
    if [ ! -f "$WINEPREFIX/.kesto-ready" ]; then
        rm -rf "$WINEPREFIX"
        mkdir -p "$(dirname "$WINEPREFIX")"
        wineboot -i >/dev/null 2>&1
        wineserver -w
        cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
        local reg
        reg=$(mktemp --suffix=.reg)
        cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1600x1000"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Times New Roman"="Liberation Serif"
"Arial"="Liberation Sans"
"Microsoft Sans Serif"="Tahoma"
REG
        wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
        wineserver -w
        rm -f "$reg"
        touch "$WINEPREFIX/.kesto-ready"
    fi
}

kesto_stop_wine() {
    wineserver -k >/dev/null 2>&1 || true
    [ -n "${KESTO_XVFB_PID:-}" ] && kill "$KESTO_XVFB_PID" 2>/dev/null || true
}
