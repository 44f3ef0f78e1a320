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
         "share/mime/packages/$id.xml"; do
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

if ! command -v desktop-file-validate >/dev/null || ! command -v appstreamcli >/dev/null; then
    echo "desktop-file-validate or appstreamcli missing: validation skipped"
    exit 77
fi
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
echo "installed and valid"
