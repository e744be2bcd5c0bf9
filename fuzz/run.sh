#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for SECONDS (default 60),
# several at a time, then prints the executions and crashes of each.
#   fuzz/run.sh [SECONDS] [TARGET...]
# QUORRIN_FUZZ_JOBS sets how many run at once (default: half the cores);
# QUORRIN_FUZZ_TIMEOUT the seconds an input may take (default 1; raise it on
# a machine so loaded that wall-clock time says little).
# Working corpora grow in fuzz-corpus/<target>, starting from the committed
# seeds in fuzz/corpus; failing inputs land in fuzz-crashes/ (minimise one
# with: build-fuzz/fuzz/<Target>Fuzzer -minimize_crash=1 -runs=10000 <file>,
# then add it to fuzz/corpus/<corpus> so the replay test keeps it).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
build="${QUORRIN_FUZZ_BUILD_DIR:-$root/build-fuzz}"
jobs="${QUORRIN_FUZZ_JOBS:-$(( $(nproc) / 2 > 0 ? $(nproc) / 2 : 1 ))}"

# target corpus-folder dictionary
targets=(
  "RtfReader rtf rtf.dict"
  "NoteJson json json.dict"
  "QuickJson quickjson json.dict"
  "PreferencesJson preferences json.dict"
  "ManifestValidation validation json.dict"
  "BackupPackage backup json.dict"
  "RtfdBundle rtfd rtfd.dict"
  "PlainText plaintext -"
  "StoreOpening store sqlite.dict"
)
if (($#)); then
  wanted=" $* "
  selected=()
  for entry in "${targets[@]}"; do
    [[ "$wanted" == *" ${entry%% *} "* ]] && selected+=("$entry")
  done
  targets=("${selected[@]}")
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DQUORRIN_BUILD_FUZZERS=ON \
  -DQUORRIN_BUILD_TESTS=OFF -DQUORRIN_BUILD_BENCHMARKS=OFF >/dev/null


cmake --build "$build" --parallel "$jobs" --target QuorrinFuzzers

# The file-based targets write a small tree per input: memory is much faster.
[[ -w /dev/shm ]] && export TMPDIR=/dev/shm
# A small quarantine keeps freed memory hot: with the default the file-based
# targets spend most of their time faulting in fresh pages. Use after free is
# still caught within the last few megabytes freed.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=4:malloc_context_size=10}"
mkdir -p "$root/fuzz-corpus" "$root/fuzz-crashes" "$build/fuzz-logs"
run_one() {
  local name="$1" corpus="$2" dictionary="$3"
  local work="$root/fuzz-corpus/$corpus"
  mkdir -p "$work"
  cp -n "$root/fuzz/corpus/$corpus"/* "$work"/ 2>/dev/null || true
  local options=(-max_total_time="$seconds" -timeout="${QUORRIN_FUZZ_TIMEOUT:-1}" -rss_limit_mb=512 -print_final_stats=1
                 -artifact_prefix="$root/fuzz-crashes/$name-")
  [[ "$dictionary" != - ]] && options+=(-dict="$root/fuzz/$dictionary")
  "$build/fuzz/${name}Fuzzer" "${options[@]}" "$work" >"$build/fuzz-logs/$name.log" 2>&1 || true
}
export -f run_one
export root seconds build QUORRIN_FUZZ_TIMEOUT
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -L 1 bash -c 'run_one "$@"' _

status=0
printf '%-20s %14s %8s %10s\n' target executions crashes coverage
for entry in "${targets[@]}"; do
  name="${entry%% *}"
  log="$build/fuzz-logs/$name.log"
  runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || echo 0)
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || echo 0)
  crashes=$(find "$root/fuzz-crashes" -maxdepth 1 -name "$name-*" -type f | wc -l)
  printf '%-20s %14s %8s %10s\n' "$name" "$runs" "$crashes" "$coverage"
  ((crashes == 0)) || status=1
done
exit "$status"
