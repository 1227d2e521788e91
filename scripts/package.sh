#!/usr/bin/env bash
# Builds the Debian package from an existing build (default build/, made by scripts/test.sh)
# and checks it: the files it installs, that the desktop entry and the metainfo validate, and
# that its dependencies were derived from the programs' shared libraries.
# Usage: scripts/package.sh [build-dir]
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$top/build}"
cmake --build "$build"
rm -rf "$build/package"
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/package/zantrel_*.deb)
echo "== $deb"

fail() { echo "package check failed: $*" >&2; exit 1; }

contents=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
id=org.zantrel.Zantrel
for path in /usr/bin/zantrel /usr/bin/zantrel-cli /usr/bin/zantrel-sim \
  /usr/share/applications/$id.desktop /usr/share/metainfo/$id.metainfo.xml \
  /usr/share/mime/packages/$id.xml /usr/share/icons/hicolor/scalable/apps/$id.svg \
  /usr/share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/$id.png \
  /usr/share/man/man1/{zantrel,zantrel-cli,zantrel-sim}.1.gz /usr/share/doc/zantrel/README.md; do
  grep -qx "$path" <<<"$contents" || fail "$path is missing"
done
# Nothing but the programs, their data and the documentation: no libraries, headers or tests.
stray=$(grep -v '/$' <<<"$contents" |
  grep -Ev '^/usr/(bin/zantrel(-cli|-sim)?|share/(applications|metainfo|mime/packages|icons/hicolor|man/man1|doc/zantrel)/.*)$' || true)
[ -z "$stray" ] || fail "unexpected files: $stray"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
names=$(sed 's/ ([^)]*)//g; s/, /\n/g' <<<"$depends")
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
  libqt6serialport6 libqcustomplot2.1-qt6 qt6-qpa-plugins libqt6sql6 libqt6sql6-sqlite \
  libqt6sql6-psql libsqlite3-0 libpq5 libxlsxwriter4; do
  grep -qxF "$lib" <<<"$names" || fail "Depends lacks $lib"
done

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/$id.metainfo.xml"
for page in zantrel zantrel-cli zantrel-sim; do
  zcat "$unpacked/usr/share/man/man1/$page.1.gz" | grep -q '^\.SH OPTIONS' ||
    fail "the manual page of $page has no options"
done
"$unpacked/usr/bin/zantrel" --version
echo "package OK"
