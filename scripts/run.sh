#!/usr/bin/env bash
# Starts the built program, or says in one sentence why it cannot be shown.
set -euo pipefail
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Quorvin needs a graphical desktop: no display was found (DISPLAY and WAYLAND_DISPLAY are not set)." >&2
  exit 1
fi
exec "$1"
