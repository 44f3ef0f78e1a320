#!/bin/sh
# check_commandline.sh <program> <version>
# Runs the real program as over ssh: no display, no platform chosen. Whatever the arguments ask
# for that needs no window is answered in German with the right exit code, never with the
# toolkit's abort for a missing display.
set -u
program=$1 version=$2
failed=0

# expect <exit code> <first line on stdout or stderr> <arguments...>
expect() {
    code=$1 line=$2
    shift 2
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@" 2>&1)
    got=$?
    first=$(printf '%s\n' "$out" | head -n 1)
    if [ "$got" != "$code" ] || [ "$first" != "$line" ]; then
        printf 'arguments: %s\n  expected %s: %s\n  got      %s: %s\n' "$*" "$code" "$line" \
            "$got" "$out"
        failed=1
    fi
}

expect 0 "Schotterfix $version" --version
expect 0 "Schotterfix $version" -platform xcb -v
expect 0 "Aufruf: schotterfix [Optionen] [Datei]" --help
expect 1 "schotterfix: Unbekannte Option: --bogus" --bogus
expect 1 "schotterfix: Unbekannte Option: --bogus" -style Fusion --bogus a.sfr
expect 1 "schotterfix: Die Option --version nimmt keinen Wert an." --version=3
expect 1 "schotterfix: Es kann nur eine Datei geladen werden; angegeben: a.sfr b.sfr" a.sfr b.sfr
# A call that needs a window says that there is no display instead of dumping core.
expect 1 "schotterfix: Keine grafische Anzeige gefunden (weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt)." a.sfr
[ "$failed" = 0 ] && echo "every answer given without a display"
exit "$failed"
