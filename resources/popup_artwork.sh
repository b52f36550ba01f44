#!/usr/bin/env bash
# Draws the framed pop-up's background and its close-button glyph (ImageMagick).
# Run from anywhere; writes popup_ieone_back.png and popup_close.png beside this script.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# No time stamps in the files, so the same script gives the same bytes.
png=(-depth 8 -strip -define png:exclude-chunks=date,time)

# 636 x 390: a blue title band of 27 pixels over a light frame; the browser panel covers the rest.
convert -size 636x390 xc:'#e7edf4' \
  \( -size 636x27 gradient:'#3a7cc4'-'#1c4b86' \) -geometry +0+0 -composite \
  -fill none -stroke '#16406f' -strokewidth 1 -draw 'rectangle 0,0 635,389' \
  -stroke '#79a9dd' -draw 'line 1,1 634,1' \
  -stroke '#14395f' -draw 'line 1,26 634,26' \
  -stroke '#c3d0de' -draw 'rectangle 5,27 632,382' \
  -stroke none -fill '#ffffff' \
  -draw 'rectangle 11,16 13,20' -draw 'rectangle 15,12 17,20' -draw 'rectangle 19,8 21,20' \
  -fill '#9fd0ff' -draw 'rectangle 23,5 25,20' \
  "${png[@]}" "$here/popup_ieone_back.png"

# 17 x 18: a rounded red square with a white cross.
convert -size 17x18 xc:none \
  -fill '#c9483f' -stroke '#8e2a24' -strokewidth 1 -draw 'roundrectangle 0,0 16,17 3,3' \
  -stroke '#ffffff' -strokewidth 2 -draw 'line 5,5 11,12' -draw 'line 11,5 5,12' \
  "${png[@]}" "$here/popup_close.png"
