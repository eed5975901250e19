#!/usr/bin/env bash
# The sample's export, check and import (and the other commands) run by the
# Linux build and by the Windows build under Wine, in a folder with a Chinese
# name; every file they write, what they print and their exit statuses must
# be the same bytes. The font sheets are compared by size only: each system
# draws with its own rasterizer.
#   scripts/windows_round_trip.sh LINUX_CLI WINDOWS_CLI.exe
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
linux_cli="$(realpath "$1")"
windows_cli="$(realpath "$2")"
work="$root/build/windows/round-trip"
rm -rf "$work"
folder="样例 文件夹"
font=/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc

# run SIDE NAME ARGS...: one command of SIDE, its output, errors and status kept under NAME.
run() {
  local side="$1" name="$2"
  shift 2
  local status=0
  if [ "$side" = linux ]; then
    "$linux_cli" "$@" >"$name.out" 2>"$name.err" || status=$?
  else
    "$root/scripts/wine.sh" "$windows_cli" "$@" >"$name.out" 2>"$name.err" || status=$?
  fi
  echo "$status" >"$name.status"
}

for side in linux windows; do
  mkdir -p "$work/$side/$folder"
  cp "$root"/examples/sample/* "$work/$side/$folder/"
  cd "$work/$side"
  f="$folder"
  tables=(--mode both --table1 "$f/single.tbl" --table2 "$f/double.tbl" --filter1 "$f/filter1.txt" --filter2 "$f/filter2.txt")
  printf '10,2,\xC5\xB6\r\n' >"$f/错字.txt"   # 哦, which the table lacks
  run $side export export --rom "$f/sample.gba" --start 0 --end 1FF "${tables[@]}"
  run $side export-file export --rom "$f/sample.gba" --start 0 --end 1FF "${tables[@]}" --out "$f/导出.txt"
  run $side check check --script "$f/translation.txt" "${tables[@]}"
  run $side check-wrong check --script "$f/错字.txt" "${tables[@]}" --all
  # A translation the tables can take: the export with one sentence changed.
  sed 's/Hello, traveller!/Hi, traveller!/' "$f/导出.txt" >"$f/译文.txt"
  run $side check-translated check --script "$f/译文.txt" "${tables[@]}"
  cp "$f/sample.gba" "$f/译本.gba"
  run $side import import --rom "$f/译本.gba" --script "$f/译文.txt" --fill 00 "${tables[@]}"
  run $side import-out import --rom "$f/sample.gba" --script "$f/译文.txt" --fill 00 "${tables[@]}" \
    --out "$f/patched.gba"
  run $side import-refused import --rom "$f/sample.gba" --script "$f/translation.txt" --fill 00 "${tables[@]}" \
    --out "$f/refused.gba"
  run $side charset charset --script "$f/translation.txt" --mode both --table1 "$f/single.tbl" \
    --filter2 "$f/filter2.txt" --keep "$f/double.tbl" --start-code 8140 --trail 40-7E --trail 80-FE \
    --out "$f/new.tbl" --chars "$f/new_chars.txt" --sheet "$f/font.png" --glyph 12x12 --font "$font"
  run $side convert convert-table "$f/combined.tbl" --table1 "$f/t1.tbl" --table2 "$f/t2.tbl" \
    --filter1 "$f/f1.txt" --filter2 "$f/f2.txt"
  run $side convert-utf8 convert-table "$f/combined.tbl" --table1 "$f/u1.tbl" --table2 "$f/u2.tbl" \
    --filter1 "$f/uf1.txt" --filter2 "$f/uf2.txt" --out-encoding utf-8
  run $side export-utf8 export --rom "$f/sample.gba" --start 0 --end 1FF --mode both --table1 "$f/u1.tbl" \
    --table2 "$f/u2.tbl" --filter1 "$f/uf1.txt" --filter2 "$f/uf2.txt" --encoding utf-8 --out "$f/utf8.txt"
  run $side missing check --script "$f/没有.txt" "${tables[@]}"
  # Team files, release patches and the search, on the same sample.
  for format in po csv json; do
    run $side exchange-$format exchange export --script "$f/导出.txt" --translation "$f/translation.txt" \
      --format $format --out "$f/译文.$format" --line-break 换行 --max-chars 20
    run $side exchange-back-$format exchange import --from "$f/译文.$format" --format $format \
      --script "$f/导出.txt" --out "$f/译回.$format.txt"
  done
  run $side diff diff --original "$f/sample.gba" --modified "$f/patched.gba" --script "$f/译文.txt"
  for format in bps ips; do
    run $side patch-$format patch create --original "$f/sample.gba" --modified "$f/patched.gba" \
      --format $format --out "$f/译本.$format"
    run $side patch-info-$format patch info "$f/译本.$format"
    run $side patch-apply-$format patch apply --original "$f/sample.gba" --patch "$f/译本.$format" \
      --out "$f/打过补丁.$format.gba"
  done
  run $side find-relative find relative --rom "$f/sample.gba" --text Quillmere --make-table "$f/latin.tbl" --hit 1
  run $side find-text find text --rom "$f/sample.gba" --text 欢迎 "${tables[@]}"
  # The same options in every help.
  run $side help --help
  for command in export check import charset convert-table diff "pointers table" "pointers scan" \
    "find relative" "find values" "find pattern" "find text" "exchange export" "exchange import" \
    "patch create" "patch apply" "patch info"; do
    # shellcheck disable=SC2086  # the command's words apart
    run $side "help-${command// /-}" $command --help
  done
  # The sheet's width and height (the PNG header), not its pixels.
  head -c 24 "$f/font.png" | tail -c 8 | od -An -tx1 >"$f/font.size"
  mv "$f/font.png" "$work/$side.font.png"
done

cd "$work"
if ! diff -r linux windows; then
  echo "The Windows build wrote other bytes than the Linux build (see $work)."
  exit 1
fi
count=$(find linux -type f | wc -l)
echo "Windows round trip: $count files and outputs byte for byte as on Linux."
