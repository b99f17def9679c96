#!/usr/bin/env bash
# Draws the wizard window's images into core/design/: the banner, the wide
# button in its two looks, and the light and dark title-bar glyphs. The PNG
# files are committed; run this again only to change them (needs ImageMagick
# and the WenQuanYi Micro Hei font).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/core/design
mkdir -p "$out"

# ImageMagick's own convert: a machine may have a stand-in earlier on PATH.
magick=/usr/bin/convert
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
# No time stamps in the files, so that drawing again changes nothing.
plain=(-define png:exclude-chunks=date,time +set date:create +set date:modify)

# The banner: the product's name and slogan over a night sky, and a hand
# holding a phone that shows a note.
"$magick" -size 987x495 gradient:'#0b1a4a-#3a2d7a' \
  \( -size 987x495 xc:none -fill 'rgba(255,255,255,0.85)' \
     -draw 'circle 120,70 122,70' -draw 'circle 300,40 301,40' -draw 'circle 460,95 462,95' \
     -draw 'circle 610,30 611,30' -draw 'circle 760,80 762,80' -draw 'circle 900,45 901,45' \
     -draw 'circle 210,160 211,160' -draw 'circle 540,190 541,190' -draw 'circle 860,170 862,170' \
     -draw 'circle 70,300 71,300' -draw 'circle 380,420 381,420' -draw 'circle 940,330 941,330' \
     -fill 'rgba(255,230,140,0.9)' -draw 'polygon 60,120 66,134 81,136 69,145 73,160 60,152 47,160 51,145 39,136 54,134' \
  \) -composite \
  -font "$font" -fill white -pointsize 78 -annotate +70+250 '星光记事本' \
  -fill '#ffe68c' -pointsize 34 -annotate +74+310 'StarlitPad' \
  -fill 'rgba(255,255,255,0.9)' -pointsize 30 -annotate +72+370 '记下每一个闪光的想法' \
  \( -size 987x495 xc:none \
     -fill '#f2c6a0' -draw 'roundrectangle 640,300 840,470 60,60' \
     -draw 'ellipse 650,330 34,18 200,380' \
     -fill '#1c1c24' -draw 'roundrectangle 660,110 820,420 18,18' \
     -fill '#eef3ff' -draw 'rectangle 672,140 808,392' \
     -fill '#8aa0d8' -draw 'rectangle 684,156 796,166' \
     -fill '#c3cde8' -draw 'rectangle 684,180 790,186' -draw 'rectangle 684,196 770,202' \
     -draw 'rectangle 684,212 796,218' -draw 'rectangle 684,228 750,234' \
     -fill '#ffd24a' -draw 'polygon 760,300 766,314 781,316 769,325 773,340 760,332 747,340 751,325 739,316 754,314' \
     -fill '#f2c6a0' -draw 'roundrectangle 820,250 870,330 22,22' -draw 'roundrectangle 815,300 868,370 22,22' \
     -draw 'roundrectangle 812,345 862,410 22,22' \
  \) -composite \
  "${plain[@]}" PNG32:"$out/banner.png"

# The wide buttons: a rounded rectangle whose corners blend into white.
wide_button() {
  "$magick" -size 260x35 xc:white -fill "$1" -draw 'roundrectangle 0,0 259,34 5,5' \
    -alpha off "${plain[@]}" PNG24:"$2"
}
wide_button 'rgb(0,170,238)' "$out/wide_button.png"
wide_button 'rgb(0,152,212)' "$out/wide_button_over.png"

# Title-bar glyphs: drawn opaque, then the light ones get alpha 189.
glyph() {  # size colour draw-commands alpha-factor file
  "$magick" -size "$1" xc:none -stroke "$2" -fill "$2" -strokewidth 1.3 "${@:3:$#-4}" \
    -channel A -evaluate multiply "${@: -2:1}" +channel "${plain[@]}" PNG32:"${@: -1}"
}
cross=(-draw 'line 0,0 10,10' -draw 'line 10,0 0,10')
glyph 11x11 white "${cross[@]}" 0.7412 "$out/close_light.png"
glyph 11x11 'rgb(82,82,82)' "${cross[@]}" 1 "$out/close_dark.png"
# One bar on row 7 of 13 (the middle row).
bar=(-strokewidth 0 -draw 'rectangle 0,6 11,6')
glyph 12x13 white "${bar[@]}" 0.7412 "$out/minimise_light.png"
glyph 12x13 'rgb(82,82,82)' "${bar[@]}" 1 "$out/minimise_dark.png"
