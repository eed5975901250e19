#!/usr/bin/env bash
# Renders the window, preview on, after an export of the sample in examples/,
# to docs/screenshot.png, every tab of the tools window to
# docs/screenshot-tools.png, and the font sheet of the sample's translation to
# docs/screenshot-sheet.png. Needs xvfb-run; works without a display.
set -euo pipefail
build="${1:-build/release}"
sample="$build/sample"
examples/make_sample.sh "$sample" >/dev/null
mkdir -p docs
# Without a platform theme the window looks as it does on a plain desktop.
QT_QPA_PLATFORMTHEME= xvfb-run -a -s "-screen 0 1024x768x24" \
  "$build/src/ui/quillmere-screenshot" "$sample" docs/screenshot.png
echo "docs/screenshot.png"
QT_QPA_PLATFORMTHEME= xvfb-run -a -s "-screen 0 1024x768x24" \
  "$build/src/ui/quillmere-tools-screenshot" "$sample" docs/screenshot-tools.png
echo "docs/screenshot-tools.png"
"$build/src/cli/quillmere-cli" charset --script "$sample/translation.txt" --mode both \
  --table1 "$sample/single.tbl" --filter2 "$sample/filter2.txt" --start-code 8140 --out "$sample/new.tbl" \
  --sheet docs/screenshot-sheet.png --glyph 24x24 --font /usr/share/fonts/truetype/wqy/wqy-zenhei.ttc
echo "docs/screenshot-sheet.png"
