#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a short, fixed time.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${FUZZ_SECONDS:-30}"
targets=$(cd "$top/fuzz" && ls fuzz_*.cpp | sed 's/\.cpp$//' | tr '\n' ' ')
ZANTREL_TARGETS="$targets" CC=clang CXX=clang++ "$top/scripts/setup.sh" "$top/build-fuzz" -DZANTREL_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
shopt -s nullglob
for target in "$top"/build-fuzz/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name="$(basename "$target")"
  corpus="$top/fuzz/corpus/${name#fuzz_}"
  work="$(mktemp -d)"
  # Crash and leak files go beside the build, never into the working folder.
  artifacts="$top/build-fuzz/artifacts/$name/"
  mkdir -p "$artifacts"
  [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
  echo "== $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$artifacts" "$work"
  rm -rf "$work"
done
