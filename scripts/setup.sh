#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12, then configures and
# builds. Usage: scripts/setup.sh [build-dir] [extra cmake arguments...]
# ZANTREL_TARGETS, when set, names the only targets to build; ZANTREL_BENCH=1 also installs
# what the benchmarks need.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-serialport-dev libqcustomplot-dev libqcustomplot2.1-qt6 libgl-dev
  clang libclang-rt-14-dev clang-format
  xvfb xauth imagemagick fonts-dejavu-core x11-utils xdotool
  libxlsxwriter-dev # the Excel workbook export
  influxdb curl # the tests give the line protocol export to a server of their own
  unzip # the tests read the workbook export back
  poppler-utils # pdftotext and pdftoppm: the tests read the reports they make
  libqt6sql6-sqlite libqt6sql6-psql # the archive's two engines through Qt SQL
  libsqlite3-dev libpq-dev # SQLite's and libpq's own interfaces, on the connections Qt opens
  postgresql # the tests start a throwaway server of their own
  help2man dpkg-dev file desktop-file-utils appstream
  icewm # a desktop with a notification area under Xvfb, to try "Hide" and the tray by hand
)
# The benchmarks' own needs, only when asked for: the test suite never uses them.
if [ -n "${ZANTREL_BENCH:-}" ]; then
  packages+=(python3-pandas)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

build="${1:-build}"
shift || true
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
if [ -n "${ZANTREL_TARGETS:-}" ]; then
  # shellcheck disable=SC2086
  cmake --build "$build" --target $ZANTREL_TARGETS
else
  cmake --build "$build"
fi
