#!/usr/bin/env bash
# Draws Quillet's icons and About bitmap (a compass rose in navy and amber) and writes them
# to src/res/. The results are committed, so a build needs none of these tools.
# Needs: imagemagick, icoutils, fonts-dejavu-core.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
out="$repo/src/res"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

navy='#1b2f57'
navy_edge='#0d1a33'
amber='#f7b733'
amber_dark='#c98200'
pale='#dce6f4'
pale_dark='#9fb3d1'

# The full rose on a 256-pixel canvas, centre (128,128): a navy disc, a pale ring, pale
# intercardinal points behind amber cardinal points, each point shaded in two halves.
convert -size 256x256 xc:none \
  -fill "$navy" -stroke "$navy_edge" -strokewidth 4 -draw 'circle 128,128 128,5' \
  -fill none -stroke "$pale" -strokewidth 7 -draw 'circle 128,128 128,34' \
  -stroke none \
  -fill "$pale" -draw 'polygon 128,128 183,73 128,106' -draw 'polygon 128,128 183,183 150,128' \
  -draw 'polygon 128,128 73,183 128,150' -draw 'polygon 128,128 73,73 106,128' \
  -fill "$pale_dark" -draw 'polygon 128,128 183,73 150,128' -draw 'polygon 128,128 183,183 128,150' \
  -draw 'polygon 128,128 73,183 106,128' -draw 'polygon 128,128 73,73 128,106' \
  -fill "$amber" -draw 'polygon 128,128 128,14 103,103' -draw 'polygon 128,128 242,128 153,103' \
  -draw 'polygon 128,128 128,242 153,153' -draw 'polygon 128,128 14,128 103,153' \
  -fill "$amber_dark" -draw 'polygon 128,128 128,14 153,103' -draw 'polygon 128,128 242,128 153,153' \
  -draw 'polygon 128,128 128,242 103,153' -draw 'polygon 128,128 14,128 103,103' \
  -fill "$navy" -stroke "$amber" -strokewidth 4 -draw 'circle 128,128 128,118' \
  "$work/rose.png"

# The bold rose for small sizes: a fuller disc and a wider four-point star only.
convert -size 256x256 xc:none \
  -fill "$navy" -stroke "$navy_edge" -strokewidth 6 -draw 'circle 128,128 128,4' \
  -stroke none \
  -fill "$amber" -draw 'polygon 128,128 128,12 94,94' -draw 'polygon 128,128 244,128 162,94' \
  -draw 'polygon 128,128 128,244 162,162' -draw 'polygon 128,128 12,128 94,162' \
  -fill "$amber_dark" -draw 'polygon 128,128 128,12 162,94' -draw 'polygon 128,128 244,128 162,162' \
  -draw 'polygon 128,128 128,244 94,162' -draw 'polygon 128,128 12,128 94,94' \
  "$work/bold.png"

# One image: source, size, colours (16, 256, or 0 for 32-bit with alpha).
image() {
  local source=$1 size=$2 colours=$3 file="$work/$1-$2-$3.png"
  if [ "$colours" -eq 0 ]; then
    convert "$work/$source.png" -resize "${size}x$size" -define png:color-type=6 "$file"
  else
    convert "$work/$source.png" -resize "${size}x$size" -channel A -threshold 50% +channel +dither \
      -colors "$colours" "PNG8:$file"
  fi
  echo "$file"
}

# Eight images: 32 and 16 pixels in 16 colours; 48, 32 and 16 in 256 colours and in 32 bits.
# full16 names the source of the 16-pixel images, full the source of the larger ones.
make_icon() {
  local full=$1 full16=$2 target=$3
  icotool -c -o "$target" \
    -b 4 "$(image "$full" 32 16)" -b 4 "$(image "$full16" 16 16)" \
    -b 8 "$(image "$full" 48 256)" -b 8 "$(image "$full" 32 256)" -b 8 "$(image "$full16" 16 256)" \
    -b 32 "$(image "$full" 48 0)" -b 32 "$(image "$full" 32 0)" -b 32 "$(image "$full16" 16 0)"
}
make_icon rose bold "$out/quillet.ico"
make_icon bold bold "$out/quillet_small.ico"

# The About bitmap, 85 x 18 at 8 bits per pixel: the rose beside the name on navy.
convert -size 85x18 gradient:"#243d6b-$navy_edge" \
  \( "$work/bold.png" -resize 16x16 \) -geometry +2+1 -composite \
  -font "$font" -pointsize 12 -fill "$amber" -annotate +22+14 'QUILLET' \
  -fill "$pale" -draw 'rectangle 22,16 80,16' \
  -type Palette -colors 255 BMP3:"$out/about_logo.bmp"

icotool -l "$out/quillet.ico" "$out/quillet_small.ico"
identify -format '%f %wx%h %[bit-depth]-bit %[type]\n' "$out/about_logo.bmp"
