#!/usr/bin/env bash
# Draws the program's pictures (banner, logo, row and list icons, header pictures, the application
# icon) with ImageMagick and the scan animation with make_avi.py, into src/ui/res.
# The outputs are committed; run this again only to change them.
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
out="$here/../../src/ui/res"
mkdir -p "$out"
cd "$out"
im() { convert "$@"; }

# Banner 425x73: a blue gradient with soft arcs.
im -size 425x73 gradient:'#1c3f7a'-'#5f9bd6' \
   -fill none -stroke '#ffffff30' -strokewidth 6 -draw "arc 250,-60 520,140 100,200" \
   -stroke '#ffffff20' -strokewidth 3 -draw "arc 300,-40 470,120 90,230" \
   -quality 90 banner.jpg

# Logo 64x64: a shield with a tick, on transparency.
im -size 64x64 xc:none \
   -fill '#f0f4fa' -stroke '#0d2a57' -strokewidth 2 -draw "polygon 32,4 58,12 56,36 32,60 8,36 6,12" \
   -fill none -stroke '#2e8b3a' -strokewidth 7 -draw "polyline 18,32 28,43 47,20" \
   PNG32:logo.png

icon17() { # name colour shape
  im -size 17x17 xc:none -fill "$2" -stroke '#20304080' -strokewidth 1 -draw "$3" "PNG32:$1"
}
icon17 row_spyware.png '#d04040' "circle 8,8 8,1"
icon17 row_registry.png '#3a70c0' "rectangle 2,2 14,14"
icon17 row_privacy.png '#e0a020' "polygon 8,1 15,8 8,15 1,8"
icon17 row_junk.png '#40a050' "polygon 3,4 13,4 12,15 4,15"

# Flag 16x16: a red pennant on a pole.
im -size 16x16 xc:none -stroke '#404040' -strokewidth 1 -draw "line 3,1 3,15" \
   -stroke none -fill '#e02020' -draw "polygon 4,2 14,5 4,9" PNG32:flag.png

icon16() { im -size 16x16 xc:none -stroke '#30303080' -strokewidth 1 -fill "$2" -draw "$3" "PNG32:$1"; }
icon16 list0_registry.png '#5080d0' "rectangle 2,2 13,13"
icon16 list1_file.png '#ffffff' "polygon 3,1 10,1 13,4 13,14 3,14"
icon16 list2_folder.png '#f0c040' "polygon 1,4 6,4 7,5 14,5 14,13 1,13"
icon16 list3_cookie.png '#c08040' "circle 8,8 8,2"
icon16 list4_regkey.png '#40a0a0' "polygon 2,6 10,6 10,3 14,8 10,13 10,10 2,10"
icon16 list5_regvalue.png '#a060c0' "ellipse 8,8 6,4 0,360"

# Header pictures 48x48.
im -size 48x48 xc:none -fill '#d04040' -stroke '#602020' -strokewidth 2 -draw "circle 24,24 24,4" \
   -fill '#ffffff' -stroke none -draw "rectangle 21,12 27,28" -draw "rectangle 21,32 27,37" PNG32:header_spyware.png
im -size 48x48 xc:none -fill '#3a70c0' -stroke '#1a3060' -strokewidth 2 -draw "roundrectangle 4,4 44,44 6,6" \
   -fill '#ffffff' -stroke none -draw "rectangle 12,14 36,18" -draw "rectangle 12,22 36,26" -draw "rectangle 12,30 28,34" \
   PNG32:header_registry.png

# Application icon: the logo at three sizes.
im logo.png -define icon:auto-resize=48,32,16 Brisfold.ico

python3 "$here/make_avi.py" scan.avi
