#!/usr/bin/env bash
# Draws the program's pictures into resources/ with ImageMagick 6 (apt-get install
# imagemagick) and the fonts that install-deps.sh installs. The pictures are kept
# in the repository; run this only to change them. No dates are written into the
# files, so a run that changes no drawing changes no file.
set -euo pipefail
cd "$(dirname "$0")/../resources"

latin=DejaVu-Serif-Bold-Italic
sans=DejaVu-Sans-Bold
chinese=/usr/share/fonts/truetype/arphic/uming.ttc

# The support dialog's picture: warm gradient, soft circles, a heart and thanks.
heart='M 1108,800 C 980,700 780,560 780,390 C 780,270 870,190 975,190
       C 1040,190 1085,230 1108,280 C 1131,230 1176,190 1241,190
       C 1346,190 1436,270 1436,390 C 1436,560 1236,700 1108,800 Z'
convert -size 2216x1687 gradient:'#fff3da-#f3a59c' \
    -fill '#ffffff55' -draw 'circle 260,300 260,640' -draw 'circle 1980,1380 1980,1700' \
    -fill '#ffd16655' -draw 'circle 1900,260 1900,420' -draw 'circle 330,1420 330,1560' \
    -fill '#8fd3c955' -draw 'circle 1700,720 1700,800' -draw 'circle 560,860 560,930' \
    -fill '#e8505b' -draw "path '$heart'" \
    -fill '#7a2e3b' -font "$latin" -pointsize 230 -gravity center -annotate +0+230 'Thank you' \
    -font "$chinese" -pointsize 300 -annotate +0+560 '谢谢' \
    -strip -interlace none -sampling-factor 2x2 -quality 85 support.jpg

# The QQ dialog's picture: a payment card with an empty square where a code goes.
convert -size 720x1080 gradient:'#12b7f5-#0b6fcf' \
    -fill white -font "$chinese" -pointsize 52 -gravity north -annotate +0+50 'QQ 钱包' \
    -font "$sans" -pointsize 30 -annotate +0+120 'Pay with QQ' \
    -gravity none -draw 'roundrectangle 60,200 660,1000 36,36' \
    -fill '#333333' -font "$chinese" -pointsize 40 -gravity north -annotate +0+250 '扫一扫，向我付款' \
    -font "$sans" -pointsize 26 -annotate +0+310 'Scan to pay' \
    -gravity none -fill '#eef3f8' -stroke '#9fb3c8' -strokewidth 6 \
    -draw 'stroke-dasharray 24 14 rectangle 160,380 560,780' -stroke none \
    -fill '#9fb3c8' -font "$chinese" -pointsize 36 -gravity center -annotate +0+40 '付款码' \
    -font "$sans" -pointsize 24 -annotate +0+90 'payment code' \
    -fill '#666666' -font "$chinese" -pointsize 30 -annotate +0+350 '感谢您的支持  Thank you' \
    -strip -define png:exclude-chunk=date,time -type TrueColor PNG24:qqpay.png

# The about box's icon: a blue "i" disc. And the application icon from its SVG.
convert -size 32x32 xc:none +antialias \
    -fill '#000080' -draw 'circle 15.5,15.5 15.5,0.5' \
    -fill '#0000ff' -draw 'circle 15.5,15.5 15.5,2.5' \
    -fill white -draw 'rectangle 14,13 17,25' -draw 'rectangle 12,13 17,14' \
    -draw 'rectangle 12,24 19,25' -draw 'rectangle 14,6 17,9' \
    -colors 16 -strip -define png:exclude-chunk=date,time -define png:bit-depth=4 \
    PNG8:about.png
convert +antialias -background none quorvin.svg -colors 16 -strip \
    -define png:exclude-chunk=date,time -define png:bit-depth=4 PNG8:quorvin.png
# The Windows icon: the same drawing in 32-bit colour at 32 x 32 and 16 x 16 pixels, and
# in 16 colours at 32 x 32; Windows picks the image by the display.
convert \( +antialias -background none quorvin.svg -type TrueColorAlpha \) \
    \( +antialias -background none quorvin.svg -resize 16x16 -type TrueColorAlpha \) \
    \( +antialias -background none quorvin.svg -colors 16 \) -strip quorvin.ico
