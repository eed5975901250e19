#!/usr/bin/env bash
# Makes a small NES-style sample ROM whose strings are found through a split
# pointer table (low bytes in one table, high bytes in another), with a null
# entry, a string whose pointer points into the end of another one, a string
# in the fixed bank at C000, and free space at the end of each bank:
#   banks.nes     an iNES header and two 16 KiB banks, made up here (from no game)
#   single.tbl    single-byte code table (ASCII 20-7E)
#   double.tbl    double-byte code table (the Chinese characters of the
#                 translation in the walk-through, under their own code page
#                 936 bytes)
#   filter1.txt   single-byte filter list: 00 ends a string
# Every text file is code page 936 (GBK) with CR LF line ends.
# Usage: examples/make_bank_sample.sh OUTDIR
set -euo pipefail
export LC_ALL=C

if [ $# -ne 1 ]; then
  echo "usage: $0 OUTDIR" >&2
  exit 2
fi
out="$1"
mkdir -p "$out"
rom="$out/banks.nes"

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
chars='你 好 ， 旅 行 者 ！ 商 店 街'
for c in $chars; do
  printf '%s=%s\n' "$(gbk "$c" | hex_of)" "$c"
done | sort | crlf_gbk > "$out/double.tbl"

# The header and two banks of FF: bank 0 is file 10-400F (CPU 8000-BFFF
# with nes:0), bank 1, the last, is file 4010-800F (CPU C000-FFFF).
head -c $((16 + 2 * 16384)) /dev/zero | tr '\0' '\377' > "$rom"
bytes 4E 45 53 1A 02 00 00 00 00 00 00 00 00 00 00 00 | put 0

# File 10 (CPU 8000): the low bytes of four pointers; file 18: their high
# bytes. 8040 "Hello, traveler!", 8047 its tail "traveler!", 0000 a null
# entry, C020 "Shop" in the last bank.
bytes 40 47 00 20 | put 10
bytes 80 80 00 C0 | put 18
{ printf 'Hello, traveler!'; bytes 00; } | put 50
{ printf 'Shop'; bytes 00; } | put 4030

echo "$out"
