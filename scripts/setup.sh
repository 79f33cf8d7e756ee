#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with.
# Idempotent: prints nothing and installs nothing when everything is present.
# --fuzz also installs clang and its fuzzer runtime (for scripts/fuzz.sh only).
# --windows also installs the MinGW-w64 cross compiler and Wine (the Windows
# stage of scripts/test.sh; its build folder makes its own Wine prefix).
set -euo pipefail

fuzz=false windows=false
for arg in "$@"; do
  case "$arg" in
    --fuzz) fuzz=true ;;
    --windows) windows=true ;;
    *) echo "setup: unknown option $arg (known: --fuzz, --windows)" >&2; exit 2 ;;
  esac
done

packages=(
  cmake g++ ninja-build
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libtinyxml2-dev libpng-dev
  libocct-data-exchange-dev libtbb-dev libembree-dev
  locales
)
if $fuzz; then
  packages+=(clang libclang-rt-14-dev)
fi
if $windows; then
  # googletest (above) also brings the sources the Windows tests are built from.
  packages+=(g++-mingw-w64-x86-64-posix wine64)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The writer's tests check numbers in a locale whose decimal separator is a comma.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "setup: generating the de_DE.UTF-8 locale"
  "${sudo_cmd[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi

# No Debian package holds tinyxml2 built for Windows: the Windows build
# compiles Debian's tinyxml2 source, fetched once with apt-get source.
tinyxml2_src=/usr/local/src/tinyxml2
if $windows && [ ! -f "$tinyxml2_src/tinyxml2.cpp" ]; then
  echo "setup: fetching Debian's tinyxml2 source into $tinyxml2_src"
  # Source indexes: any deb-src entry will do (deb822 files may list several
  # types on one line); else one for this release's main archive is added.
  if ! grep -Eqs '^Types:.*[[:space:]]deb-src([[:space:]]|$)|^deb-src[[:space:]]' \
      /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; then
    codename=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
    "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/quorell-debian-src.sources >/dev/null <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: ${codename:-bookworm}
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  download=$(mktemp -d)
  if ! (cd "$download" && apt-get source -qq --download-only tinyxml2 >/dev/null 2>&1) ||
     ! compgen -G "$download/tinyxml2_*.orig.tar.*" >/dev/null; then
    echo "setup: apt-get source tinyxml2 failed: no deb-src entry for the Debian archive?" >&2
    rm -rf "$download"
    exit 1
  fi
  "${sudo_cmd[@]}" mkdir -p "$tinyxml2_src"
  "${sudo_cmd[@]}" tar -xf "$download"/tinyxml2_*.orig.tar.* --strip-components=1 -C "$tinyxml2_src"
  rm -rf "$download"
fi
