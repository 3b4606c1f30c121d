#!/usr/bin/env bash
# From a fresh Debian 12 machine to a running demo: installs what is missing,
# builds lcd-host and the plug-in in the release tree, and runs the demo
# session against the embedded device simulator.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)" --target lcd-host
build/release/bin/lcd-host demo
