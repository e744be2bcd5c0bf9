#!/usr/bin/env bash
# Fails when a file under src/ includes a header from a layer above its own.
set -euo pipefail
cd "$(dirname "$0")/../src"

layers=(Core Domain Persistence Platform Widgets Editor Windows Features App)
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done

status=0
while IFS= read -r -d '' file; do
  own=${file%%/*}
  [[ -n ${rank[$own]+set} ]] || continue
  while IFS= read -r included; do
    layer=${included%%/*}
    [[ -n ${rank[$layer]+set} ]] || continue
    if (( rank[$layer] > rank[$own] )); then
      echo "src/$file includes $included from $layer, a layer above $own"
      status=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find . -path ./main.cpp -prune -o -type f \( -name '*.h' -o -name '*.cpp' \) -printf '%P\0')
(( status == 0 )) && echo "Every include stays within its layer or below it."
exit $status
