#!/usr/bin/env bash
# Draws the framed pop-up's background and its close-button glyph (ImageMagick), each at its size
# and at twice that size for high-density screens (@2x).
# k and suffix come with each call of draw (k=2 suffix='@2x' draw):
# shellcheck disable=SC2154
# Run from anywhere; writes popup_ieone_back.png and popup_close.png beside this script.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# No time stamps in the files, so the same script gives the same bytes.
# shellcheck disable=SC2054 # the comma belongs to ImageMagick's option
png=(-depth 8 -strip -define png:exclude-chunks=date,time)

s() { awk -v v="$1" -v k="$k" 'BEGIN { print v * k }'; }       # a length at the current scale
sc() { perl -pe "s/(\d+(?:\.\d+)?)/\$1 * $k/ge" <<<"$1"; }     # every number of a drawing, scaled

draw() {
  # 636 x 390: a blue title band of 27 pixels over a light frame; the browser panel covers the rest.
  convert -size "$(s 636)x$(s 390)" xc:'#e7edf4' \
    \( -size "$(s 636)x$(s 27)" gradient:'#3a7cc4'-'#1c4b86' \) -geometry +0+0 -composite \
    -fill none -stroke '#16406f' -strokewidth "$(s 1)" -draw "$(sc 'rectangle 0,0 635,389')" \
    -stroke '#79a9dd' -draw "$(sc 'line 1,1 634,1')" \
    -stroke '#14395f' -draw "$(sc 'line 1,26 634,26')" \
    -stroke '#c3d0de' -draw "$(sc 'rectangle 5,27 632,382')" \
    -stroke none -fill '#ffffff' \
    -draw "$(sc 'rectangle 11,16 13,20')" -draw "$(sc 'rectangle 15,12 17,20')" -draw "$(sc 'rectangle 19,8 21,20')" \
    -fill '#9fd0ff' -draw "$(sc 'rectangle 23,5 25,20')" \
    "${png[@]}" "$here/popup_ieone_back$suffix.png"

  # 17 x 18: a rounded red square with a white cross.
  convert -size "$(s 17)x$(s 18)" xc:none \
    -fill '#c9483f' -stroke '#8e2a24' -strokewidth "$(s 1)" -draw "$(sc 'roundrectangle 0,0 16,17 3,3')" \
    -stroke '#ffffff' -strokewidth "$(s 2)" -draw "$(sc 'line 5,5 11,12')" -draw "$(sc 'line 11,5 5,12')" \
    "${png[@]}" "$here/popup_close$suffix.png"
}

k=1 suffix='' draw
k=2 suffix='@2x' draw
