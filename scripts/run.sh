#!/bin/sh
# Installs what is needed, builds and starts the workbench on the demo program folder.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2 --target kalvaro kalvaro-cli
exec ./build/kalvaro --home demo
