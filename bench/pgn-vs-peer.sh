#!/bin/bash
# Times the PGN index pass and the same-position search pass of norvane-cli, on one thread and
# on every processor, on a large file (about 300 MB, built by repeating the valid files of
# tests/data) against wc -l and pgn-extract from Debian's archive, prints the ratios, and
# checks that both searches find the same games.
#
#   bench/pgn-vs-peer.sh [BLOCKS]      (default 80 blocks of 3.96 MB, 3897 games each)
#
# Needs a Release build in $BUILD (default build/); installs pgn-extract with apt-get when it
# is missing. The large file is made once under ${TMPDIR:-/tmp}/norvane-bench and kept.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$here/build}
cli=$build/norvane-cli
blocks=${1:-80}
work=${TMPDIR:-/tmp}/norvane-bench
line="e4 c5 Nf3 d6 d4 cxd4 Nxd4 Nf6 Nc3 a6"
export LC_ALL=C

[ -x "$cli" ] || { echo "no $cli: run 'make build' first" >&2; exit 1; }

peer=$(command -v pgn-extract || true)
[ -n "$peer" ] || [ ! -x /usr/games/pgn-extract ] || peer=/usr/games/pgn-extract
if [ -z "$peer" ]; then
    echo "installing pgn-extract from the Debian archive"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get install -y -qq --no-install-recommends pgn-extract >/dev/null ||
        { $sudo apt-get update -qq && $sudo apt-get install -y -qq --no-install-recommends pgn-extract >/dev/null; }
    peer=$(command -v pgn-extract || echo /usr/games/pgn-extract)
fi

# The block: every file of tests/data that is valid PGN as written, each followed by a blank line.
mkdir -p "$work"
big=$work/big-$blocks.pgn
if [ ! -s "$big" ]; then
    block=$work/block.pgn
    : >"$block"
    for f in twic944 capablanca carlsen-chesscom kasparov-deep-blue-1997 chess-informant-sample \
             lichess-annotated chessbase-empty-line; do
        cat "$here/tests/data/$f.pgn" >>"$block"
        printf '\n' >>"$block"
    done
    : >"$big.part"
    for _ in $(seq "$blocks"); do cat "$block" >>"$big.part"; done
    mv "$big.part" "$big"
fi
bytes=$(stat -c %s "$big")
cat "$big" >/dev/null  # into the page cache: every run below reads from memory

# "wall cpu": seconds of one run, output discarded. The machine may be shared, so rates are
# given by processor time (user + system) as well as by the wall clock.
seconds() {
    local TIMEFORMAT='%R %U %S' t
    t=$( { time "$@" >/dev/null 2>&1; } 2>&1 ) || true
    awk -v t="$t" 'BEGIN { split(t, f, " "); printf "%.3f %.3f", f[1], f[2] + f[3] }'
}
best() {  # the run of three with the least processor time
    local b="" t
    for _ in 1 2 3; do
        t=$(seconds "$@")
        if [ -z "$b" ] || awk -v t="${t#* }" -v b="${b#* }" 'BEGIN { exit !(t < b) }'; then b=$t; fi
    done
    echo "$b"
}
rate() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }

games=$("$cli" index "$big" | tail -1 | cut -d' ' -f2)
mb=$(awk -v b="$bytes" 'BEGIN { printf "%.3f", b / 1000000 }')
echo "file: $big, $mb MB, $games games"

threads=$(nproc)
t_wc=$(best wc -l "$big")
t_pass1=$(best "$cli" info --threads 1 "$big")
t_pass=$(best "$cli" info --threads "$threads" "$big")
t_index=$(best "$cli" index --threads "$threads" "$big")
t_search1=$(best "$cli" search --threads 1 "$big" --position "$line")
t_search=$(best "$cli" search --threads "$threads" "$big" --position "$line")
printf '1. e4 c5 2. Nf3 d6 3. d4 cxd4 4. Nxd4 Nf6 5. Nc3 a6 *\n' >"$work/position.pgn"
t_peer_read=$(seconds "$peer" -s -o /dev/null "$big")
t_peer_search=$(seconds "$peer" -s -x "$work/position.pgn" -o "$work/peer-matches.pgn" "$big")

# The games each found, as White and Black.
"$cli" search "$big" --position "$line" | sed '$d' >"$work/ours.txt"
"$cli" index "$big" | sed '$d' |
    awk -F'\t' 'NR == FNR { m[$1] = 1; next } ($1 in m) { print $2 "|" $3 }' "$work/ours.txt" - |
    sort >"$work/ours-names.txt"
awk '/^\[White "/ { w = substr($0, 9, length($0) - 10) }
     /^\[Black "/ { b = substr($0, 9, length($0) - 10); print w "|" b }' \
    "$work/peer-matches.pgn" | sort >"$work/peer-names.txt"
ours=$(wc -l <"$work/ours.txt")
theirs=$(wc -l <"$work/peer-names.txt")

row() {  # row LABEL "wall cpu" [GAMES]
    local wall=${2% *} cpu=${2#* }
    printf '%-32s %7.3f %7.3f %9s %9s' "$1" "$wall" "$cpu" "$(rate "$mb" "$wall")" "$(rate "$mb" "$cpu")"
    if [ -n "${3:-}" ]; then printf ' %11s %11s' "$(rate "$3" "$wall")" "$(rate "$3" "$cpu")"; fi
    printf '\n'
}
ratio() { awk -v a="${1#* }" -v b="${2#* }" -v c="${1% *}" -v d="${2% *}" \
              'BEGIN { printf "%.1f x by processor time, %.1f x by wall clock", a / b, c / d }'; }

echo
printf '%-32s %7s %7s %9s %9s %11s %11s\n' "" "wall s" "cpu s" "MB/s" "MB/s cpu" "games/s" "games/s cpu"
row "wc -l (read ceiling)" "$t_wc"
row "index pass (info), 1 thread" "$t_pass1" "$games"
row "index pass (info), $threads threads" "$t_pass" "$games"
row "index (pass + every row), $threads t." "$t_index" "$games"
row "pgn-extract -s (full read)" "$t_peer_read" "$games"
row "position pass, 1 thread" "$t_search1" "$games"
row "position pass, $threads threads" "$t_search" "$games"
row "pgn-extract -x (position)" "$t_peer_search" "$games"
echo
# Wall-clock ratios are what the user waits; with several threads the processor time is the
# sum over the threads, so only the wall clock shows what they gain.
wall() { awk -v a="${1% *}" -v b="${2% *}" 'BEGIN { printf "%.1f x by wall clock", a / b }'; }
echo "index pass, 1 thread vs pgn-extract read:     $(ratio "$t_peer_read" "$t_pass1")"
echo "index pass, $threads threads vs pgn-extract read:    $(wall "$t_peer_read" "$t_pass")"
echo "index pass, $threads threads vs 1 thread:            $(wall "$t_pass1" "$t_pass")"
echo "index pass, 1 thread vs wc -l:               $(ratio "$t_wc" "$t_pass1")"
echo "position pass, 1 thread vs pgn-extract -x:   $(ratio "$t_peer_search" "$t_search1")"
echo "position pass, $threads threads vs pgn-extract -x:  $(wall "$t_peer_search" "$t_search")"
echo "position pass, $threads threads vs 1 thread:        $(wall "$t_search1" "$t_search")"
echo "position matches: norvane $ours, pgn-extract $theirs"
if cmp -s "$work/ours-names.txt" "$work/peer-names.txt"; then
    echo "same games found"
else
    echo "DIFFERENT games found:"
    diff "$work/ours-names.txt" "$work/peer-names.txt" | head -20
    exit 1
fi
