#!/usr/bin/env bash
# Runs every fuzz target of a build folder side by side, each on a corpus seeded from the
# samples, the fixtures and fuzz/seeds/<target>/.
#   fuzz/run.sh BUILD seconds N   each target for N seconds
#   fuzz/run.sh BUILD runs        each target for its fixed number of inputs with -seed=1, so
#                                 that a run repeats exactly (CI)
# Fails when a target reports a finding; the input that led to it is kept in fuzz-findings/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
mode=$2
seconds=${3:-60}

# target, inputs in CI (about 30 s each with all of them side by side on 8 busy cores), seed
# files (find -iname patterns)
targets=(
  "building        150000  *.BLD"
  "scenario         25000  *.SEN"
  "source           60000"
  "window_files     30000"
  "activity         30000  *.ACT"
  "exposure        100000"
  "vocprops         50000  vocprops.txt"
  "source_database 180000  *.sdb"
  "jet_reply       380000"
  "chamber          40000  *.dat"
  "settings         60000  *.ini"
  "record_roundtrip 40000"
)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
findings="$root/fuzz-findings"
mkdir -p "$findings"

seed() {
  local name=$1 dir=$2
  shift 2
  for pattern in "$@"; do
    find "$root/samples" "$root/data" "$root/tests/fixtures" -type f -iname "$pattern" \
      -exec cp {} "$dir/" \; 2>/dev/null || true
  done
  if [ -d "$root/fuzz/seeds/$name" ]; then cp "$root/fuzz/seeds/$name/"* "$dir/"; fi
  if [ "$name" = jet_reply ]; then
    # What the reader program sends for the test databases: lists and whole tables.
    local reader="$build/src/quarn_jet_reader" n=0
    for db in "$root"/tests/fixtures/jet/*.mdb; do
      n=$((n + 1))
      "$reader" "$db" >"$dir/list$n" 2>/dev/null || true
      "$reader" "$db" Table1 >"$dir/table$n" 2>/dev/null || true
    done
  fi
}

pids=()
for line in "${targets[@]}"; do
  read -r name runs patterns <<<"$line"
  read -r -a globs <<<"${patterns:-}"
  corpus="$work/$name/corpus"
  seeds="$work/$name/seeds"
  mkdir -p "$corpus" "$seeds"
  seed "$name" "$seeds" "${globs[@]}"
  if [ "$mode" = runs ]; then
    limit=(-runs="$runs" -seed=1)
  else
    limit=(-max_total_time="$seconds")
  fi
  (cd "$work/$name" &&
    "$build/fuzz/fuzz_$name" "${limit[@]}" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$findings/$name-" "$corpus" "$seeds" >"$work/$name.log" 2>&1) &
  pids+=("$!")
done

status=0
i=0
for line in "${targets[@]}"; do
  read -r name _ <<<"$line"
  if wait "${pids[$i]}"; then
    inputs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$name.log" | tail -1)
    printf 'fuzz %-16s ok: %s inputs\n' "$name" "${inputs:-?}"
  else
    printf 'fuzz %-16s FOUND A FAULT:\n' "$name"
    tail -n 40 "$work/$name.log"
    status=1
  fi
  i=$((i + 1))
done
[ "$status" = 0 ] && rmdir "$findings" 2>/dev/null || true
exit "$status"
