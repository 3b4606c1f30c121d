#!/usr/bin/env bash
# check_package.sh DEB: the Debian package holds the product under
# /opt/layercutoutmodel (the stand-in communicator nowhere else), depends on
# the libraries it links, and lcd-host demo runs from it unpacked into a
# scratch root, with the plug-in and communicator of the package.
set -euo pipefail
deb=$(realpath "$1")
prefix=opt/layercutoutmodel
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "check_package: $*"; exit 1; }

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in bin/lcd-host bin/lcd-devicesim lib/liblayercutoutmodel.so.1 lib/liblcdcommunicator.so.1 \
  include/proto/layercutout.h lib/cmake/layercutoutmodel/layercutoutmodelConfig.cmake; do
  grep -qx "./$prefix/$file" <<<"$contents" || fail "no /$prefix/$file"
done
outside=$(grep liblcdcommunicator <<<"$contents" | grep -v "^\./$prefix/lib/" || true)
[ -z "$outside" ] || fail "the stand-in communicator outside /$prefix/lib: $outside"

depends=$(dpkg-deb -f "$deb" Depends)
names=$(sed 's/ ([^)]*)//g; s/, /\n/g' <<<"$depends")
for package in libqt5core5a libcurl4 libpng16-16 libstdc++6; do
  grep -qxF "$package" <<<"$names" || fail "Depends lacks $package: $depends"
done

dpkg-deb -x "$deb" "$scratch/root"
bin="$scratch/root/$prefix/bin"
ldd "$bin/lcd-host" | grep -q "liblcdcommunicator.so.1 => $scratch/root/$prefix/" || fail "lcd-host links another communicator"
out=$(cd "$scratch" && TMPDIR=$scratch "$bin/lcd-host" demo) || { echo "$out"; fail "lcd-host demo failed"; }
grep -q "^plug-in: $scratch/root/$prefix/" <<<"$out" || fail "the demo loaded another plug-in: $out"
png=$(sed -n "s/^ *layer 1's key: //p" <<<"$out")
file "$png" | grep -q "PNG image data, 480 x 270" || fail "no PNG of layer 1's key: $out"
