#!/usr/bin/env bash
# Measures how many one-line faults the test suite catches. Each patch in
# tests/mutants (or each patch named on the command line) is applied to the
# source tree with `git apply`, the tree is rebuilt incrementally in a build
# directory of its own, and the suite runs as ./test.sh runs it (offscreen, on
# a private session bus): the unit suites first, the desktop cases only when
# they all pass. The patch is then reverted, also when the run is interrupted.
#
#   scripts/mutants.sh [-j JOBS] [--keep-going] [--no-baseline] [PATCH...] [-- CTEST ARGS...]
#
#   -j JOBS        parallel build and test jobs (default 4: the machine is shared)
#   --keep-going   run the whole suite on every mutant instead of stopping at
#                  the first failing test (one failure is enough to kill it)
#   --no-baseline  skip the run of the unchanged tree (it must pass, or every
#                  mutant would count as killed)
#   CTEST ARGS     run the suite as ctest chooses with these, in one run
#                  instead of the unit suites first, e.g. -- -E '^Desktop\.'
#
# Prints "killed", "survived", "does not apply" (the code moved on: refresh the
# patch) or "does not build" per patch, and the share of applied mutants killed.
# The build directory is <tree>/build-mutants, or QUORRIN_MUTANTS_BUILD_DIR.
# Exits 0 when every patch applied and built, 1 otherwise.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUORRIN_MUTANTS_BUILD_DIR:-$root/build-mutants}"
jobs=4
stop_on_failure=(--stop-on-failure)
baseline=1
patches=()
ctest_args=()

while (($#)); do
  case $1 in
    -j) jobs=$2; shift 2 ;;
    -j*) jobs=${1#-j}; shift ;;
    --keep-going) stop_on_failure=(); shift ;;
    --no-baseline) baseline=0; shift ;;
    --) shift; ctest_args=("$@"); break ;;
    -h|--help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    -*) echo "unknown option $1 (see $0 --help)" >&2; exit 2 ;;
    *) patches+=("$(realpath "$1")"); shift ;;
  esac
done
if ! [[ $jobs =~ ^[1-9][0-9]*$ ]]; then
  echo "-j needs a positive whole number" >&2
  exit 2
