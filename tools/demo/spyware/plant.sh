#!/usr/bin/env bash
# Plants the spyware demo traces in the demo prefix ($WINEPREFIX), read from the build's Def.dbd.
set -euo pipefail
wine "$DEMO_BUILD/bin/spyware_demo_plant.exe" plant
