#!/usr/bin/env bash
# Makes sure the Debian packages building and playing (PLAY_PACKAGES) and the
# tests (TEST_PACKAGES) need are present:
# installs them when run as root, otherwise prints the apt-get line and stops.
# What building and playing need.
PLAY_PACKAGES=(cmake g++ make pkg-config
  libsdl2-dev libsdl2-ttf-dev libfontconfig-dev libpng-dev fonts-liberation libcairo2-dev
  fonts-dejavu-core zlib1g-dev libenet-dev libxxhash-dev libinih-dev libsodium-dev
  libminiupnpc-dev libnatpmp-dev)
# What the tests, the benchmarks and packaging need on top.
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev
  libx11-dev libxfixes-dev
  xvfb xdotool x11-utils imagemagick openbox
  dpkg-dev lintian appstream
  clang libclang-rt-14-dev clang-format python3
  nftables miniupnpd-nftables miniupnpc iproute2)
PACKAGES=("${PLAY_PACKAGES[@]}" "${TEST_PACKAGES[@]}")

# Installs the packages named as arguments, or PACKAGES (all of them) without any.
ensure_packages() {
    local missing=()
    local p
    local wanted=("$@")
    [ ${#wanted[@]} -eq 0 ] && wanted=("${PACKAGES[@]}")
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing: ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        # The router daemon's package would ask whether to start it at boot.
        echo "miniupnpd miniupnpd/start_daemon boolean false" | debconf-set-selections
        apt-get update -qq && apt-get install -y -qq "${missing[@]}" || {
            echo "apt-get could not install: ${missing[*]}" >&2
            return 1
        }
    else
        echo "Missing Debian packages. Install them with:" >&2
        echo "  sudo apt-get install -y ${missing[*]}" >&2
        return 1
    fi
}
