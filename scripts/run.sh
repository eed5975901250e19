#!/usr/bin/env bash
# Starts the window; without a display, shows the command line at work instead.
set -euo pipefail
build="${1:-build/release}"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/src/ui/quillmere"
fi
echo "No display available, so the window cannot open here."
echo "Instead, quillmere-cli exports the text of the sample ROM in examples/:"
echo
examples/make_sample.sh "$build/sample" >/dev/null
# The export text is code page 936, as the tool writes its files; the
# terminal gets it in UTF-8.
"$build/src/cli/quillmere-cli" export --rom "$build/sample/sample.gba" --start 0 --end 1FF \
  --mode both --table1 "$build/sample/single.tbl" --table2 "$build/sample/double.tbl" \
  --filter1 "$build/sample/filter1.txt" --filter2 "$build/sample/filter2.txt" \
  | iconv -f CP936 -t UTF-8
