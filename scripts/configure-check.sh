#!/bin/sh
# Configures build-check/: clang, sanitizers, the fuzz targets; no benchmarks.
set -e
cd "$(dirname "$0")/.."
CC=clang CXX=clang++ cmake -S . -B build-check -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
  -DKALVARO_SANITIZE=ON -DKALVARO_FUZZ=ON -DKALVARO_BUILD_BENCH=OFF >/dev/null
