#!/usr/bin/env bash
# Builds the Linux library and the ovpb tool, then runs the tool: it shows
# the library's module directory, its configuration file and every key.
# Usage: scripts/build.sh [ovpb arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux
exec build/linux/ovpb "$@"
