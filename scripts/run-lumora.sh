#!/usr/bin/env bash
# Starts Lumora. With a display it simply runs the program.
set -euo pipefail
bin=$1
shift
exec "$bin" "$@"
