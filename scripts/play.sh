#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
morvane_install_packages
morvane_build
exec "$MORVANE_BUILD/bin/morvane"
