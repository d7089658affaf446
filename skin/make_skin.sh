#!/usr/bin/env bash
# Draws the default skin: the ten JPEG images beside the installer, from one background so that the
# caption buttons, the status area and the Cancel button blend into the window where they sit.
# Needs ImageMagick's convert. Usage: skin/make_skin.sh [output folder] (default: this folder).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here}
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Window 600 x 330. Where the installer puts things on it (see the layout of the window):
# the bar (95,135)-(540,149) with its percentage box to x 591, the status area (240,159)-(540,179),
# close (571,7) and minimise (542,7), each 23 x 23; Cancel, 110 x 34, at (470,266).
W=600 H=330
body='rgb(40,40,40)'     # the face; equal to the percentage box beside the bar
band='rgb(30,31,34)'     # title band and footer
rule='rgb(54,56,61)'     # the lines that close the bands
accent='rgb(31,167,224)' # the blue of the progress tiles
accent_light='rgb(40,196,245)'
glyph='rgb(178,181,187)'
jpeg=(-quality 97 -sampling-factor 1x1)

# Background: flat face, a soft glow behind the product name, title band with the accent line and
# the logo, footer band for the buttons.
"$convert" -size ${W}x${H} "xc:$body" \
  \( -size 560x560 "radial-gradient:rgb(50,52,57)-$body" \) -geometry -150-200 -compose lighten -composite \
  -compose over \
  -fill "$band" -draw "rectangle 0,0 $((W - 1)),39" \
  -fill "$rule" -draw "rectangle 0,40 $((W - 1)),40" \
  \( -size ${W}x3 "gradient:$accent-$accent_light" -rotate -90 -resize ${W}x3! \) -geometry +0+0 -composite \
  -fill "$band" -draw "rectangle 0,248 $((W - 1)),$((H - 1))" \
  -fill "$rule" -draw "rectangle 0,247 $((W - 1)),247" \
  "$work/base.png"

# The logo left of the title: a rounded tile in the accent blue with a white arrow into a tray.
"$convert" -size 24x24 xc:none \
  \( -size 24x24 "gradient:$accent_light-$accent" \) -compose over -composite \
  \( -size 24x24 xc:black -fill white -draw "roundrectangle 0,0 23,23 6,6" \) -alpha off -compose copy_opacity -composite \
  -compose over -stroke white -strokewidth 2.2 -fill none \
  -draw "stroke-linecap round stroke-linejoin round line 12,5 12,14 polyline 8,11 12,15 16,11 polyline 6,15 6,18 18,18 18,15" \
  "$work/logo.png"
"$convert" "$work/base.png" "$work/logo.png" -geometry +14+9 -composite "$work/background.png"
"$convert" "$work/background.png" "${jpeg[@]}" "$out/MainWndBkg.jpg"

crop() {  # x y w h -> the background under that rectangle
  "$convert" "$work/background.png" -crop "$3x$4+$1+$2" +repage "$work/crop.png"
}

# Status area: the face under it, so the line of text sits on the window itself.
crop 240 159 300 20
"$convert" "$work/crop.png" "${jpeg[@]}" "$out/StatusBkg.jpg"

# Caption buttons: a thin glyph on the title band; hot, a rounded plate behind a white glyph.
caption_button() {  # x, plate colour, glyph primitives, normal file, hot file
  crop "$1" 7 23 23
  "$convert" "$work/crop.png" -stroke "$glyph" -strokewidth 1.6 -fill none \
    -draw "stroke-linecap round $3" "${jpeg[@]}" "$out/$4"
  "$convert" "$work/crop.png" -fill "$2" -stroke none -draw "roundrectangle 0,0 22,22 5,5" \
    -stroke white -strokewidth 1.6 -fill none -draw "stroke-linecap round $3" "${jpeg[@]}" "$out/$5"
}
caption_button 571 'rgb(220,48,58)' 'line 7,7 15,15 line 15,7 7,15' Close_N.jpg Close_H.jpg
caption_button 542 'rgb(70,73,80)' 'line 6.5,11.5 15.5,11.5' Min_N.jpg Min_H.jpg

# Cancel: a rounded accent plate on the footer; lighter under the pointer; a quiet grey once the
# cancellation is under way. The caption is drawn by the installer over it.
cancel_button() {  # top colour, bottom colour, edge colour, file
  crop 470 266 110 34
  "$convert" "$work/crop.png" \
    \( -size 110x34 "gradient:$1-$2" \( -size 110x34 xc:black -fill white -draw "roundrectangle 0,0 109,33 6,6" \) \
       -alpha off -compose copy_opacity -composite \) -compose over -composite \
    -fill none -stroke "$3" -strokewidth 1 -draw "roundrectangle 0.5,0.5 109.5,33.5 6,6" \
    "${jpeg[@]}" "$out/$4"
}
cancel_button 'rgb(38,178,234)' 'rgb(26,148,206)' 'rgb(56,190,240)' Cancel_N.jpg
cancel_button 'rgb(62,204,250)' 'rgb(38,176,232)' 'rgb(96,214,252)' Cancel_H.jpg
cancel_button 'rgb(66,68,73)' 'rgb(58,60,64)' 'rgb(78,80,86)' Cancel_D.jpg

# Check mark beside the full bar, on the percentage box's grey.
"$convert" -size 45x14 "xc:$body" -stroke 'rgb(72,214,128)' -strokewidth 2.4 -fill none \
  -draw "stroke-linecap round stroke-linejoin round polyline 13,7 17,11 25,3" "${jpeg[@]}" "$out/CheckD.jpg"
