#!/usr/bin/env bash
# Sets everything up and starts the program. Without a stored port (COMPORT.DAT in the
# current directory) it talks to a built-in simulated logger. Without a display it runs
# under Xvfb.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/setup.sh" "$top/build"
args=("$@")
[ -f COMPORT.DAT ] || args=(--simulate "${args[@]}")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$top/build/zantrel" "${args[@]}"
fi
exec "$top/build/zantrel" "${args[@]}"
