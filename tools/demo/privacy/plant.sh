#!/usr/bin/env bash
# Plants the privacy demo traces in the demo prefix ($WINEPREFIX) and ticks the categories that show
# them: the default selection leaves cookies and the form and password stores off.
set -euo pipefail
wine "$DEMO_BUILD/bin/privacy_demo_plant.exe" plant
# Every position on: the default selection leaves the cookies and form data of all three browsers off.
printf '%s\r\n' '' '[Privacy Sweeper]' 'pzinfo=11111111111111111111111111111111' >> "$DEMO_SETTINGS_DIR/Main.ini"
