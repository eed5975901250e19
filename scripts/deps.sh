#!/usr/bin/env bash
# Installs the Debian packages the build needs, or says how to.
#   scripts/deps.sh [GROUP]          install what is missing (as root), else print the command
#   scripts/deps.sh --check [GROUP]  exit 1 when something is missing, install nothing
# GROUP: build (the default: what make run, make test and make package need),
# windows (what make windows and make test-windows add: the MinGW-w64 cross
# compiler, zlib for it, Wine) or package-check (lintian, help2man, appstream).
set -euo pipefail

check=no
if [ "${1:-}" = "--check" ]; then
  check=yes
  shift
fi
group="${1:-build}"

case "$group" in
  build)
    packages=(
      cmake make g++ pkg-config
      libicu-dev libgtest-dev libgmock-dev libcli11-dev libbenchmark-dev
      qt6-base-dev qt6-translations-l10n libgl-dev libxkbcommon-dev
      clang libclang-rt-dev
      libfreetype-dev libpng-dev zlib1g-dev
      xvfb xauth fonts-noto-cjk fonts-wqy-zenhei time python3
      help2man
      gettext  # msgfmt: the tests check the PO files the exchange writes
    ) ;;
  windows)
    packages=(
      cmake make g++ pkg-config libicu-dev libcli11-dev googletest libfreetype-dev libpng-dev zlib1g-dev
      g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64
      fonts-wqy-zenhei python3
    ) ;;
  package-check)
    packages=(lintian appstream) ;;
  *)
    echo "unknown group: $group (build, windows or package-check)" >&2
    exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
if [ "$check" = yes ]; then
  exit 1
fi

command="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}"
  echo "Install them with:"
  echo "  sudo apt-get update && sudo $command"
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
$command
