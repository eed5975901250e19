#!/usr/bin/env bash
# Installs the Debian packages the build needs, or says how to.
#   scripts/deps.sh          install what is missing (as root), else print the command
#   scripts/deps.sh --check  exit 1 when something is missing, install nothing
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  libicu-dev libgtest-dev libgmock-dev libcli11-dev libbenchmark-dev
  qt6-base-dev qt6-translations-l10n libgl-dev libxkbcommon-dev
  clang libclang-rt-dev
  libfreetype-dev libpng-dev zlib1g-dev
  xvfb xauth fonts-noto-cjk fonts-wqy-zenhei time python3
  gettext  # msgfmt: the tests check the PO files the exchange writes
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
if [ "${1:-}" = "--check" ]; then
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
