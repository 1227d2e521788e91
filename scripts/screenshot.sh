#!/bin/sh
# Takes a PNG screenshot of the program on a virtual display.
# Usage: scripts/screenshot.sh OUTPUT.png [BINARY] [-- program arguments]
# BINARY defaults to build/zantrel beside this repository (or $ZANTREL_BIN).
set -eu

out=${1:?usage: screenshot.sh OUTPUT.png [BINARY] [-- arguments]}
shift
bin=${ZANTREL_BIN:-$(dirname "$0")/../build/zantrel}
if [ $# -gt 0 ] && [ "$1" != "--" ]; then
    bin=$1
    shift
fi
[ $# -gt 0 ] && [ "$1" = "--" ] && shift
[ -x "$bin" ] || { echo "no program at $bin (build it first)" >&2; exit 1; }

case $out in /*) ;; *) out=$(pwd)/$out ;; esac

# Inside the virtual display: start the program, give it time to draw, capture, stop it.
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
    out=$1; bin=$2; shift 2
    "$bin" "$@" &
    pid=$!
    sleep 3
    import -window root "$out"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
' screenshot "$out" "$bin" "$@"
echo "$out"
