#!/usr/bin/env bash
# Makes a small sample ROM image and the files to export its text with:
#   sample.gba   512 bytes, made up here (from no game): single-byte and
#                double-byte text, end codes, jump codes with parameters, tags
#   single.tbl   single-byte code table (ASCII 20-7E)
#   double.tbl   double-byte code table (the Chinese characters of the sample,
#                each under its own code page 936 bytes)
#   filter1.txt  single-byte filter list
#   filter2.txt  double-byte filter list
#   translation.txt  a translation of the sample's text, to make a code
#                table and a font sheet for (quillmere-cli charset)
#   combined.tbl the same tables and lists as one table of the convention
#                other tools use (UTF-8, LF), for quillmere-cli convert-table
# Every other text file is code page 936 (GBK) with CR LF line ends.
# Usage: examples/make_sample.sh OUTDIR
set -euo pipefail
export LC_ALL=C

if [ $# -ne 1 ]; then
  echo "usage: $0 OUTDIR" >&2
  exit 2
fi
out="$1"
mkdir -p "$out"
rom="$out/sample.gba"

# Text in, code page 936 out.
gbk() { printf '%s' "$1" | iconv -f UTF-8 -t GBK; }
# Raw bytes given as hexadecimal pairs: bytes 80 01 02
bytes() { local b; for b in "$@"; do printf "\\x$b"; done; }
# Upper-case hexadecimal of what comes in on standard input.
hex_of() { od -An -tx1 | tr -d ' \n' | tr a-f A-F; }
# Writes standard input into the ROM at a hexadecimal offset.
put() { dd of="$rom" bs=1 seek=$((16#$1)) conv=notrunc status=none; }
# Text lines in, CR LF and code page 936 out.
crlf_gbk() { sed 's/$/\r/' | iconv -f UTF-8 -t GBK; }

# The made-up game's control codes.
#   single-byte: 00 ends a string, 01 is followed by a 2-byte number, 0A is a line break
#   double-byte: 80 00 ends a string, 80 01 is followed by a 1-byte colour, 80 02 stands for the hero's name
printf '%s\n' '00=over' '01=turn2' '0A=换行' | crlf_gbk > "$out/filter1.txt"
printf '%s\n' '8000=over' '8001=turn1' '8002=主角' | crlf_gbk > "$out/filter2.txt"

# Single-byte table: printable ASCII stands for itself ("3D==" maps 3D to "=").
for ((code = 0x20; code <= 0x7E; code++)); do
  hex=$(printf '%02X' "$code")
  printf '%s=%s\n' "$hex" "$(printf "\\x$hex")"
done | crlf_gbk > "$out/single.tbl"

# Double-byte table: every Chinese character the sample uses, coded as its
# own code page 936 bytes, in code order.
chars='你 好 ， ！ 。 欢 迎 来 到 羽 毛 镇 恢 复 了 点 宝 箱 里 有 一 把 钥 匙 新 游 戏 继 续 设 置 按 开 始 键'
for c in $chars; do
  printf '%s=%s\n' "$(gbk "$c" | hex_of)" "$c"
done | sort | crlf_gbk > "$out/double.tbl"

# The same in one file, as other tools write tables: UTF-8, LF line ends,
# control codes marked by their first character.
{
  printf '%s\n' '@sample' '-name Quillmere sample (made up)' '# end codes' '/00=<end>' '/8000=<end>' \
    '' '# a line break, and the code that stands for the hero'"'"'s name' '*0A' '*8002=主角' \
    '' '# a two-byte number, a one-byte colour' '$01=<number>,2' '$8001=<color>,1' '' '# characters'
  iconv -f GBK -t UTF-8 "$out/single.tbl" "$out/double.tbl" | tr -d '\r'
} > "$out/combined.tbl"

# The ROM: 512 bytes of FF (no code of the tables or filters), then the strings.
head -c 512 /dev/zero | tr '\0' '\377' > "$rom"

# 010: single-byte text with a line break tag, ended by 00.
{ printf 'Hello, traveller!'; bytes 0A; printf 'Welcome to Quillmere.'; bytes 00; } | put 010
# 040: double-byte text with the hero's name tag, ended by 80 00.
{ gbk '你好，'; bytes 80 02; gbk '！欢迎来到羽毛镇。'; bytes 80 00; } | put 040
# 070: both kinds mixed, with jump code 01 and its number 00 64 (100).
{ printf 'HP'; gbk '恢复了'; bytes 01 00 64; gbk '点。'; bytes 00; } | put 070
# 090: colour codes 80 01 with one parameter byte each.
{ bytes 80 01 02; gbk '宝箱'; bytes 80 01 00; gbk '里有一把钥匙。'; bytes 80 00; } | put 090
# 0C0: menu entries without end codes; the FF after each closes it.
{ gbk '新游戏'; bytes FF; gbk '继续游戏'; bytes FF; gbk '设置'; } | put 0C0
# 0E0: a stray byte that happens to be in the table (a one-byte run).
bytes 41 | put 0E0
# 100: both kinds again.
{ printf 'Press START'; bytes 00 FF; gbk '按开始键'; bytes 80 00; } | put 100
# 1F0: a string that runs up to the last byte: nothing closes it before the
# end address 1FF, so the export drops it.
printf 'The end is near.' | put 1F0

# A translation of the exported text: every entry still fits its bytes.
printf '%s\n' \
  '10,40,你好，旅行者！{换行}欢迎来到羽毛镇。{结束符00}' '' \
  '40,28,{主角}，欢迎回到羽毛镇！{结束符8000}' '' \
  '70,16,HP恢复了{跳跃符01：0064}点。{结束符00}' '' \
  '90,26,{跳跃符8001：02}宝箱{跳跃符8001：00}里有一把钥匙。{结束符8000}' '' \
  'C0,6,新游戏' '' 'C7,8,继续游戏' '' 'D0,4,设置' '' 'E0,1,A' '' \
  '100,12,按开始键{结束符00}' '' \
  '10D,10,按开始键{结束符8000}' '' | crlf_gbk > "$out/translation.txt"

echo "$out"
