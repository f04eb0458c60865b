#!/usr/bin/env bash
# Builds the Debian package into a temporary folder and checks it: its name,
# its file list, its dependencies, its desktop entries and AppStream metadata
# (with the validators), and that `cmake --install` to a prefix with blanks and
# quotes lays out the same files with a desktop entry that starts the program.
#   check-package.sh <build folder> <version>
set -euo pipefail
build=$1
version=$2

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in cpack dpkg-deb desktop-file-validate appstreamcli gio; do
  command -v "$tool" >/dev/null || fail "$tool is missing (./test.sh installs it)"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb=$work/out/stormtap_${version}_amd64.deb
[ -f "$deb" ] || { ls "$work/out"; fail "no $(basename "$deb")"; }

# The file list: everything below /usr, the program directory and the desktop parts there.
dpkg-deb -c "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' | sed 's|/$||' >"$work/list"
grep -v '^\./usr\(/\|$\)' "$work/list" && fail "files outside /usr"
for expected in \
  './usr/bin/stormtap -> ../lib/stormtap/stormtap' \
  './usr/lib/stormtap/stormtap' \
  './usr/lib/stormtap/SITES.DAT' \
  './usr/share/applications/stormtap.desktop' \
  './usr/share/icons/hicolor/scalable/apps/stormtap.svg' \
  './usr/share/metainfo/org.stormtap.Stormtap.metainfo.xml' \
  './usr/bin/stormtap-viewer -> ../lib/stormtap/stormtap-viewer' \
  './usr/lib/stormtap/stormtap-viewer' \
  './usr/share/applications/stormtap-viewer.desktop' \
  './usr/share/icons/hicolor/scalable/apps/stormtap-viewer.svg' \
  './usr/bin/stormtap-fetch -> ../lib/stormtap/stormtap-fetch' \
  './usr/lib/stormtap/stormtap-fetch' \
  './usr/lib/systemd/user/stormtap-fetch.service'; do
  grep -qxF "$expected" "$work/list" || { cat "$work/list"; fail "the package lacks $expected"; }
done

depends=$(dpkg-deb -f "$deb" Depends)
for expected in libqt6widgets6 libqt6network6 libqt6svg6 libgif7 fonts-liberation fonts-comic-neue fonts-dejavu-core; do
  [[ "$depends" == *"$expected"* ]] || fail "Depends lacks $expected: $depends"
done

dpkg-deb -x "$deb" "$work/root"
shopt -s nullglob
entries=("$work"/root/usr/share/applications/*.desktop)
metainfo=("$work"/root/usr/share/metainfo/*.xml)
[ ${#entries[@]} -gt 0 ] && [ ${#metainfo[@]} -gt 0 ] || fail "no desktop entry or no metainfo"
for entry in "${entries[@]}"; do
  desktop-file-validate "$entry" || fail "desktop-file-validate $(basename "$entry")"
  exec_path=$(sed -n 's/^Exec="\([^"]*\)".*/\1/p' "$entry")
  [ -x "$work/root$exec_path" ] || fail "$(basename "$entry") starts $exec_path, which the package does not hold"
done
for file in "${metainfo[@]}"; do
  appstreamcli validate --no-net "$file" || fail "appstreamcli validate $(basename "$file")"
done

# The same layout from the install from source, below a prefix that needs quoting.
prefix="$work/with blank \"q\" \$HOME"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "cmake --install"; }
(cd "$work/root/usr" && find . | sort) >"$work/package-files"
(cd "$prefix" && find . | sort) >"$work/install-files"
diff -u "$work/package-files" "$work/install-files" || fail "cmake --install lays out other files than the package"
[ "$(readlink "$prefix/bin/stormtap")" = ../lib/stormtap/stormtap ] || fail "bin/stormtap is not the link"

# A launcher reads the Exec line as a desktop does: a stand-in program at the
# installed command's place tells through a pipe that it was started.
entry=$prefix/share/applications/stormtap.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate on the install from source"
mkfifo "$work/started"
rm "$prefix/bin/stormtap"
printf '#!/bin/sh\necho started >'"'"'%s'"'"'\n' "$work/started" >"$prefix/bin/stormtap"
chmod +x "$prefix/bin/stormtap"
gio launch "$entry" >/dev/null 2>&1 &
[ "$(timeout 20 cat "$work/started")" = started ] || fail "the desktop entry did not start $prefix/bin/stormtap"
echo "The package $(basename "$deb") and the install from source are sound"
