#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for a while.
#   fuzz/run.sh [SECONDS]     (default 60 per target)
# Seeds come from fuzz/corpus/TARGET (kept small in git); what the fuzzer finds goes to
# fuzz/corpus-run/TARGET and crashes to fuzz/crashes/ (neither in git).
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out=$here/build-fuzz
mkdir -p "$out/obj" "$here/fuzz/crashes"

common="-std=c++20 -O1 -g -fno-sanitize-recover=all -I$here"
# The library once, instrumented for coverage but without the fuzzer's main.
objects=""
newestHeader=$(ls -t "$here"/engine/*.h "$here"/records/*.h "$here"/book/*.h | head -n 1)
for source in "$here"/engine/*.cpp "$here"/records/*.cpp "$here"/book/*.cpp; do
    object=$out/obj/$(basename "$(dirname "$source")")-$(basename "$source" .cpp).o
    if [ ! -f "$object" ] || [ "$source" -nt "$object" ] || [ "$newestHeader" -nt "$object" ]; then
        # shellcheck disable=SC2086
        clang++ $common -fsanitize=fuzzer-no-link,address,undefined -c "$source" -o "$object"
    fi
    objects="$objects $object"
done
for target in parse_game index_pass index_pass_fast san fen_setup; do
    echo "== building $target"
    # shellcheck disable=SC2086
    clang++ $common -fsanitize=fuzzer,address,undefined -o "$out/$target" "$here/fuzz/$target.cpp" $objects
done
for target in parse_game index_pass index_pass_fast san fen_setup; do
    echo "== running $target for $seconds s"
    mkdir -p "$here/fuzz/corpus-run/$target"
    "$out/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$here/fuzz/crashes/$target-" \
        "$here/fuzz/corpus-run/$target" "$here/fuzz/corpus/$target"
done
