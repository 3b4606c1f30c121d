#!/usr/bin/env bash
# check_package.sh DEB: the package's contents and Depends, and lcd-host demo run from it unpacked.
set -euo pipefail
deb=$(realpath "$1")
prefix=opt/layercutoutmodel
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "check_package: $*"; exit 1; }

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in bin/lcd-devicesim include/proto/layercutout.h lib/cmake/layercutoutmodel/layercutoutmodelConfig.cmake; do
  grep -qx "./$prefix/$file" <<<"$contents" || fail "no /$prefix/$file"
done
grep liblcdcommunicator <<<"$contents" | grep -v "^\./$prefix/lib/" && fail "the stand-in communicator outside /$prefix/lib"

depends=$(dpkg-deb -f "$deb" Depends | sed 's/ ([^)]*)//g; s/, /\n/g')
for package in libqt5core5a libcurl4 libpng16-16 libstdc++6; do
  grep -qxF "$package" <<<"$depends" || fail "Depends lacks $package:" $depends
done

dpkg-deb -x "$deb" "$scratch/root"
ldd "$scratch/root/$prefix/bin/lcd-host" | grep -q "liblcdcommunicator.so.1 => $scratch/root/$prefix/" || fail "lcd-host links another communicator"
out=$(cd "$scratch" && TMPDIR=$scratch "$scratch/root/$prefix/bin/lcd-host" demo) || { echo "$out"; fail "lcd-host demo failed"; }
grep -q "^plug-in: $scratch/root/$prefix/" <<<"$out" || fail "the demo loaded another plug-in: $out"
file "$(sed -n "s/^ *layer 1's key: //p" <<<"$out")" | grep -q "PNG image data, 480 x 270" || fail "no PNG of layer 1's key: $out"
