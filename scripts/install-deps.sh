#!/usr/bin/env bash
# Installs every Debian package the project builds, tests and benchmarks with.
# Idempotent: packages already present are not asked for again.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

install_packages install-deps \
  build-essential cmake pkg-config \
  clang clang-format-14 libclang-rt-14-dev llvm \
  qtbase5-dev \
  libcurl4-openssl-dev \
  libcpp-httplib-dev nlohmann-json3-dev libcli11-dev \
  libgtest-dev libgmock-dev libbenchmark-dev \
  rapidjson-dev libsimdjson-dev \
  binutils \
  libpng-dev chromium dpkg-dev file
