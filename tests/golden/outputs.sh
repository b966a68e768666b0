#!/usr/bin/env bash
# Runs relan-cli and relan --report over the bundled examples and the generated fleets
# and writes each command's output (stdout, stderr and exit status) into OUT/.
# Usage: outputs.sh OUT RELAN_CLI [RELAN]
set -uo pipefail
out=$1 cli=$2 relan=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
mkdir -p "$out"
export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen SOURCE_DATE_EPOCH=1700000000

run() {  # run NAME COMMAND...
    local name=$1
    shift
    "$@" >"$out/$name.out" 2>"$out/$name.err"
    echo "exit $?" >>"$out/$name.err"
}

vc=(--virtual-clock 50000)
cases=()
for f in "$here"/fleets/f*.txt; do
    n=$(basename "$f" .txt)
    gar=()
    [ -f "$here/fleets/gar-$n.txt" ] && gar=(--warranty "$here/fleets/gar-$n.txt")
    cases+=("$n|$f|${gar[*]:-}")
done
cases+=("demo|$root/examples/demo-fleet.txt|")
cases+=("demo-gar|$root/examples/demo-fleet.txt|--warranty $root/examples/gar-demo.txt")

for c in "${cases[@]}"; do
    IFS='|' read -r n f g <<<"$c"
    # shellcheck disable=SC2206
    gar=($g)
    run "$n.load" "$cli" load "$f" "${gar[@]}"
    run "$n.load-json" "$cli" load "$f" "${gar[@]}" --json --decimal-comma
    run "$n.crit" "$cli" crit "$f" --B 3000 --A 1.2 --K 0.8 --sred 2500 --sko 500 --json
    run "$n.fit" "$cli" fit "$f" "${gar[@]}" --models 1.1,1.2,2 "${vc[@]}"
    run "$n.fit-free" "$cli" fit "$f" "${gar[@]}" --models 1.1,1.2 --fit-sred --fit-sko --item 0 "${vc[@]}" --json
    run "$n.fit-table" "$cli" fit "$f" "${gar[@]}" --models 1.2 --item 2 --burn-in 100 --format table \
        --decimal-comma "${vc[@]}"
    run "$n.fit-csv" "$cli" fit "$f" "${gar[@]}" --models 1.2,3 --item 2 --burn-in 100 --csv --bootstrap 0 \
        --decimal-comma "${vc[@]}"
    run "$n.gen" "$cli" fit "$f" "${gar[@]}" --models gen --seed 7 --population 300 --generations 40 --json
    case $n in f01 | f02 | f06 | f11 | demo | demo-gar)
        run "$n.ml" "$cli" fit "$f" "${gar[@]}" --models 1.1,3 --seed 1 --bootstrap 50 "${vc[@]}"
        run "$n.ml-json" "$cli" fit "$f" "${gar[@]}" --models 3 --fit-sred --fit-sko --bootstrap 20 --json ;;
    esac
    case $n in f02 | f06 | demo)
        run "$n.fit-gen" "$cli" fit "$f" "${gar[@]}" --models 1.1,2,gen --fit-sred --seed 3 --population 200 \
            --generations 30 "${vc[@]}" --json
        run "$n.fit-gen-text" "$cli" fit "$f" "${gar[@]}" --models 1.2,gen --fit-sko --seed 5 --population 100 \
            --generations 20 --copy-count 10 --precision 0,00001 --decimal-comma "${vc[@]}" ;;
    esac
    if [ -n "$relan" ]; then
        pdf="$out/$n.pdf"
        run "$n.report" "$relan" --report "$pdf" "$f" "${gar[@]}" --models 1.1,2 "${vc[@]}"
        pdftotext -layout "$pdf" "$out/$n.report-text" 2>/dev/null || echo "no pdf" >"$out/$n.report-text"
        rm -f "$pdf"
        sed -i "s#$out#OUT#g" "$out/$n.report.out" "$out/$n.report.err"
    fi
done
# A fleet in service: model 3 on each product's window and the forecast.
svc=("$root/examples/service-fleet.txt" --ages "$root/examples/service-ages.txt")
run "service.ml" "$cli" fit "${svc[@]}" --models 3 --seed 1 --bootstrap 20 --horizon 6
run "service.ml-json" "$cli" fit "${svc[@]}" --models 1.1,3 --bootstrap 0 --usage 90 "${vc[@]}" --json
run "service.ml-csv" "$cli" fit "${svc[@]}" --models 3 --bootstrap 0 --csv --decimal-comma
# Fleets on which the searches walk far at small steps (model 1.2 there for minutes of
# its virtual clock): a bound on the walks once cut such walks short and moved the fits.
for f in "$root"/tests/fixtures/walk/*.txt; do
    n=walk-$(basename "$f" .txt)
    run "$n.fit-1.2" "$cli" fit "$f" --models 1.2 --item 1 --burn-in 300 --virtual-clock 2000 --json
    run "$n.fit-free" "$cli" fit "$f" --models 1.1,1.2,2 --item 1 --fit-sred --fit-sko --virtual-clock 2000 --json
done
# Paths of the inputs differ between checkouts: name them from the repository's root.
# Wall times of the fits and the toolkit's notes about the session are not outputs.
sed -i -E -e "s#$root#ROOT#g" \
    -e 's/"Seconds":[-+0-9.eE]+/"Seconds":X/g' \
    -e 's/^(  Время расчета, с +).*/\1X/' \
    -e 's/(модели 3 по максимуму правдоподобия выполнен за )[^"]*/\1X/' \
    -e '/^QStandardPaths: |^This plugin does not support/d' \
    "$out"/*.out "$out"/*.err "$out"/*.report-text 2>/dev/null
exit 0
