#!/bin/sh
# Installs what is needed, builds from scratch and runs every test.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
# every #include under src/ points down the layers
./scripts/check-includes.sh
# the lines changed since scripts/format-base follow .clang-format
./scripts/check-format.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2
# the Debian package, unpacked and tried, and lintian on it
./scripts/package-test.sh
