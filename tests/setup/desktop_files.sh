#!/usr/bin/env bash
# Installs the build into a staging folder and checks what a desktop reads from it with the
# desktop's own tools: the desktop entry, the AppStream metadata, the file type, the icons
# and the man pages.   usage: desktop_files.sh SOURCE_DIR BUILD_DIR
source "$(dirname "$0")/lib.sh"

id=org.quelvane.CadrelantGenerator
type=application/x-quelvane-cadrelant
stage=$tmp/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr >"$tmp/install.log" \
    || { cat "$tmp/install.log" >&2; exit 1; }
usr=$stage/usr

# Exactly these files, no more.
(cd "$stage" && find . -type f | sort) >"$tmp/files"
# The lintian override only where lintian knows its tag.
overrides=
[ ! -e /usr/share/lintian/tags/a/appstream-metadata-validation-failed.tag ] \
    || overrides=./usr/share/lintian/overrides/quelvane
sed '/^$/d' <<EOF2 | sort >"$tmp/expected"
./usr/bin/quelvane
./usr/bin/quelvane-roll
./usr/share/applications/$id.desktop
./usr/share/dbus-1/services/$id.service
./usr/share/doc/quelvane/changelog.gz
./usr/share/doc/quelvane/copyright
./usr/share/icons/hicolor/128x128/apps/$id.png
./usr/share/icons/hicolor/256x256/apps/$id.png
./usr/share/icons/hicolor/48x48/apps/$id.png
./usr/share/icons/hicolor/64x64/apps/$id.png
./usr/share/icons/hicolor/scalable/apps/$id.svg
$overrides
./usr/share/man/man1/quelvane-roll.1.gz
./usr/share/man/man1/quelvane.1.gz
./usr/share/metainfo/$id.metainfo.xml
./usr/share/mime/packages/$id.xml
EOF2
diff -u "$tmp/expected" "$tmp/files" >&2 || fail "installed files differ from the list above"

desktop=$usr/share/applications/$id.desktop
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed"
[ -z "$out" ] || fail "desktop-file-validate: $out"
grep -qx "MimeType=$type;" "$desktop" || fail "the desktop entry does not list $type"
# After --, a file named like an option (-x.tbl) is still a file.
grep -qx 'Exec=quelvane -- %f' "$desktop" || fail "the desktop entry does not pass the file to quelvane after --"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry's icon is not $id"
# D-Bus activation: the bus starts the installed program under the desktop id.
grep -qx 'DBusActivatable=true' "$desktop" || fail "the desktop entry is not D-Bus activatable"
service=$usr/share/dbus-1/services/$id.service
grep -qx "Name=$id" "$service" || fail "the D-Bus service is not named $id"
grep -qx "Exec=/usr/bin/quelvane" "$service" || fail "the D-Bus service does not start /usr/bin/quelvane"

# The project has no web home and the metadata invents none: AppStream 1.0's warning about
# that (0.16 knows no such check) is the one finding let pass. Any other error or warning
# fails, on 0.16 and 1.0 alike.
as_check() {
    local name=$1 log=$tmp/$1.log
    shift
    appstreamcli "$@" >"$log" 2>&1 && return 0
    if grep -E '^ *[EW]:' "$log" | grep -v -q ': url-homepage-missing$' || ! grep -q -E '^ *[EW]:' "$log"; then
        cat "$log" >&2
        fail "appstreamcli $name"
    fi
}
as_check validate validate --no-net "$usr/share/metainfo/$id.metainfo.xml"
# The metadata, its desktop entry and its icon, as a software centre reads them together.
as_check validate-tree validate-tree --no-net "$stage"

# No web address in the metadata: the project has none, and none is made up.
! grep -q -E 'https?://' "$usr/share/metainfo/$id.metainfo.xml" || fail "the AppStream metadata names a web address"

# The file type: the database built from our package alone knows *.tbl as our text type.
mime=$tmp/mime
mkdir -p "$mime/packages"
cp "$usr/share/mime/packages/$id.xml" "$mime/packages/"
XDG_DATA_HOME=$tmp update-mime-database "$mime" >"$tmp/mime.log" 2>&1 || { cat "$tmp/mime.log" >&2; fail "update-mime-database"; }
[ ! -s "$tmp/mime.log" ] || fail "update-mime-database: $(cat "$tmp/mime.log")"
grep -q ":$type:\*\.tbl$" "$mime/globs2" 2>/dev/null || fail "*.tbl is not $type"
grep -qx "$type text/plain" "$mime/subclasses" 2>/dev/null || fail "$type is not a kind of text/plain"
grep -q '<comment>.' "$mime/$type.xml" 2>/dev/null || fail "$type has no comment"

# Icons: the theme's PNGs have the size of their folder, and the SVG is the design's.
for size in 48 64 128 256; do
    actual=$(identify -format '%wx%h' "$usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
    [ "$actual" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $actual"
done
python3 "$src/scripts/make-icon.py" --svg | cmp -s - "$usr/share/icons/hicolor/scalable/apps/$id.svg" \
    || fail "the SVG icon is not what scripts/make-icon.py draws (run scripts/make-icons.sh)"
python3 "$src/scripts/make-icon.py" | cmp -s - "$src/resources/icon.xpm" \
    || fail "the window icon is not what scripts/make-icon.py draws"

# Man pages: no warning from the formatter, the build's version, and every option that
# quelvane-roll --help lists.
for page in quelvane quelvane-roll; do
    file=$usr/share/man/man1/$page.1.gz
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$file" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page.1: $warnings"
    version=$("$usr/bin/quelvane-roll" --version | awk '{print $2}')
    zcat "$file" | head -n 1 | grep -qF "\"quelvane $version\"" || fail "$page.1 does not carry version $version"
done
# A new version needs its changelog entry (the package's own changelog is this file).
zcat "$usr/share/doc/quelvane/changelog.gz" | head -n 1 | grep -qF "quelvane ($version)" \
    || fail "the changelog does not start with version $version"
man -l "$usr/share/man/man1/quelvane-roll.1.gz" 2>/dev/null | col -b >"$tmp/roll.txt"
for option in $("$usr/bin/quelvane-roll" --help | grep -oE -- '--[a-z]+' | sort -u); do
    grep -qe "$option" "$tmp/roll.txt" || fail "quelvane-roll.1 does not document $option"
done
man -l "$usr/share/man/man1/quelvane.1.gz" 2>/dev/null | col -b >"$tmp/quelvane.txt"
for option in --help --version FILE; do
    grep -qe "$option" "$tmp/quelvane.txt" || fail "quelvane.1 does not document $option"
done

setup_done
