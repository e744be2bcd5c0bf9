#!/usr/bin/env bash
# Installs what is missing, builds Quorrin with its tests and benchmarks, and runs every test.
source "$(dirname "$0")/scripts/common.sh"
quorrin_install_missing
quorrin_build -DQUORRIN_BUILD_TESTS=ON -DQUORRIN_BUILD_BENCHMARKS=ON
export QT_QPA_PLATFORM=offscreen
cd "$QUORRIN_BUILD"
# Tests that need a session bus get a private one.
status=0
dbus-run-session -- ctest --output-on-failure --parallel "$(nproc)" "$@" || status=$?
failed=Testing/Temporary/LastTestsFailed.log
if ((status == 0)) || [[ ! -s $failed ]] || grep -qv '^[0-9]*:Desktop\.' "$failed"; then
  exit "$status"
fi
# Only desktop cases failed. Under several window managers at once on a busy
# machine one of them can lose a race with its window manager now and then:
# those cases run once more, and are named, so that a fault that repeats still
# fails the run and one that does not is not lost from sight.
echo "Desktop cases that failed and run once more:"
sed 's/^[0-9]*:/  /' "$failed"
dbus-run-session -- ctest --output-on-failure --rerun-failed || exit
echo "These desktop cases passed only when run a second time (see above)."
