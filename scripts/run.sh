#!/usr/bin/env bash
# Builds Clanbook and starts it; arguments go to the program (a .ftf file to open).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" build -DCLANBOOK_TESTS=OFF
exec "$root/build/src/app/clanbook" "$@"
