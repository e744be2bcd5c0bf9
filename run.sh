#!/usr/bin/env bash
# Installs what is missing, builds Quorrin and starts it.
source "$(dirname "$0")/scripts/common.sh"
quorrin_install_missing
quorrin_build -DQUORRIN_BUILD_TESTS=OFF -DQUORRIN_BUILD_BENCHMARKS=OFF
exec "$QUORRIN_BUILD/quorrin" "$@"
