#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
vqled_install_missing
vqled_configure_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ -x build/bin/vqled ]; then
  exec build/bin/vqled "$@"
fi
exec build/bin/vqled-cli --help
