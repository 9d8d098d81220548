#!/bin/sh
# The checked build: the whole program and test suite built by clang with AddressSanitizer
# and UndefinedBehaviorSanitizer (any report fails the test that caused it), in its own
# folder build-check/, then the fuzz targets of the readers (scripts/fuzz.sh, same build).
# Needs the packages of scripts/install-deps.sh.
set -e
cd "$(dirname "$0")/.."
./scripts/configure-check.sh
cmake --build build-check -j2
export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$(pwd)/scripts/lsan.supp:print_suppressions=0"
QT_QPA_PLATFORM=offscreen ctest --test-dir build-check --output-on-failure -j2 --timeout 600
./scripts/fuzz.sh
