#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
bash tools/build.sh
cd build
ctest --output-on-failure -j2
