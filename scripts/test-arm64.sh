#!/usr/bin/env bash
# The 64-bit ARM target: installs the cross compiler, qemu-user and the arm64
# builds of the libraries (Debian multiarch) where missing, cross-builds
# everything into build/arm64 and runs the whole suite under qemu-aarch64.
# Exits 77 after "arm64: skipped: REASON" when the packages cannot be had here.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source scripts/lib.sh
build=build/arm64

skip() {
  echo "arm64: skipped: $*"
  exit 77
}

# libcpp-httplib-dev is a compiled library in Debian 12, so it is needed for
# arm64 too; the JSON and CLI11 headers are architecture-independent.
packages=(
  cmake pkg-config g++-aarch64-linux-gnu binutils-aarch64-linux-gnu qemu-user nlohmann-json3-dev libcli11-dev
  qtbase5-dev:arm64 libcurl4-openssl-dev:arm64 libcpp-httplib-dev:arm64 libgtest-dev:arm64
  libpng-dev:arm64 dpkg-dev
)

command -v dpkg-query >/dev/null && command -v apt-get >/dev/null || skip "no dpkg/apt-get on this machine"
if ! dpkg --print-foreign-architectures | grep -qx arm64; then
  [ "$(id -u)" -eq 0 ] && sudo="" || sudo="sudo -n"
  $sudo dpkg --add-architecture arm64 || skip "dpkg --add-architecture arm64 failed"
fi
install_packages arm64 "${packages[@]}" || skip "the arm64 packages cannot be installed here"

# Every ELF file the build made (libraries, programs, test binaries) is AArch64.
all_elf_files_are_aarch64() {
  local file bad=0
  while IFS= read -r -d '' file; do
    [ "$(head -c 4 "$file" | tr -d '\0')" = $'\x7fELF' ] || continue
    aarch64-linux-gnu-readelf -h "$file" | grep -qE 'Machine: +AArch64' || { echo "not AArch64: $file"; bad=1; }
  done < <(find "$build" -path '*/CMakeFiles' -prune -o -type f \( -name '*.so*' -o -perm -u+x \) -print0)
  [ "$bad" -eq 0 ]
}

echo "== arm64: cross build =="
# Lightly optimised, without debug info: the emulated suite is short, the build is what takes time.
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/aarch64-linux-gnu.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG" -DBUILD_TESTING=ON \
  -DLCD_WARNINGS_AS_ERRORS=ON
cmake --build "$build" -j "$(nproc)"

echo "== arm64: Debian package =="
# With DEB_HOST_ARCH set, dpkg-shlibdeps reads the binaries with the cross
# objdump and finds their libraries among the :arm64 packages.
arm64_package() {
  local deb="$build/layercutoutmodel_0.1.0_arm64.deb"
  (cd "$build" && DEB_HOST_ARCH=arm64 cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log"; return 1; }
  [ "$(dpkg-deb -f "$deb" Architecture)" = arm64 ] || { echo "not an arm64 package: $deb"; return 1; }
  dpkg-deb -f "$deb" Depends | grep -q 'libqt5core5a' || { echo "Depends: $(dpkg-deb -f "$deb" Depends)"; return 1; }
}
count_check "cpack packs the arm64 build, depending on the :arm64 libraries it links" arm64_package

echo "== arm64: the suite under qemu-aarch64 =="
count_ctest "$build"
count_check "every file built is AArch64" all_elf_files_are_aarch64
echo "test-arm64: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
