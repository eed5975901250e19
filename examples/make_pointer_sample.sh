#!/usr/bin/env bash
# Makes a small sample ROM whose strings are found through pointers, with
# free space to move translations that outgrow their place:
#   pointers.gba  512 bytes, made up here (from no game)
#   single.tbl    single-byte code table (ASCII 20-7E)
#   double.tbl    double-byte code table (the Chinese characters of the
#                 translation in the walk-through, under their own code page
#                 936 bytes)
#   filter1.txt   single-byte filter list: 00 ends a string
# Every text file is code page 936 (GBK) with CR LF line ends.
# Usage: examples/make_pointer_sample.sh OUTDIR
set -euo pipefail
export LC_ALL=C

if [ $# -ne 1 ]; then
  echo "usage: $0 OUTDIR" >&2
  exit 2
fi
out="$1"
mkdir -p "$out"
rom="$out/pointers.gba"

gbk() { printf '%s' "$1" | iconv -f UTF-8 -t GBK; }
bytes() { local b; for b in "$@"; do printf "\\x$b"; done; }
hex_of() { od -An -tx1 | tr -d ' \n' | tr a-f A-F; }
put() { dd of="$rom" bs=1 seek=$((16#$1)) conv=notrunc status=none; }
crlf_gbk() { sed 's/$/\r/' | iconv -f UTF-8 -t GBK; }

printf '%s\n' '00=over' | crlf_gbk > "$out/filter1.txt"
for ((code = 0x20; code <= 0x7E; code++)); do
  hex=$(printf '%02X' "$code")
  printf '%s=%s\n' "$hex" "$(printf "\\x$hex")"
done | crlf_gbk > "$out/single.tbl"
chars='你 好 ， 旅 行 者 ！ 商 店 再 见 。'
for c in $chars; do
  printf '%s=%s\n' "$(gbk "$c" | hex_of)" "$c"
done | sort | crlf_gbk > "$out/double.tbl"

# 512 bytes of FF: 100-1FF stays free for moved strings.
head -c 512 /dev/zero | tr '\0' '\377' > "$rom"

# 000: a table of three 4-byte little-endian pointers, base 8000000 (the
# address at which the console sees the first byte of the ROM), to the
# strings at 40, 50 and 60.
bytes 40 00 00 08  50 00 00 08  60 00 00 08 | put 000
# 030: one more pointer to the string at 40, outside the table (as a game's
# event script might hold one).
bytes 40 00 00 08 | put 030
# The strings, each ended by 00.
{ printf 'Hello!'; bytes 00; } | put 040
{ printf 'Shop'; bytes 00; } | put 050
{ printf 'Bye.'; bytes 00; } | put 060

echo "$out"
