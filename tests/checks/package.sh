#!/usr/bin/env bash
# Builds the Debian package and the portable folder from the build tree and checks what a user
# gets: the layout, the desktop entries, the file types, the dependencies, and that both run.
#   package.sh BUILD_DIR
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb="$(ls "$work"/pkg/tolvane_*.deb)"
root="$work/root"
dpkg -x "$deb" "$root"

expected="usr/bin/tolvane
usr/bin/tolvane-cli
usr/lib/tolvane/libOstrandcore.so
usr/share/applications/tolvane-decrypt.desktop
usr/share/applications/tolvane-import-key.desktop
usr/share/applications/tolvane.desktop
usr/share/icons/hicolor/256x256/apps/tolvane.png
usr/share/mime/packages/tolvane.xml"
actual="$(cd "$root" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)"
[ "$actual" = "$expected" ] || fail "package files:
$actual"

for entry in "$root"/usr/share/applications/*.desktop; do
    desktop-file-validate "$entry" || fail "desktop entry $(basename "$entry")"
done
grep -q '^Exec=tolvane -d %f$' "$root/usr/share/applications/tolvane-decrypt.desktop" || fail "decrypt entry"
grep -q '^Exec=tolvane -k %f$' "$root/usr/share/applications/tolvane-import-key.desktop" || fail "import entry"

update-mime-database "$root/usr/share/mime" >/dev/null 2>&1 || fail "update-mime-database"
grep -qx '60:application/x-tolvane-archive:\*.zip.3des' "$root/usr/share/mime/globs2" || fail "archive type"
grep -qx '90:application/x-tolvane-keyfile:\[a-z\]\[a-z\]\[0-9\]\[0-9\]\[0-9\]\[0-9\]\[0-9\].key' \
    "$root/usr/share/mime/globs2" || fail "key file type"
if grep -q 'tolvane.*:\*\.key$' "$root/usr/share/mime/globs2"; then fail "all of *.key claimed"; fi

depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libqt6core6 libqt6widgets6 libqt6webenginewidgets6 libssl3 libarchive13; do
    [[ "$depends" == *"$lib"* ]] || fail "dependency $lib missing: $depends"
done

# A system install keeps each user's key files in the user's folder and loads the library from
# its private folder.
home="$work/home"
mkdir -p "$home"
cli="$root/usr/bin/tolvane-cli"
HOME="$home" XDG_DATA_HOME= "$cli" keys new hh10203 >/dev/null || fail "keys new (system)"
[ -f "$home/.local/share/tolvane/hh10203.key" ] || fail "key file not in the user's folder"
[ ! -e "$root/usr/bin/hh10203.key" ] || fail "key file beside the system executable"
echo Inhalt >"$work/Header.4"
printf 'geheim-123\n' | HOME="$home" "$cli" pack "$work/t-hh10203-4" "$work/Header.4" --passphrase-stdin >/dev/null \
    || fail "pack with the installed library"
printf 'geheim-123\n' | HOME="$home" "$cli" unpack "$work/t-hh10203-4.zip.3des" "$work/aus" --passphrase-stdin \
    >/dev/null || fail "unpack with the installed library"
cmp -s "$work/Header.4" "$work/aus/Header.4" || fail "round trip"

# The portable folder keeps everything side by side.
cmake --install "$build" --prefix "$work/dist" --component portable >/dev/null || fail "portable install"
for f in tolvane tolvane-cli libOstrandcore.so; do [ -f "$work/dist/$f" ] || fail "portable $f"; done
HOME="$home" "$work/dist/tolvane-cli" keys new hh10204 >/dev/null || fail "keys new (portable)"
[ -f "$work/dist/hh10204.key" ] || fail "portable key file"
echo "package: layout, desktop entries, file types, dependencies, system and portable runs checked"
