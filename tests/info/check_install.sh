#!/bin/sh
# check_install.sh <cmake> <build dir> <scratch prefix> <application id>
set -eu
cmake=$1 build=$2 prefix=$3 id=$4

rm -rf "$prefix"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

missing=0
for f in bin/schotterfix \
         "share/applications/$id.desktop" \
         "share/metainfo/$id.metainfo.xml" \
         "share/icons/hicolor/scalable/apps/$id.svg" \
         "share/icons/hicolor/256x256/apps/$id.png" \
         "share/mime/packages/$id.xml" \
         share/man/man1/schotterfix.1.gz \
         share/bash-completion/completions/schotterfix \
         share/doc/schotterfix/copyright \
         share/doc/schotterfix/changelog.gz; do
    if [ ! -s "$prefix/$f" ]; then
        echo "not installed: $f"
        missing=1
    fi
done
[ -x "$prefix/bin/schotterfix" ] || { echo "bin/schotterfix is not executable"; missing=1; }
[ "$missing" = 0 ] || exit 1

# A PNG's width and height are the big-endian words at bytes 16 and 20.
size=$(od -An -tu1 -j16 -N8 "$prefix/share/icons/hicolor/256x256/apps/$id.png" | tr -s ' ')
[ "$size" = " 0 0 1 0 0 0 1 0" ] || { echo "256x256 icon has another size:$size"; exit 1; }

grep -qx "Icon=$id" "$prefix/share/applications/$id.desktop" ||
    { echo "the launcher does not name the installed icon"; exit 1; }
grep -qx "Exec=schotterfix %f" "$prefix/share/applications/$id.desktop" ||
    { echo "the launcher does not start the installed program"; exit 1; }

# The manual page and the completion know every option the program itself lists in its help.
options=$("$prefix/bin/schotterfix" --help | sed -n 's/^  \(-[^ ].*[^ ]\)  .*/\1/p' | tr -d ,)
[ -n "$options" ] || { echo "no options in the program's help"; exit 1; }
page=$(gzip -dc "$prefix/share/man/man1/schotterfix.1.gz")
completion="$prefix/share/bash-completion/completions/schotterfix"
for option in $options; do
    printf '%s\n' "$page" | grep -qF -- "$(printf '%s' "$option" | sed 's/-/\\-/g')" ||
        { echo "the manual page lacks $option"; exit 1; }
    grep -qF -- " $option" "$completion" || { echo "the completion lacks $option"; exit 1; }
done
if command -v man >/dev/null; then
    warnings=$(printf '%s\n' "$page" | LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z - 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "the manual page does not format cleanly: $warnings"; exit 1; }
fi

# What bash offers after the words typed so far: options, then one track file or a folder.
if [ -r /usr/share/bash-completion/bash_completion ]; then
    files="$prefix/../completion-files"
    rm -rf "$files"
    mkdir -p "$files/Gleise"
    touch "$files/h0.sfr" "$files/TT.SFR" "$files/notiz.txt"
    offered=$(cd "$files" && LC_ALL=C bash -c '
        . /usr/share/bash-completion/bash_completion
        . "$1"
        offer() {
            COMP_LINE=$1 COMP_POINT=${#1}
            read -ra COMP_WORDS <<<"$1"
            [ "${1% }" = "$1" ] || COMP_WORDS+=("")
            COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMPREPLY=()
            _schotterfix 2>/dev/null
            printf "%s|" "$1" $(printf "%s\n" "${COMPREPLY[@]}" | sort)
            echo
        }
        offer "schotterfix "
        offer "schotterfix --v"
        offer "schotterfix -"
        offer "schotterfix h0.sfr "
        offer "schotterfix --version "
        offer "schotterfix -- "' sh "$completion")
    expected='schotterfix |Gleise|TT.SFR|h0.sfr|
schotterfix --v|--version|
schotterfix -|--help|--version|-h|-v|
schotterfix h0.sfr |
schotterfix --version |
schotterfix -- |Gleise|TT.SFR|h0.sfr|'
    [ "$offered" = "$expected" ] ||
        { printf 'completion offers:\n%s\nexpected:\n%s\n' "$offered" "$expected"; exit 1; }
else
    echo "bash-completion missing: completion not tried"
fi

if ! command -v desktop-file-validate >/dev/null || ! command -v appstreamcli >/dev/null; then
    echo "desktop-file-validate or appstreamcli missing: validation skipped"
    exit 77
fi
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
echo "installed and valid"
