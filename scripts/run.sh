#!/usr/bin/env bash
# Installs what is needed, builds Prismel and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target prismel
exec build/default/app/prismel "$@"
