#!/usr/bin/env bash
# Renders the window, preview on, after an export of the sample in examples/,
# to docs/screenshot.png. Needs xvfb-run; works without a display.
set -euo pipefail
build="${1:-build/release}"
sample="$build/sample"
examples/make_sample.sh "$sample" >/dev/null
mkdir -p docs
# Without a platform theme the window looks as it does on a plain desktop.
QT_QPA_PLATFORMTHEME= xvfb-run -a -s "-screen 0 1024x768x24" \
  "$build/src/ui/quillmere-screenshot" "$sample" docs/screenshot.png
echo "docs/screenshot.png"
