#!/usr/bin/env bash
# Installs what is missing, builds Quorrin with its tests and benchmarks, and runs every test.
source "$(dirname "$0")/scripts/common.sh"
quorrin_install_missing
quorrin_build -DQUORRIN_BUILD_TESTS=ON -DQUORRIN_BUILD_BENCHMARKS=ON
export QT_QPA_PLATFORM=offscreen
cd "$QUORRIN_BUILD"
# Tests that need a session bus get a private one.
exec dbus-run-session -- ctest --output-on-failure --parallel "$(nproc)" "$@"
