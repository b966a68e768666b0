#!/usr/bin/env bash
# The core's layers, bottom to top; a file may include its own layer and the layers
# below it, never one above. Prints every include that goes up and fails on one.
set -uo pipefail
core=$(cd "$(dirname "$0")/../src/core" && pwd)
layers=(text data stats fit genetic results analysis)
rank() {
  local i
  for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }; done
  echo -1
}
bad=0
for f in "$core"/*/*.h "$core"/*/*.cpp; do
  own=$(rank "$(basename "$(dirname "$f")")")
  while read -r inc; do
    layer=${inc%%/*}
    r=$(rank "$layer")
    [ "$r" -lt 0 ] && continue
    if [ "$r" -gt "$own" ]; then
      echo "${f#"$core"/} includes $inc (layer $layer is above ${layers[$own]})"
      bad=1
    fi
  done < <(sed -n 's/^#include "\([a-z]*\/[^"]*\)".*/\1/p' "$f")
done
[ $bad = 0 ] && echo "every include of the core goes to its own layer or below"
exit $bad
