#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs every Debian package that building, testing, packaging and running the demo need.
# Does nothing (quickly) when they are all present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-declarative-dev-tools
  libqt6opengl6-dev libqt6svg6 qt6-svg-dev
  fonts-noto-core fonts-noto-cjk
  qml6-module-qtquick qml6-module-qtquick-window qml6-module-qtqml-workerscript
  qml6-module-qttest qml6-module-qtquick-controls qml6-module-qtquick-templates
  qt6-qpa-plugins qt6-wayland weston
  libhidapi-dev libudev-dev
  libglib2.0-dev gsettings-desktop-schemas libglib2.0-bin
  libxcb1-dev libxcb-xinput-dev libx11-xcb-dev libx11-dev libxi-dev
  xvfb xauth xdotool x11-utils dbus-daemon
  libbenchmark-dev gnuplot-nox
  librsvg2-bin lintian
  libkf5config-bin
  g++-mingw-w64-x86-64
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
# apt's own progress lines show that it is working: a first install takes minutes.
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
