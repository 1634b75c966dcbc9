#!/bin/sh
# The Debian package as a user gets it: built with CPack from the build folder BUILD, unpacked
# with dpkg -x into SCRATCH, and the programs run from there (they find the book through the
# installed data folder, next to their own).
# Usage: check-package.sh BUILD SCRATCH
set -eu
build=$1
scratch=$2
rm -rf "$scratch"
mkdir -p "$scratch/out"

fail() { echo "package test: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$scratch"/out/norvane_*.deb)

# Dependencies come from the programs' links.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libqt6widgets6 libstdc++6 libc6; do
    echo "$depends" | grep -q "$library" || fail "Depends lacks $library"
done

dpkg -x "$deb" "$scratch/root"
root=$scratch/root
for file in usr/bin/norvane usr/bin/norvane-cli usr/share/norvane/book.dat \
            usr/share/applications/norvane.desktop usr/share/metainfo/org.norvane.Norvane.metainfo.xml \
            usr/share/man/man6/norvane.6 usr/share/man/man6/norvane-cli.6; do
    [ -s "$root/$file" ] || fail "missing $file"
done
for size in 16 22 24 32 48 64 128 256; do
    [ -s "$root/usr/share/icons/hicolor/${size}x${size}/apps/norvane.png" ] || fail "missing icon ${size}x${size}"
done
grep -q '^MimeType=.*application/vnd.chess-pgn;.*application/x-chess-pgn;' \
    "$root/usr/share/applications/norvane.desktop" || fail "the desktop entry lacks the PGN types"

cli=$root/usr/bin/norvane-cli
think=$("$cli" think)
echo "$think"
echo "$think" | grep -qx "book yes" || fail "think from the start did not use the installed book"
bench=$("$cli" bench | tail -n 1)
echo "$bench"
case $bench in "nodes 1011964 nps "*) ;; *) fail "bench: $bench" ;; esac

if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$root/usr/share/applications/norvane.desktop"
fi
if command -v appstreamcli >/dev/null 2>&1; then
    appstreamcli validate --no-net "$root/usr/share/metainfo/org.norvane.Norvane.metainfo.xml"
fi
echo "package test: $(basename "$deb") passed"
