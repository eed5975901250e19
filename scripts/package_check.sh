#!/usr/bin/env bash
# Checks the Debian package of a build folder: lintian must report no error
# (warnings and notes are printed), and the AppStream metadata it installs
# must validate.
#   scripts/package_check.sh BUILD_DIR
set -euo pipefail
build="$1"
deb=$(ls -t "$build"/quillmere_*.deb | head -1)
echo "== lintian $deb"
lintian --tag-display-limit 0 "$deb" | tee "$build/lintian.log" || true
if grep -q '^E:' "$build/lintian.log"; then
  echo "lintian reports errors"
  exit 1
fi
echo "lintian: no errors ($(grep -c '^W:' "$build/lintian.log" || true) warnings)"
metainfo=$(mktemp -d)
trap 'rm -rf "$metainfo"' EXIT
dpkg-deb -x "$deb" "$metainfo"
appstreamcli validate --no-net "$metainfo"/usr/share/metainfo/*.metainfo.xml
