#!/usr/bin/env bash
# The Debian package, made by CPack from the finished build into a private directory: its
# files, its control fields, the desktop entry and icon, that the packaged programs start and
# tell the version of the build, the manual pages, the bash completion and the AppStream entry.
#   deb_test.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
export LC_ALL=C # one sort order for the file list
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
for name in core gui widgets serialport network printsupport svg; do
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
./usr/share/applications/org.sonvex.Sonvex.desktop -rw-r--r--
./usr/share/bash-completion/completions/sonvex-cli -rw-r--r--
./usr/share/icons/hicolor/scalable/apps/sonvex.svg -rw-r--r--
./usr/share/man/man1/sonvex-cli.1.gz -rw-r--r--
./usr/share/man/man1/sonvex-sim.1.gz -rw-r--r--
./usr/share/man/man1/sonvex.1.gz -rw-r--r--
./usr/share/metainfo/org.sonvex.Sonvex.metainfo.xml -rw-r--r--"
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
entry="$work/root/usr/share/applications/org.sonvex.Sonvex.desktop"
for line in "Type=Application" "Name=Sonvex" "Exec=sonvex" "Icon=sonvex"; do
    grep -qx "$line" "$entry" || fail "the desktop entry lacks $line"
done
grep -q "^Comment=." "$entry" || fail "the desktop entry has no comment"
grep -q "^Categories=.*;" "$entry" || fail "the desktop entry has no categories"
cmp -s "$work/root/usr/share/icons/hicolor/scalable/apps/sonvex.svg" \
    "$source/src/gui/app/resources/sonvex.svg" || fail "the installed icon is not the application's"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "desktop-file-validate refused the entry"
else
    echo "desktop-file-validate not installed (desktop-file-utils): entry not validated"
fi
# The manual pages render without a warning and were made from the packaged programs: the
# name line, the version, the options of the help and, for sonvex-cli, a section per command.
commands=$("$work/root/usr/bin/sonvex-cli" --complete commands)
for program in sonvex sonvex-cli sonvex-sim; do
    page="$work/root/usr/share/man/man1/$program.1.gz"
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) ||
        fail "man could not render $program(1): $warnings"
    [ -z "$warnings" ] || fail "$program(1) renders with warnings: $warnings"
    text=$(MANWIDTH=80 man -l "$page" 2>/dev/null)
    grep -Eq "^ +$program +- +[a-z]" <<<"$text" || fail "$program(1) has no NAME line"
    grep -Eq "^Sonvex $version +" <<<"$text" || fail "$program(1) does not carry version $version"
    for heading in SYNOPSIS DESCRIPTION OPTIONS "SEE ALSO"; do
        grep -qx "$heading" <<<"$text" || fail "$program(1) has no $heading section"
    done
    grep -Eq "^ +--version$" <<<"$text" || fail "$program(1) does not list --version"
done
text=$(MANWIDTH=80 man -l "$work/root/usr/share/man/man1/sonvex-cli.1.gz" 2>/dev/null)
grep -qx COMMANDS <<<"$text" || fail "sonvex-cli(1) has no COMMANDS section"
for command in $commands; do
    grep -Eq "^   $command$" <<<"$text" || fail "sonvex-cli(1) has no section on $command"
    grep -Eq "^ +sonvex-cli $command( |$)" <<<"$text" || fail "sonvex-cli(1) lacks the usage of $command"
done
text=$(MANWIDTH=80 man -l "$work/root/usr/share/man/man1/sonvex-sim.1.gz" 2>/dev/null)
grep -Eq "^ +--device ID:TYPE$" <<<"$text" || fail "sonvex-sim(1) does not explain --device"

# The installed completion, with the installed program: it offers the commands and the PARAM
# names of "set".
completion="$work/root/usr/share/bash-completion/completions/sonvex-cli"
offered=$(PATH="$work/root/usr/bin:$PATH" bash -c '
    source "$1" && complete -p sonvex-cli >/dev/null || exit 1
    complete_line() {
        COMP_WORDS=(sonvex-cli "$@")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        _sonvex_cli sonvex-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        echo "${COMPREPLY[*]}"
    }
    complete_line se
    complete_line set --model 2x4 out4.g
' bash "$completion") || fail "the installed completion does not register for sonvex-cli"
[ "$offered" = "search set-id set
out4.gain=" ] || fail "the installed completion offered: $offered"

# The AppStream entry: valid, for the menu entry of the package, with this version, a
# description and a screenshot.
metainfo="$work/root/usr/share/metainfo/org.sonvex.Sonvex.metainfo.xml"
command -v appstreamcli >/dev/null || fail "appstreamcli (package appstream) is not installed"
report=$(appstreamcli validate --no-net --explain "$metainfo" 2>&1) ||
    fail "appstreamcli refused the metainfo: $report"
meta=$(cat "$metainfo")
grep -q "<id>org.sonvex.Sonvex</id>" <<<"$meta" || fail "the metainfo has another id"
grep -q '<launchable type="desktop-id">org.sonvex.Sonvex.desktop</launchable>' <<<"$meta" ||
    fail "the metainfo does not launch the packaged menu entry"
grep -q "<release version=\"$version\" date=\"[0-9-]*\"" <<<"$meta" ||
    fail "the metainfo lacks the release $version"
grep -q "<description>" <<<"$meta" || fail "the metainfo has no description"
grep -Eq "<image type=\"source\"[^>]*>[^<]+/docs/panel-connected.png</image>" <<<"$meta" ||
    fail "the metainfo does not show docs/panel-connected.png"
grep -q "<content_rating" <<<"$meta" || fail "the metainfo has no content rating"

echo "ok: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"
