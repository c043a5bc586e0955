#!/usr/bin/env bash
# Installs what the build needs (Debian 12), builds Quilor and stages the
# install tree in ./install (install/bin/..., install/Dico/...).
#   ./setup.sh            install, build, stage, then open the bundled sample in
#                         the window (with a display) or analyse it without one
#   ./setup.sh --deps     only install the Debian packages (with those the tests use)
#   ./setup.sh --build    install and build, no sample run
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libpoppler-cpp-dev libzip-dev libexpat1-dev libxlsxwriter-dev
  wordnet-base wbritish wamerican libxml2-utils
  xvfb xauth
)
# Only the tests need these: they read the exports and printed PDFs back as other
# programs do, and run the window under a virtual screen with a window manager.
TEST_PACKAGES=(libreoffice-calc-nogui poppler-utils openbox clang-format)

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

build_and_stage() {
  cmake --preset default >/dev/null
  cmake --build --preset default
  cmake --install build/default --prefix "$PWD/install" >/dev/null
  echo "Installed in $PWD/install"
}

case "${1:-}" in
  --deps) PACKAGES+=("${TEST_PACKAGES[@]}"); install_packages ;;
  --build) install_packages; build_and_stage ;;
  "")
    install_packages
    build_and_stage
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
      echo "== Starting the window on samples/sample.txt"
      nohup install/bin/quilor samples/sample.txt >/dev/null 2>&1 &
      echo "The window runs as process $!"
    else
      echo "== No display: quilor-dump on samples/sample.txt (first lines)"
      # The whole output is read before it is cut, so that no pipe closes early.
      dump="$(install/bin/quilor-dump samples/sample.txt)"
      printf '%s\n' "$dump" | sed -n '1,40p'
      echo
      echo "To see the window, run on a desktop:  install/bin/quilor samples/sample.txt"
      echo "or without a screen:  xvfb-run -a install/bin/quilor samples/sample.txt"
    fi
    ;;
  *) echo "usage: ./setup.sh [--deps|--build]" >&2; exit 2 ;;
esac
