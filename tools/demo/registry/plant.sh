#!/usr/bin/env bash
# Plants the registry demo entries in the demo prefix ($WINEPREFIX).
set -euo pipefail
wine "$DEMO_BUILD/bin/registry_demo_plant.exe" plant
