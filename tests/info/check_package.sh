#!/bin/sh
# check_package.sh <cpack> <build dir> <scratch dir> <application id> <version> [hardened: 1|0]
# Builds the Debian package of the build folder and checks its control data, its file list and
# the installed files with the distribution's own tools.
set -eu
cpack=$1 build=$2 scratch=$3 id=$4 version=$5 hardened=${6:-1}

for tool in dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli xmllint update-mime-database; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool missing: package check skipped"
        exit 77
    fi
done

rm -rf "$scratch"
mkdir -p "$scratch"
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log"
    exit 1
fi
deb="$scratch/schotterfix_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "no package $deb"; ls "$scratch"; exit 1; }
dpkg-deb -I "$deb"

fail() { echo "$*"; exit 1; }
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = schotterfix ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture"
[ "$(field Section)" = misc ] || fail "Section: $(field Section)"
field Maintainer | grep -q '^[^<]\+ <[^@>]\+@[^>]\+>$' || fail "Maintainer: $(field Maintainer)"
# Depends comes from the binary: the toolkit's libraries with their versions.
for dep in 'libc6 (>=' 'libqt6core6 (>=' 'libqt6widgets6 (>=' 'libqt6printsupport6 (>=' \
           'qt6-qpa-plugins'; do
    field Depends | grep -qF "$dep" || fail "Depends lacks $dep: $(field Depends)"
done
# A synopsis and an extended description with a German and an English paragraph.
field Description | grep -q 'Gleisst' || fail "no German description"
field Description | grep -q 'model-railway' || fail "no English description"

# Exactly the program, its desktop files and documents, and the track systems (checked below),
# nothing from the build or the tests.
tracks=./usr/share/schotterfix/tracksystems/
files=$(dpkg-deb -c "$deb" | awk -v t="$tracks" '$1 !~ /^d/ && index($NF, t) != 1 { print $1, $NF }' | sort)
expected=$(sort <<LIST
-rwxr-xr-x ./usr/bin/schotterfix
-rw-r--r-- ./usr/share/applications/$id.desktop
-rw-r--r-- ./usr/share/bash-completion/completions/schotterfix
-rw-r--r-- ./usr/share/doc/schotterfix/changelog.gz
-rw-r--r-- ./usr/share/doc/schotterfix/copyright
-rw-r--r-- ./usr/share/man/man1/schotterfix.1.gz
-rw-r--r-- ./usr/share/icons/hicolor/256x256/apps/$id.png
-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/$id.svg
-rw-r--r-- ./usr/share/metainfo/$id.metainfo.xml
-rw-r--r-- ./usr/share/mime/packages/$id.xml
-rw-r--r-- ./usr/share/schotterfix/Gleisliste.HED
LIST
)
[ "$files" = "$expected" ] || { printf 'files:\n%s\nexpected:\n%s\n' "$files" "$expected"; exit 1; }

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
share="$root/usr/share"

# The track systems: the index and exactly the files it names, readable by everybody.
listed=$(cut -d';' -f3 "$share/schotterfix/tracksystems/index.txt" | tr -d '\r' | sort)
[ -n "$listed" ] || fail "no track systems in the package"
packaged=$(dpkg-deb -c "$deb" | awk -v t="$tracks" '$1 !~ /^d/ && index($NF, t) == 1 {
    if ($1 != "-rw-r--r--") print "mode", $1, $NF; else print substr($NF, length(t) + 1) }' |
    grep -vx index.txt | sort)
[ "$packaged" = "$listed" ] || { printf 'track files:\n%s\nindex:\n%s\n' "$packaged" "$listed"; exit 1; }
desktop-file-validate "$share/applications/$id.desktop"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml"
xmllint --noout "$share/mime/packages/$id.xml"

# The launcher opens the files of the type the package defines.
type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$share/mime/packages/$id.xml")
[ "$type" = application/x-schotterfix ] || fail "MIME type: $type"
grep -qx "Exec=schotterfix %f" "$share/applications/$id.desktop" || fail "launcher Exec"
grep -qx "MimeType=$type;" "$share/applications/$id.desktop" || fail "launcher MimeType"
grep -qF "<mediatype>$type</mediatype>" "$share/metainfo/$id.metainfo.xml" || fail "metainfo"

# The MIME database built from the file knows the glob and the text parent.
mkdir -p "$scratch/mime/packages"
cp "$share/mime/packages/$id.xml" "$scratch/mime/packages/"
XDG_DATA_DIRS="$scratch" update-mime-database "$scratch/mime"
grep -qx "50:$type:\*.sfr" "$scratch/mime/globs2" || fail "glob *.sfr not in the database"
grep -qx "$type text/plain" "$scratch/mime/subclasses" || fail "not a text file type"

# The packaged program is the real one, still working after stripping.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/schotterfix" --version)
[ "$out" = "Schotterfix $version" ] || fail "packaged program says: $out"
# The changelog's latest entry is this version: a new version without its entry is caught here.
top=$(gzip -dc "$root/usr/share/doc/schotterfix/changelog.gz" | head -n 1)
[ "$top" = "schotterfix ($version) unstable; urgency=medium" ] || fail "changelog starts: $top"

# Debian's policy checker has the last word; overrides, if ever needed, carry their reason.
# Its hardening notes are only informational, but in a hardened build they tell that it lost
# its flags (the debug and sanitizer builds go without them).
if command -v lintian >/dev/null; then
    lintian --fail-on none --display-info "$deb" >"$scratch/lintian.log" 2>&1 ||
        { cat "$scratch/lintian.log"; fail "lintian could not check the package"; }
    faults='^[EW]: '
    [ "$hardened" = 0 ] || faults="$faults|hardening-"
    if grep -Eq "$faults" "$scratch/lintian.log"; then
        cat "$scratch/lintian.log"
        fail "lintian reports errors, warnings or missing hardening"
    fi
    echo "lintian: no errors, no warnings (hardened build: $hardened)"
else
    echo "lintian missing: the package was not checked against Debian's policy"
fi
echo "package $deb built and valid"
