#!/usr/bin/env bash
# Draws the window pictures of the login window, the main window's title bar and the icon.
# Run by hand after changing a picture; the PNGs are kept in the repository.
set -euo pipefail
cd "$(dirname "$0")/pictures"
im=convert-im6.q16
command -v "$im" >/dev/null || im=convert
font=/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc
bold=/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc

# Login background, 648 x 400 (the window shows 637 x 390 of it).
$im -size 648x400 gradient:'#0d2b4e'-'#1f6aa5' \
  -fill '#ffffff18' -draw "polygon 0,400 0,300 120,260 220,290 330,210 396,232 396,400" \
  -stroke '#7fd1ff' -strokewidth 2 -fill none \
  -draw "polyline 30,330 80,300 130,312 180,270 230,284 280,236 330,250 380,200 396,205" \
  -stroke none -fill '#ff5a5a' -draw "rectangle 60,350 68,380 rectangle 90,342 98,380 rectangle 150,330 158,380" \
  -fill '#3fd07a' -draw "rectangle 75,346 83,380 rectangle 120,336 128,380 rectangle 180,322 188,380" \
  -fill '#ffffffe6' -draw "roundrectangle 404,148 628,345 8,8" \
  -fill '#0d2b4e' -draw "rectangle 0,0 648,24" \
  -font "$bold" -pointsize 30 -fill white -annotate +36+110 'Sorvane金融终端' \
  -font "$font" -pointsize 14 -fill '#cfe6ff' -annotate +38+140 '证券行情  资讯  分析  一站式金融信息服务' \
  -pointsize 12 -fill '#cfe6ff' -annotate +10+17 'Sorvane金融终端 用户登录' \
  -pointsize 13 -fill '#1b3a5c' -annotate +420+166 '用户登录' \
  -pointsize 11 -annotate +428+192 '账号' -annotate +428+217 '密码' \
  login_back.png

button() { # file width height caption top bottom
  $im -size "$2x$3" gradient:"$5"-"$6" -fill none -stroke '#0b3a66' -draw "rectangle 0,0 $(($2-1)),$(($3-1))" \
    -stroke none -font "$font" -pointsize 12 -fill white -gravity center -annotate +0+0 "$4" "$1"
}
button login_login.png 63 20 '登 录' '#3a9be0' '#1566b0'
button login_cancel.png 63 20 '取 消' '#8aa4bd' '#5b7690'
button login_reg.png 135 25 '注册新用户' '#f0a040' '#d07010'
$im -size 21x19 xc:'#0d2b4e' -stroke white -strokewidth 2 -draw "line 6,5 15,14 line 15,5 6,14" login_close.png

# Main window title bar: background (stretched), right end, personal page picture, three buttons.
$im -size 832x26 gradient:'#1f5f98'-'#0d2b4e' main_title_back.png
$im -size 74x26 gradient:'#1f5f98'-'#0d2b4e' -fill '#ffffff30' -draw "rectangle 0,0 1,26" main_title_right.png
$im -size 67x19 gradient:'#f0a040'-'#d07010' -font "$font" -pointsize 11 -fill white -gravity center \
  -annotate +0+0 '我的空间' main_myspace.png
glyph() { # file draw
  $im -size 22x13 xc:'#2c6ea8' -fill none -stroke '#9cc8ee' -draw "rectangle 0,0 21,12" -stroke white -strokewidth 1.5 \
    -draw "$2" "$1"
}
glyph main_menu.png "line 7,4 15,4 line 7,6.5 15,6.5 line 7,9 15,9"
glyph main_min.png "line 7,9 15,9"
glyph main_close.png "line 8,3 14,10 line 14,3 8,10"

# Application icon.
$im -size 64x64 xc:none -fill '#1566b0' -draw "roundrectangle 2,2 61,61 12,12" \
  -stroke '#7fd1ff' -strokewidth 4 -fill none -draw "polyline 10,46 24,34 34,40 52,18" \
  -stroke none -font "$bold" -pointsize 26 -fill white -annotate +8+30 'S' app_icon.png
