#!/usr/bin/env bash
# Fails when a C++ file differs from .clang-format; lists the files that do.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "clang-format is not installed" >&2; exit 1; }
bad=$(git ls-files '*.cpp' '*.h' | while read -r f; do
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || echo "$f"
done)
if [ -n "$bad" ]; then
  echo "These files differ from .clang-format (run clang-format -i on them):" >&2
  printf '  %s\n' $bad >&2
  exit 1
fi
echo "clang-format: every C++ file matches .clang-format"