fi
if ((${#patches[@]} == 0)); then
  shopt -s nullglob
  patches=("$root"/tests/mutants/*.patch)
  shopt -u nullglob
fi
if ((${#patches[@]} == 0)); then
  echo "no patches in $root/tests/mutants" >&2
  exit 2
fi

cd "$root"
logs="$build/mutants"
mkdir -p "$logs"
# Names the patch while it is applied. A run that could not revert it (one
# killed with SIGKILL) leaves it behind: say so rather than measure a tree
# with two faults.
marker="$logs/applied"
if [[ -s $marker ]]; then
  echo "an earlier run left $(cat "$marker") applied; revert it (git apply --reverse) and remove $marker" >&2
  exit 2
fi

applied=""
revert() {
  if [[ -n $applied ]]; then
    if git -C "$root" apply --reverse "$applied"; then
      rm -f "$marker"
    else
      echo "could not revert $applied" >&2
    fi
    applied=""
  fi
}
# Builds and test runs go to the background in a process group of their own,
# so that an interruption stops them at once and the mutant is reverted
# before the script ends.
set -m
child=""
in_background() {
  local status=0
  "$@" &
  child=$!
  wait "$child" || status=$?
  child=""
  return "$status"
}
interrupted() {
  if [[ -n $child ]]; then
    kill -TERM -- "-$child" 2>/dev/null || true
    wait "$child" 2>/dev/null || true
  fi
  exit "$1"
}
trap revert EXIT
trap 'interrupted 130' INT
trap 'interrupted 143' TERM
trap 'interrupted 129' HUP

export QT_QPA_PLATFORM=offscreen
if [[ -z ${CMAKE_CXX_COMPILER_LAUNCHER:-} ]] && command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
build_tree() {
  in_background cmake --build "$build" --parallel "$jobs"
}

ctest_in_build() {
  in_background env -C "$build" dbus-run-session -- ctest --output-on-failure "$@"
}

# Runs the suite; the name of the first failing test goes to $failed_test.
# A failure counts only when the failing tests fail again on their own: a
# test that fails now and then on a busy machine must not kill a mutant
# (after such a pass the suite runs once more).
failed_test=""
run_suite() {
  local status phase attempt phases=()
  local failed_list="$build/Testing/Temporary/LastTestsFailed.log"
  failed_test=""
  # The unit suites first: they fail fastest. (ctest's label filter misses
  # tests discovered at test time, so the desktop cases go by their name.)
  # Arguments of the caller choose the tests themselves, in one run.
  if ((${#ctest_args[@]})); then
    phases=("")
  else
    phases=("-E ^Desktop\." "-R ^Desktop\.")
  fi
  for phase in "${phases[@]}"; do
    for attempt in 1 2; do
      rm -f "$failed_list"
      status=0
      # shellcheck disable=SC2086 # the phase is two words, or none
      ctest_in_build --parallel "$jobs" "${stop_on_failure[@]}" $phase "${ctest_args[@]}" || status=$?
      ((status == 0)) && break
      if [[ ! -s $failed_list ]]; then
        failed_test="ctest exit status $status"
        return 1
      fi
      failed_test=$(head -n 1 "$failed_list" | cut -d: -f2-)
      echo "Running the failed tests again on their own"
      status=0
      ctest_in_build --rerun-failed || status=$?
      if ((status != 0)); then
        failed_test=$(head -n 1 "$failed_list" 2>/dev/null | cut -d: -f2-)
        return 1
      fi
      if ((attempt == 2)); then
        failed_test="$failed_test, which passed when run again"
        return 1
      fi
      echo "They passed: the suite runs once more"
    done
  done
}

started=$SECONDS
echo "Configuring $build"
cmake -S "$root" -B "$build" -G Ninja -DQUORRIN_BUILD_TESTS=ON >"$logs/configure.log" 2>&1 \
  || { cat "$logs/configure.log" >&2; exit 1; }
if ! build_tree >"$logs/baseline-build.log" 2>&1; then
  echo "the unchanged tree does not build; see $logs/baseline-build.log" >&2
  exit 1
fi
if ((baseline)); then
  echo "Running the suite on the unchanged tree"
  if ! run_suite >"$logs/baseline.log" 2>&1; then
    echo "the unchanged tree fails $failed_test; see $logs/baseline.log" >&2
    exit 1
  fi
fi

killed=0 survived=0 stale=0 broken=0
survivors=()
for patch in "${patches[@]}"; do
  name=$(basename "$patch" .patch)
  log="$logs/$name.log"
  mutant_started=$SECONDS
  echo "$patch" >"$marker"
  if ! git apply "$patch" 2>"$log"; then
    rm -f "$marker"
    stale=$((stale + 1))
    printf '%-15s %s\n' "does not apply" "$name"
    continue
  fi
  applied=$patch
  if ! build_tree >>"$log" 2>&1; then
    result="does not build"
    broken=$((broken + 1))
  elif run_suite >>"$log" 2>&1; then
    result="survived"
    survived=$((survived + 1))
    survivors+=("$name")
  else
    result="killed"
    killed=$((killed + 1))
  fi
  revert
  detail="$((SECONDS - mutant_started)) s"
  [[ $result == killed ]] && detail="$detail, by $failed_test"
  printf '%-15s %s (%s)\n' "$result" "$name" "$detail"
done
# Leave the build directory matching the tree again.
build_tree >"$logs/restore-build.log" 2>&1 || true

measured=$((killed + survived))
echo
if ((measured > 0)); then
  echo "killed $killed of $measured mutants ($((killed * 100 / measured)) %) in $(((SECONDS - started) / 60)) min"
fi
((survived == 0)) || echo "survived: ${survivors[*]}"
((stale == 0)) || echo "$stale patches do not apply: refresh them against the current code"
((broken == 0)) || echo "$broken patches do not build: a mutant must compile"
((stale == 0 && broken == 0))
