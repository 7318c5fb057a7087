#!/usr/bin/env bash
# The Debian package, made by CPack from the finished build into a private directory: its
# files, its control fields, the desktop entry and icon, and that the packaged programs start
# and tell the version of the build.
#   deb_test.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
build=$1 source=$2 version=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack did not make the package"; }
arch=$(dpkg --print-architecture)
deb="$work/sonvex_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$work")"

# Control fields.
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = sonvex ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), the build is $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = sound ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
# Read whole before it is searched: grep -q stops at its first match, and under pipefail the
# writer it left behind would fail with SIGPIPE.
description=$(field Description)
grep -q "sonvex-cli" <<<"$description" || fail "the description does not name the programs"
depends=$(field Depends)
for name in core gui widgets serialport printsupport svg; do
    # libqt6core6, or the renamed libqt6core6t64 of newer releases
    grep -Eq "(^|, )libqt6${name}6(t64)?([ ,]|$)" <<<"$depends" ||
        fail "Depends lacks the Qt $name library: $depends"
done
grep -Eq "(^|, )qt6-qpa-plugins([ ,]|$)" <<<"$depends" || fail "Depends lacks qt6-qpa-plugins"
# dpkg-shlibdeps ran: the C library comes with its minimum version.
grep -Eq "(^|, )libc6 \(>= [0-9.]+\)" <<<"$depends" || fail "no versioned libc6: $depends"

# Exactly these files, the programs executable by everyone.
expected="./usr/bin/sonvex -rwxr-xr-x
./usr/bin/sonvex-cli -rwxr-xr-x
./usr/bin/sonvex-sim -rwxr-xr-x
./usr/share/applications/sonvex.desktop -rw-r--r--
./usr/share/icons/hicolor/scalable/apps/sonvex.svg -rw-r--r--"
files=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6, $1 }' | sort)
[ "$files" = "$expected" ] || fail "package files:
$files
expected:
$expected"

# The programs as installed: each tells the version, without a display.
dpkg-deb --extract "$deb" "$work/root"
for program in sonvex sonvex-cli sonvex-sim; do
    said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
        "$work/root/usr/bin/$program" --version 2>&1) || fail "$program --version failed: $said"
    [ "$said" = "$program $version" ] || fail "$program --version said '$said'"
done

# The menu entry starts sonvex with its own icon, the one the main window shows.
entry="$work/root/usr/share/applications/sonvex.desktop"
for line in "Type=Application" "Name=Sonvex" "Exec=sonvex" "Icon=sonvex"; do
    grep -qx "$line" "$entry" || fail "the desktop entry lacks $line"
done
grep -q "^Comment=." "$entry" || fail "the desktop entry has no comment"
grep -q "^Categories=.*;" "$entry" || fail "the desktop entry has no categories"
cmp -s "$work/root/usr/share/icons/hicolor/scalable/apps/sonvex.svg" \
    "$source/src/app/resources/sonvex.svg" || fail "the installed icon is not the application's"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "desktop-file-validate refused the entry"
else
    echo "desktop-file-validate not installed (desktop-file-utils): entry not validated"
fi
echo "ok: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"
