#!/usr/bin/env bash
# The 64-bit ARM target: installs the cross compiler, qemu-user and the arm64
# builds of the libraries (Debian multiarch) where missing, cross-builds
# everything into build/arm64, runs the whole suite under qemu-aarch64 and
# checks the plug-in file as an aarch64 host would load it.
# Exits 77 after "arm64: skipped: REASON" when the packages cannot be had here.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=$(nproc)
build=build/arm64
passed=0
failed=0

skip() {
  echo "arm64: skipped: $*"
  exit 77
}

host_packages=(
  cmake pkg-config
  g++-aarch64-linux-gnu binutils-aarch64-linux-gnu qemu-user
  nlohmann-json3-dev libcli11-dev
)
# libcpp-httplib-dev is a compiled library in Debian 12, so it is needed for
# arm64 too; the JSON and CLI11 headers are architecture-independent.
target_packages=(
  qtbase5-dev:arm64
  libcurl4-openssl-dev:arm64
  libcpp-httplib-dev:arm64
  libgtest-dev:arm64
)

install_packages() {
  command -v dpkg-query >/dev/null && command -v apt-get >/dev/null || skip "no dpkg/apt-get on this machine"
  local missing=() p
  for p in "${host_packages[@]}" "${target_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep 'install ok installed' >/dev/null || missing+=("$p")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    echo "arm64: all packages present"
    return
  fi

  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo -n true 2>/dev/null || skip "installing ${missing[*]} needs root or password-less sudo"
    sudo="sudo -n"
  fi
  if ! dpkg --print-foreign-architectures | grep -x arm64 >/dev/null; then
    $sudo dpkg --add-architecture arm64 || skip "dpkg --add-architecture arm64 failed"
  fi
  $sudo apt-get -o DPkg::Lock::Timeout=300 update -qq || skip "apt-get update failed"
  local policy
  for p in "${target_packages[@]}"; do
    policy=$(apt-cache policy "$p" 2>/dev/null)
    grep -Eq 'Candidate: [^(]' <<<"$policy" ||
      skip "no apt source serves $p (an Architectures restriction in /etc/apt/sources.list*?)"
  done
  echo "arm64: installing ${missing[*]}"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 install -y -qq \
    --no-install-recommends "${missing[@]}" ||
    skip "apt-get install failed"
}

# check NAME COMMAND...: one check on the arm64 build, counted with the tests.
check() {
  local name=$1
  shift
  if "$@"; then
    echo "arm64 check: $name: ok"
    passed=$((passed + 1))
  else
    echo "arm64 check: $name: FAILED"
    failed=$((failed + 1))
  fi
}

# The in-memory payload records as a peer component on the target sees them.
record_layouts() {
  aarch64-linux-gnu-g++ -std=c++17 -fsyntax-only -I "$root" -x c++ - <<'EOF'
#include "proto/layercutout.h"
#include "proto/response.h"
static_assert(sizeof(LCD::ProtoModel::Layer::s_LayerCutout) == 84, "s_LayerCutout");
static_assert(sizeof(LCD::ProtoModel::Layer::s_ReadLayerCursorColor) == 16, "s_ReadLayerCursorColor");
static_assert(sizeof(LCD::ProtoModel::Layer::s_LayerCursorColorResult) == 28, "s_LayerCursorColorResult");
static_assert(sizeof(LCD::ProtoModel::AssessResponse) == 64, "AssessResponse");
EOF
}

exports_only_entry_points() {
  local symbols
  symbols=$(aarch64-linux-gnu-nm -D --defined-only "$1" | awk '{print $NF}' | sort | tr '\n' ' ')
  [ "$symbols" = "pluginfo pluginit " ] || { echo "exported: $symbols"; return 1; }
}

dynamic_entry() {
  local file=$1 tag=$2 expected=$3 value
  value=$(aarch64-linux-gnu-readelf -d "$file" | sed -n "s/.*Library $tag: \[\(.*\)\]$/\1/p")
  [ "$value" = "$expected" ] || { echo "$tag: '$value'"; return 1; }
}

# Every ELF file the build made (libraries, programs, test binaries) is AArch64.
all_elf_files_are_aarch64() {
  local file count=0 bad=0
  while IFS= read -r -d '' file; do
    [ "$(head -c 4 "$file" | tr -d '\0')" = $'\x7fELF' ] || continue
    count=$((count + 1))
    if ! aarch64-linux-gnu-readelf -h "$file" | grep -E 'Machine: +AArch64' >/dev/null; then
      echo "not AArch64: $file"
      bad=$((bad + 1))
    fi
  done < <(find "$build" -path '*/CMakeFiles' -prune -o -type f \( -name '*.so*' -o -perm -u+x \) -print0)
  echo "arm64: $count ELF files looked at"
  [ "$count" -gt 0 ] && [ "$bad" -eq 0 ]
}

start=$SECONDS
install_packages
installed=$SECONDS

echo "== arm64: cross build =="
# Optimised as the normal build, without debug info: a quarter less compile time.
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/aarch64-linux-gnu.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DLCD_BUILD_BENCHMARKS=OFF -DLCD_WARNINGS_AS_ERRORS=ON
cmake --build "$build" -j "$jobs"
echo "arm64: record layouts 84/16/28/64 bytes hold on aarch64: the build compiled their static_asserts"
built=$SECONDS

echo "== arm64: the suite under qemu-aarch64 =="
log=$(mktemp)
ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 300 | tee "$log" || true
total=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2/p' "$log")
fails=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1/p' "$log")
rm -f "$log"
if [ -n "$total" ]; then
  passed=$((passed + total - fails))
  failed=$((failed + fails))
else
  echo "arm64: no test summary from $build"
  failed=$((failed + 1))
fi
tested=$SECONDS

echo "== arm64: the plug-in file =="
plugin=$build/lib/liblayercutoutmodel.so.1
check "record layouts s_LayerCutout 84, s_ReadLayerCursorColor 16, s_LayerCursorColorResult 28, AssessResponse 64 bytes" \
  record_layouts
check "exports only pluginfo and pluginit" exports_only_entry_points "$plugin"
check "soname liblayercutoutmodel.so.1" dynamic_entry "$plugin" soname liblayercutoutmodel.so.1
check "RUNPATH \$ORIGIN:\$ORIGIN/..:\$ORIGIN/../lib" dynamic_entry "$plugin" runpath '$ORIGIN:$ORIGIN/..:$ORIGIN/../lib'
check "AArch64 ELF files" all_elf_files_are_aarch64

echo "arm64: packages $((installed - start)) s, build $((built - installed)) s, tests $((tested - built)) s"
echo "test-arm64: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
