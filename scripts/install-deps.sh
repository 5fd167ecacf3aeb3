#!/usr/bin/env bash
# Installs the Debian 12 packages the project builds, tests and runs with.
# Idempotent: only packages that are missing are installed.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-qpa-plugins libgl-dev libqscintilla2-qt6-dev
  libmozjs-102-dev libpcre2-dev libsimdjson-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
