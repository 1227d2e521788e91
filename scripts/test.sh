#!/usr/bin/env bash
# Sets everything up, builds and runs every test.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/setup.sh" "$top/build"
ctest --test-dir "$top/build" --output-on-failure -j2
