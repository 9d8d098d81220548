#!/bin/sh
# Installs every Debian 12 package needed to build, run and test Kalvaro.
# Both README commands and CI go through this one script.
set -e
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends \
  g++ cmake ninja-build ccache make pkg-config zlib1g-dev libgtest-dev libbenchmark-dev \
  qt6-base-dev qt6-serialport-dev qt6-translations-l10n libxlsxwriter-dev \
  xvfb xauth socat imagemagick unzip xdotool \
  dpkg-dev file \
  lintian appstream \
  x11-utils libx11-dev \
  poppler-utils libreoffice-writer-nogui \
  clang clang-format libclang-rt-14-dev strace bc
