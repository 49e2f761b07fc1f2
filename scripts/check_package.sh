#!/usr/bin/env bash
# Builds the Debian package and checks it as installed: unpacked into a temporary root with
# dpkg -x, every file is where the package says, the desktop entry, metainfo and man pages pass
# their validators, the files they name are there, and each program's --help names the same
# options as its man page. Usage: scripts/check_package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
programs=(kestrel-panel kestrel-console kestrel-sim)
passed=0
failed=0
log=$(mktemp)
root=$(mktemp -d)
trap 'rm -rf "$root" "$log"' EXIT

check() {
  local what=$1
  shift
  if "$@" >"$log" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
    sed 's/^/    /' "$log"
  fi
}

make --no-print-directory package BUILD="$build" >"$log" 2>&1 || { cat "$log"; exit 1; }
version=$(sed -n 's/^project(KestrelPanel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=$build/kestrel-panel_${version}_$(dpkg --print-architecture).deb
dpkg -x "$deb" "$root"
echo "package: $deb, $(stat -c %s "$deb") bytes"
echo "depends: $(dpkg-deb -f "$deb" Depends)"

field_is() { [ "$(dpkg-deb -f "$deb" "$1")" = "$2" ]; }
check "the package's version is the build's ($version)" field_is Version "$version"
depends_on() { dpkg-deb -f "$deb" Depends | tr ',' '\n' | grep -q "^ *$1\b"; }
for dependency in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins \
  'fonts-liberation2 | fonts-liberation'; do
  check "the package depends on $dependency" depends_on "$dependency"
done

every_listed_file_is_there() {
  dpkg-deb -c "$deb" | awk '{print $6}' | while read -r path; do
    [ -e "$root/$path" ] || { echo "missing: $path"; return 1; }
  done
}
check "every file the package lists is in the unpacked root" every_listed_file_is_there

no_runpath() { ! readelf -d "$1" | grep -Eq 'RPATH|RUNPATH'; }
no_lint() { [ -z "$(mandoc -T lint -W warning "$1" 2>&1)" ]; }
renders_quietly() { [ -z "$(MANWIDTH=80 man --warnings -l "$1" 2>&1 >/dev/null)" ]; }
options_of() { grep -oE -- '--[a-z][a-z-]*' | sort -u; }
help_matches_man() {
  diff <("$root/usr/bin/$1" --help | options_of) \
    <(LC_ALL=C MANWIDTH=200 man -l "$root/usr/share/man/man1/$1.1.gz" 2>/dev/null | options_of)
}
for program in "${programs[@]}"; do
  page=$root/usr/share/man/man1/$program.1.gz
  check "$program is installed as a program" test -x "$root/usr/bin/$program"
  check "$program carries no build-tree library path" no_runpath "$root/usr/bin/$program"
  check "$program has a compressed man page" gzip -t "$page"
  check "the man page of $program names itself (lexgrog)" lexgrog "$page"
  check "the man page of $program lints clean (mandoc)" no_lint "$page"
  check "the man page of $program renders without warnings (man -l)" renders_quietly "$page"
  check "$program --help names the options its man page names" help_matches_man "$program"
done
prints_version() { [ "$("$root/usr/bin/kestrel-panel" --version)" = "Kestrel Panel for Linux $version" ]; }
check "kestrel-panel --version prints $version" prints_version

desktop=$root/usr/share/applications/kestrel-panel.desktop
entry() { sed -n "s/^$1=//p" "$desktop"; }
check "the desktop entry is valid" desktop-file-validate "$desktop"
check "the desktop entry starts an installed program" test -x "$root/usr/bin/$(entry Exec)"
check "the desktop entry names the window class" test "$(entry StartupWMClass)" = kestrel-panel
icons_are_there() {
  local icon
  icon=$(entry Icon)
  for size in 16 24 32 48 64 128 256 512; do
    file "$root/usr/share/icons/hicolor/${size}x$size/apps/$icon.png" |
      grep -q "PNG image data, $size x $size" || { echo "no ${size}px $icon.png"; return 1; }
  done
  grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg"
}
check "the desktop entry's icon is there at every size and scalable" icons_are_there

metainfo=$root/usr/share/metainfo/kestrel-panel.metainfo.xml
# The component is named like its desktop entry and programs; there is no domain to name it by.
check "the metainfo is valid" appstreamcli validate --no-net \
  --override=cid-desktopapp-is-not-rdns=info "$metainfo"
launchable_is_there() {
  local id
  id=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
  test -f "$root/usr/share/applications/$id"
}
check "the metainfo launches the installed desktop entry" launchable_is_there
binaries_are_there() {
  sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' "$metainfo" | while read -r binary; do
    test -x "$root/usr/bin/$binary" || return 1
  done
}
check "the metainfo's programs are installed" binaries_are_there

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
