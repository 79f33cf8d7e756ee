#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with.
# Idempotent: prints nothing and installs nothing when everything is present.
set -euo pipefail

packages=(
  cmake g++ ninja-build
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libtinyxml2-dev
  libocct-data-exchange-dev libtbb-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
