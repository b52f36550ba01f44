#!/usr/bin/env bash
# Draws the window pictures of the login window, the main window's title bar and the icon, each at
# its size (name.png) and at twice that size for high-density screens (name@2x.png), plus the
# program's icon in the usual sizes for the desktop's icon theme (icons/).
# Run by hand after changing a picture; the PNGs are kept in the repository.
set -euo pipefail
cd "$(dirname "$0")/pictures"
im=convert-im6.q16
command -v "$im" >/dev/null || im=convert
font=/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc
bold=/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc
# No time stamps in the files, so the same script gives the same bytes.
# shellcheck disable=SC2054 # the comma belongs to ImageMagick's option
png=(-depth 8 -strip -define png:exclude-chunks=date,time)

k=1      # scale of the drawing being made
suffix=  # "" or "@2x"
s() { awk -v v="$1" -v k="$k" 'BEGIN { print v * k }'; }  # a length at the current scale
at() { echo "+$(s "$1")+$(s "$2")"; }                       # a text offset at the current scale
sc() { perl -pe "s/(\d+(?:\.\d+)?)/\$1 * $k/ge" <<<"$1"; }  # every number of a drawing, scaled
out() { echo "$1$suffix.png"; }

draw() {
  # Login background, 648 x 400 (the window shows 637 x 390 of it).
  $im -size "$(s 648)x$(s 400)" gradient:'#0d2b4e'-'#1f6aa5' \
    -fill '#ffffff18' -draw "$(sc "polygon 0,400 0,300 120,260 220,290 330,210 396,232 396,400")" \
    -stroke '#7fd1ff' -strokewidth "$(s 2)" -fill none \
    -draw "$(sc "path 'M 30,330 L 80,300 L 130,312 L 180,270 L 230,284 L 280,236 L 330,250 L 380,200 L 396,205'")" \
    -stroke none -fill '#ff5a5a' -draw "$(sc "rectangle 60,350 68,380 rectangle 90,342 98,380 rectangle 150,330 158,380")" \
    -fill '#3fd07a' -draw "$(sc "rectangle 75,346 83,380 rectangle 120,336 128,380 rectangle 180,322 188,380")" \
    -fill '#ffffffe6' -draw "$(sc "roundrectangle 404,148 628,345 8,8")" \
    -fill '#0d2b4e' -draw "$(sc "rectangle 0,0 648,24")" \
    -font "$bold" -pointsize "$(s 30)" -fill white -annotate "$(at 36 110)" 'Sorvane金融终端' \
    -font "$font" -pointsize "$(s 14)" -fill '#cfe6ff' -annotate "$(at 38 140)" '证券行情  资讯  分析  一站式金融信息服务' \
    -pointsize "$(s 12)" -fill '#cfe6ff' -annotate "$(at 10 17)" 'Sorvane金融终端 用户登录' \
    -pointsize "$(s 13)" -fill '#1b3a5c' -annotate "$(at 420 166)" '用户登录' \
    -pointsize "$(s 11)" -annotate "$(at 428 192)" '账号' -annotate "$(at 428 217)" '密码' \
    "${png[@]}" "$(out login_back)"

  button() { # name width height caption top bottom
    $im -size "$(s "$2")x$(s "$3")" gradient:"$5"-"$6" \
      -fill none -stroke '#0b3a66' -strokewidth "$(s 1)" -draw "$(sc "rectangle 0,0 $(($2 - 1)),$(($3 - 1))")" \
      -stroke none -font "$font" -pointsize "$(s 12)" -fill white -gravity center -annotate +0+0 "$4" \
      "${png[@]}" "$(out "$1")"
  }
  button login_login 63 20 '登 录' '#3a9be0' '#1566b0'
  button login_cancel 63 20 '取 消' '#8aa4bd' '#5b7690'
  button login_reg 135 25 '注册新用户' '#f0a040' '#d07010'
  $im -size "$(s 21)x$(s 19)" xc:'#0d2b4e' \
    -stroke white -strokewidth "$(s 2)" -draw "$(sc "line 6,5 15,14 line 15,5 6,14")" \
    "${png[@]}" "$(out login_close)"

  # Main window title bar: background (stretched), right end, personal page picture, three buttons.
  $im -size "$(s 832)x$(s 26)" gradient:'#1f5f98'-'#0d2b4e' "${png[@]}" "$(out main_title_back)"
  $im -size "$(s 74)x$(s 26)" gradient:'#1f5f98'-'#0d2b4e' -fill '#ffffff30' -draw "$(sc "rectangle 0,0 1,26")" \
    "${png[@]}" "$(out main_title_right)"
  $im -size "$(s 67)x$(s 19)" gradient:'#f0a040'-'#d07010' -font "$font" -pointsize "$(s 11)" -fill white \
    -gravity center -annotate +0+0 '我的空间' "${png[@]}" "$(out main_myspace)"
  glyph() { # name draw
    $im -size "$(s 22)x$(s 13)" xc:'#2c6ea8' \
      -fill none -stroke '#9cc8ee' -strokewidth "$(s 1)" -draw "$(sc "rectangle 0,0 21,12")" \
      -stroke white -strokewidth "$(s 1.5)" -draw "$(sc "$2")" \
      "${png[@]}" "$(out "$1")"
  }
  glyph main_menu "line 7,4 15,4 line 7,6.5 15,6.5 line 7,9 15,9"
  glyph main_min "line 7,9 15,9"
  glyph main_close "line 8,3 14,10 line 14,3 8,10"

  # Application icon, 64 x 64.
  $im -size "$(s 64)x$(s 64)" xc:none -fill '#1566b0' -draw "$(sc "roundrectangle 2,2 61,61 12,12")" \
    -stroke '#7fd1ff' -strokewidth "$(s 4)" -fill none -draw "$(sc "path 'M 10,46 L 24,34 L 34,40 L 52,18'")" \
    -stroke none -font "$bold" -pointsize "$(s 26)" -fill white -annotate "$(at 8 30)" 'S' \
    "${png[@]}" "$(out app_icon)"
}

k=1 suffix='' draw
k=2 suffix='@2x' draw

# The icon theme's sizes, from the largest drawing; the scalable icon is app_icon.svg.
k=4 suffix='@4x' draw 
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "../icons/hicolor/${size}x${size}/apps"
  $im app_icon@4x.png -resize "${size}x${size}" "${png[@]}" "../icons/hicolor/${size}x${size}/apps/sorvane.png"
done
rm -f ./*@4x.png
