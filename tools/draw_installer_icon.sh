#!/usr/bin/env bash
# Draws the installer's default icon, core/win/installer.ico: a golden star
# over a download arrow on the banner's night sky, as a rounded square. The
# 16, 32 and 48 pixel images are stored as bitmaps, the 256 pixel one as PNG
# (the form Explorer reads for that size, and a fraction of the bytes). The
# file is committed; run this again only to change it (needs ImageMagick).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/core/win/installer.ico
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# ImageMagick's own convert: a machine may have a stand-in earlier on PATH.
magick=/usr/bin/convert
# No time stamps in the files, so that drawing again changes nothing.
plain=(-define png:exclude-chunks=date,time +set date:create +set date:modify)

# A five-pointed star as an ImageMagick polygon: centre, outer and inner radius.
star() {
  awk -v cx="$1" -v cy="$2" -v outer="$3" -v inner="$4" 'BEGIN {
    pi = atan2(0, -1); points = "polygon"
    for (k = 0; k < 10; k++) {
      radius = k % 2 == 0 ? outer : inner; angle = -pi / 2 + k * pi / 5
      points = points sprintf(" %.1f,%.1f", cx + radius * cos(angle), cy + radius * sin(angle))
    }
    print points
  }'
}

# Drawn once at 1024 pixels and scaled down, so every size has smooth edges.
"$magick" -size 1024x1024 gradient:'#0b1a4a-#3a2d7a' \
  \( -size 1024x1024 xc:black -fill white -draw 'roundrectangle 48,48 975,975 190,190' \) \
  -alpha off -compose CopyOpacity -composite -compose Over \
  -fill '#ffd24a' -draw "$(star 512 370 280 114)" \
  -fill white -draw 'rectangle 458,630 566,770' -draw 'polygon 330,750 694,750 512,930' \
  "${plain[@]}" PNG32:"$work/master.png"
images=()
for size in 16 32 48 256; do
  "$magick" "$work/master.png" -filter Lanczos -resize "${size}x${size}" "${plain[@]}" PNG32:"$work/$size.png"
  images+=("$work/$size.png")
done
"$magick" "${images[@]}" "$out"
