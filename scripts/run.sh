#!/usr/bin/env bash
# Installs what is missing, builds a Release build and opens the Quenbrook
# window. The window needs a display (an X server named by $DISPLAY).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'MSG'
run.sh: no display: $DISPLAY is not set, so the Quenbrook window has nowhere to open.
Run this from a desktop session, or start a virtual display first, e.g.
    Xvfb :99 -screen 0 1024x768x24 &
    DISPLAY=:99 bash scripts/run.sh
MSG
  exit 1
fi

bash scripts/setup.sh
build=build/release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUENBROOK_BUILD_TESTS=OFF
cmake --build "$build" -j2 --target quenbrook
exec "$build/app/quenbrook"
