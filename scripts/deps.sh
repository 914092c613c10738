#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need; skips what is present.
# --tests adds what only ./test.sh needs.
set -euo pipefail
packages=(
  cmake ninja-build g++          # build
  qt6-base-dev qt6-base-dev-tools # Qt 6: widgets, network, test
  libssl-dev                     # OpenSSL libcrypto
  zlib1g-dev                     # zlib: skin files inflated with a cap on the output
  libgl-dev                      # Qt6Gui's CMake files look for OpenGL headers
  xvfb xauth                     # a display for the program on a headless machine
  fonts-dejavu-core              # a font for the offscreen and Xvfb windows
  php-cli                        # PHP's web server on 127.0.0.1: the reference news service and
                                 # update location, in the network tests and the demo
)
if [ "${1:-}" = --tests ]; then
  # The tests read exported files back with readers of their own: Python's icalendar package
  # (Debian's python3) and pdftotext.
  packages+=(python3-icalendar poppler-utils)
  # MinGW-w64: compiles the Windows code paths against Qt's headers (syntax only)
  packages+=(g++-mingw-w64-x86-64-posix)
fi
[ "${ZELVO_WITH_BENCH:-0}" = 1 ] && packages+=(libbenchmark-dev openssl)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""; [ "$(id -u)" = 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
