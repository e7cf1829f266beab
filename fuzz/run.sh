#!/usr/bin/env bash
# Runs each fuzz target of the fuzz preset's build for SECONDS (60 by default) over its seeds.
# A finding (crash, sanitizer report, leak, hang, uncaught exception) fails the run; its input
# is kept in build/fuzz/findings/.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$root/build/fuzz/fuzz
findings=$root/build/fuzz/findings
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$findings" "$work/formula" "$work/package"

common=(-max_total_time="$seconds" -timeout=30 -rss_limit_mb=3072 -print_final_stats=1
        -artifact_prefix="$findings/")
"$bin/fuzz_formula" "${common[@]}" "$work/formula" "$root/fuzz/corpus/formula"
"$bin/fuzz_package" "${common[@]}" -max_len=1048576 -dict="$root/fuzz/package.dict" \
    "$work/package" "$bin/package-seeds"
