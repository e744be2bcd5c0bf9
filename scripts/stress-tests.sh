#!/usr/bin/env bash
# Runs the whole test suite ROUNDS times (default 5) with twice as many parallel
# jobs as cores, each round on its own private session bus as ./test.sh runs it,
# and names every test that failed at least once. Tests that pass alone but fail
# when the machine is busy show up here before they block anyone.
#
#   scripts/stress-tests.sh [ROUNDS] [extra ctest arguments, e.g. -R FileBookmark]
#
# Builds the tree first when the build directory has no tests yet. Each round's
# output is kept in <build>/stress/round-N.log.
source "$(dirname "$0")/common.sh"

rounds=${1:-5}
shift || true
if ! [[ $rounds =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [ROUNDS] [ctest arguments...]  (ROUNDS a positive whole number)" >&2
  exit 2
fi
jobs=$(( $(nproc) * 2 ))

if [[ ! -f $QUORRIN_BUILD/CTestTestfile.cmake ]]; then
  quorrin_install_missing
  quorrin_build -DQUORRIN_BUILD_TESTS=ON -DQUORRIN_BUILD_BENCHMARKS=ON
fi

export QT_QPA_PLATFORM=offscreen
logs="$QUORRIN_BUILD/stress"
mkdir -p "$logs"
failed_list="$QUORRIN_BUILD/Testing/Temporary/LastTestsFailed.log"
declare -A failures=()
failed_rounds=0

for ((round = 1; round <= rounds; round++)); do
  rm -f "$failed_list"
  log="$logs/round-$round.log"
  status=0
  (cd "$QUORRIN_BUILD" && dbus-run-session -- ctest --output-on-failure --parallel "$jobs" "$@") \
    >"$log" 2>&1 || status=$?
  summary=$(grep -E '^[0-9]+% tests passed' "$log" || echo "no summary (ctest exit status $status)")
  echo "round $round/$rounds: $summary"
  if ((status != 0)); then
    failed_rounds=$((failed_rounds + 1))
    if [[ -s $failed_list ]]; then
      # Lines read "<number>:<test name>".
      while IFS= read -r line; do
        name=${line#*:}
        failures[$name]=$(( ${failures[$name]:-0} + 1 ))
      done <"$failed_list"
    else
      failures["(ctest itself failed, see $log)"]=$(( ${failures["(ctest itself failed, see $log)"]:-0} + 1 ))
    fi
  fi
done

if ((${#failures[@]} == 0)); then
  echo "All $rounds rounds passed ($jobs parallel jobs)."
  exit 0
fi
echo
echo "Failed in $failed_rounds of $rounds rounds ($jobs parallel jobs); logs in $logs:"
for name in "${!failures[@]}"; do
  printf '%4d  %s\n' "${failures[$name]}" "$name"
done | sort -k1,1nr -k2
exit 1
