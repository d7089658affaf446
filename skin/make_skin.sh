#!/usr/bin/env bash
# Draws the default skin: the ten JPEG images beside the installer, from one background so that the
# caption buttons, the status area and the Cancel button blend into the window where they sit; and
# each once more at twice the size, as its "@2x" copy ("MainWndBkg@2x.jpg"), which the installer
# uses on screens scaled to 150 % and more.
# Needs ImageMagick's convert. Usage: skin/make_skin.sh [output folder] (default: this folder).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here}
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Window 600 x 330 in design pixels. Where the installer puts things on it (see the layout of the
# window): the bar (95,135)-(540,149) with its percentage box to x 591, the status area
# (240,159)-(540,179), close (571,7) and minimise (542,7), each 23 x 23; Cancel, 110 x 34, at (470,266).
W=600 H=330
body='rgb(40,40,40)'     # the face; equal to the percentage box beside the bar
band='rgb(30,31,34)'     # title band and footer
rule='rgb(54,56,61)'     # the lines that close the bands
accent='rgb(31,167,224)' # the blue of the progress tiles
accent_light='rgb(40,196,245)'
glyph='rgb(178,181,187)'
jpeg=(-quality 97 -sampling-factor 1x1)

# Design coordinates at k device pixels each. Drawing coordinates are continuous (a pixel spans x to
# x + 1), so lengths, starts and stroke points scale as they are; a rectangle's last pixel is inclusive.
k=1
s() { awk -v v="$1" -v k="$k" 'BEGIN { printf "%g", v * k }'; }
e() { awk -v v="$1" -v k="$k" 'BEGIN { printf "%g", (v + 1) * k - 1 }'; }
pt() { echo "$(s "$1"),$(s "$2")"; }  # a point
box() { echo "$(s "$1"),$(s "$2") $(e "$3"),$(e "$4")"; }  # a rectangle's first and last pixel

crop() {  # x y w h -> the background under that rectangle
  "$convert" "$work/background.png" -crop "$(s "$3")x$(s "$4")+$(s "$1")+$(s "$2")" +repage "$work/crop.png"
}

# Caption buttons: a thin glyph on the title band; hot, a rounded plate behind a white glyph.
caption_button() {  # x, plate colour, glyph primitives, normal file, hot file
  crop "$1" 7 23 23
  "$convert" "$work/crop.png" -stroke "$glyph" -strokewidth "$(s 1.6)" -fill none \
    -draw "stroke-linecap round $3" "${jpeg[@]}" "$out/$4"
  "$convert" "$work/crop.png" -fill "$2" -stroke none -draw "roundrectangle $(box 0 0 22 22) $(pt 5 5)" \
    -stroke white -strokewidth "$(s 1.6)" -fill none -draw "stroke-linecap round $3" "${jpeg[@]}" "$out/$5"
}

# Cancel: a rounded accent plate on the footer; lighter under the pointer; a quiet grey once the
# cancellation is under way. The caption is drawn by the installer over it.
cancel_button() {  # top colour, bottom colour, edge colour, file
  crop 470 266 110 34
  local size="$(s 110)x$(s 34)"
  "$convert" "$work/crop.png" \
    \( -size "$size" "gradient:$1-$2" \( -size "$size" xc:black -fill white -draw "roundrectangle $(box 0 0 109 33) $(pt 6 6)" \) \
       -alpha off -compose copy_opacity -composite \) -compose over -composite \
    -fill none -stroke "$3" -strokewidth "$(s 1)" -draw "roundrectangle $(pt 0.5 0.5) $(pt 109.5 33.5) $(pt 6 6)" \
    "${jpeg[@]}" "$out/$4"
}

draw_skin() {  # name suffix: "" for the images, "@2x" for their copies at k = 2
  local x=$1
  # Background: flat face, a soft glow behind the product name, title band with the accent line and
  # the logo, footer band for the buttons.
  "$convert" -size "$(s $W)x$(s $H)" "xc:$body" \
    \( -size "$(s 560)x$(s 560)" "radial-gradient:rgb(50,52,57)-$body" \) -geometry "-$(s 150)-$(s 200)" \
    -compose lighten -composite -compose over \
    -fill "$band" -draw "rectangle $(box 0 0 $((W - 1)) 39)" \
    -fill "$rule" -draw "rectangle $(box 0 40 $((W - 1)) 40)" \
    \( -size "$(s $W)x$(s 3)" "gradient:$accent-$accent_light" -rotate -90 -resize "$(s $W)x$(s 3)!" \) \
    -geometry +0+0 -composite \
    -fill "$band" -draw "rectangle $(box 0 248 $((W - 1)) $((H - 1)))" \
    -fill "$rule" -draw "rectangle $(box 0 247 $((W - 1)) 247)" \
    "$work/base.png"

  # The logo left of the title: a rounded tile in the accent blue with a white arrow into a tray.
  local logo="$(s 24)x$(s 24)"
  "$convert" -size "$logo" xc:none \
    \( -size "$logo" "gradient:$accent_light-$accent" \) -compose over -composite \
    \( -size "$logo" xc:black -fill white -draw "roundrectangle $(box 0 0 23 23) $(pt 6 6)" \) -alpha off \
    -compose copy_opacity -composite \
    -compose over -stroke white -strokewidth "$(s 2.2)" -fill none \
    -draw "stroke-linecap round stroke-linejoin round line $(pt 12 5) $(pt 12 14) polyline $(pt 8 11) $(pt 12 15) $(pt 16 11) polyline $(pt 6 15) $(pt 6 18) $(pt 18 18) $(pt 18 15)" \
    "$work/logo.png"
  "$convert" "$work/base.png" "$work/logo.png" -geometry "+$(s 14)+$(s 9)" -composite "$work/background.png"
  "$convert" "$work/background.png" "${jpeg[@]}" "$out/MainWndBkg$x.jpg"

  # Status area: the face under it, so the line of text sits on the window itself.
  crop 240 159 300 20
  "$convert" "$work/crop.png" "${jpeg[@]}" "$out/StatusBkg$x.jpg"

  caption_button 571 'rgb(220,48,58)' "line $(pt 7 7) $(pt 15 15) line $(pt 15 7) $(pt 7 15)" "Close_N$x.jpg" "Close_H$x.jpg"
  caption_button 542 'rgb(70,73,80)' "line $(pt 6.5 11.5) $(pt 15.5 11.5)" "Min_N$x.jpg" "Min_H$x.jpg"

  cancel_button 'rgb(38,178,234)' 'rgb(26,148,206)' 'rgb(56,190,240)' "Cancel_N$x.jpg"
  cancel_button 'rgb(62,204,250)' 'rgb(38,176,232)' 'rgb(96,214,252)' "Cancel_H$x.jpg"
  cancel_button 'rgb(66,68,73)' 'rgb(58,60,64)' 'rgb(78,80,86)' "Cancel_D$x.jpg"

  # Check mark beside the full bar, on the percentage box's grey.
  "$convert" -size "$(s 45)x$(s 14)" "xc:$body" -stroke 'rgb(72,214,128)' -strokewidth "$(s 2.4)" -fill none \
    -draw "stroke-linecap round stroke-linejoin round polyline $(pt 13 7) $(pt 17 11) $(pt 25 3)" \
    "${jpeg[@]}" "$out/CheckD$x.jpg"
}

k=1 draw_skin ""
k=2 draw_skin "@2x"
