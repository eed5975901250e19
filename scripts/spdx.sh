#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the licence's SPDX line at the top of every source file that lacks it
# (after a script's #! line), or with --check only lists them and fails.
#   scripts/spdx.sh          add the line where it is missing
#   scripts/spdx.sh --check  exit 1 and name each file that lacks it
# Running it again changes nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
check=no
[ "${1:-}" = "--check" ] && check=yes

licence="SPDX-License-Identifier: GPL-3.0-or-later"
missing=0
while IFS= read -r -d '' file; do
  head -n 3 "$file" | grep -qF "$licence" && continue
  missing=$((missing + 1))
  if [ "$check" = yes ]; then
    echo "no SPDX line: $file"
    continue
  fi
  case "$file" in
    *.cpp | *.hpp | *.h) line="// $licence" ;;
    *) line="# $licence" ;;
  esac
  temporary="$file.spdx"
  if head -n 1 "$file" | grep -q '^#!'; then
    { head -n 1 "$file"; echo "$line"; tail -n +2 "$file"; } >"$temporary"
  else
    { echo "$line"; cat "$file"; } >"$temporary"
  fi
  chmod --reference="$file" "$temporary"
  mv "$temporary" "$file"
done < <(git ls-files -z --cached --others --exclude-standard -- \
  '*.cpp' '*.hpp' '*.h' '*.sh' '*.py' '*.cmake' '*CMakeLists.txt' Makefile .ci/run)

if [ "$check" = yes ] && [ "$missing" -gt 0 ]; then
  echo "$missing files lack the SPDX line; scripts/spdx.sh adds it"
  exit 1
fi
[ "$check" = yes ] || echo "SPDX line added to $missing files"
