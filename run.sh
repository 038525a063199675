#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > build.configure.log 2>&1 \
  || { cat build.configure.log; exit 1; }
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target tirlan
exec build/tirlan "$@"
