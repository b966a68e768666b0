#!/usr/bin/env bash
# The outputs of relan-cli and relan --report on the golden fleets, compared with the
# recorded checksums. Usage: check.sh RELAN_CLI [RELAN] [--record]
# On a difference the outputs stay in a temporary folder for diffing against a run of
# an earlier build of the same script.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=$1 relan=${2:-} mode=${3:-}
[ "$relan" = "--record" ] && { mode=--record; relan=; }
out=$(mktemp -d)
"$here/outputs.sh" "$out" "$cli" "$relan"
sums=$(cd "$out" && sha256sum -- * | sort -k2)
expected="$here/expected.sha256"
[ -n "$relan" ] || expected="$here/expected-cli.sha256"
if [ "$mode" = "--record" ]; then
    if [ -n "$relan" ]; then
        printf '%s\n' "$sums" >"$here/expected.sha256"
    else
        printf '%s\n' "$sums" | grep -v '\.report' >"$here/expected-cli.sha256"
    fi
    rm -rf "$out"
    echo "recorded"
    exit 0
fi
if [ -z "$relan" ]; then sums=$(printf '%s\n' "$sums" | grep -v '\.report'); fi
if diff <(printf '%s\n' "$sums") "$expected" >"$out/DIFF"; then
    rm -rf "$out"
    echo "all outputs as recorded"
    exit 0
fi
echo "outputs differ from the recorded ones (kept in $out):"
cat "$out/DIFF"
exit 1
