#!/usr/bin/env bash
# Draws the pictures of the bundled help into samples/help/images/.
#
# Every picture is drawn here from plain drawing commands, so the set can be
# made again at any time:   samples/make_images.sh
# Needs ImageMagick 6 ("convert") and the DejaVu fonts (Debian: imagemagick,
# fonts-dejavu-core). The results are committed; run this only to change them.
#
# Formats on purpose, so the bundled help shows every kind the viewer reads:
#   logo.gif          GIF89a with a transparent colour (white, also the
#                     bottom-left pixel, so TRANSP gives the same mask)
#   info.gif          small GIF89a icon with a transparent colour
#   colors.gif        interlaced GIF87a-style picture without transparency
#   toolbar.bmp       8-bit (256-colour palette) uncompressed Windows bitmap
#   startup_bar.bmp   24-bit uncompressed Windows bitmap
#   package_layout.jpg, window.jpg   baseline JPEG
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
out="$here/help/images"
mkdir -p "$out"

IM=${IM:-convert}
SANS=${SANS:-DejaVu-Sans}
BOLD=${BOLD:-DejaVu-Sans-Bold}
MONO=${MONO:-DejaVu-Sans-Mono}

# Windows button colours used by the toolbar pictures.
FACE='#C0C0C0'   # button face
SHADOW='#808080' # button shadow
HILITE='#FFFFFF' # button highlight

# ---------------------------------------------------------------- logo.gif
# An open book with a question mark, and the program's name. White is the
# transparent colour.
"$IM" -size 220x64 xc:white \
  -fill '#1F4E9C' -stroke '#0A2A5E' -strokewidth 1 \
  -draw 'polygon 8,14 30,10 30,54 8,58' \
  -draw 'polygon 52,14 30,10 30,54 52,58' \
  -fill '#F4F1E0' -stroke none \
  -draw 'polygon 11,17 28,14 28,51 11,54' \
  -draw 'polygon 49,17 32,14 32,51 49,54' \
  -fill '#C0392B' -font "$BOLD" -pointsize 26 -draw 'text 22,44 "?"' \
  -fill '#0A2A5E' -font "$BOLD" -pointsize 28 -draw 'text 62,38 "KivHelp"' \
  -fill '#5A5A5A' -font "$SANS" -pointsize 11 -draw 'text 64,54 "help viewer"' \
  -strip -colors 32 -transparent white "GIF:$out/logo.gif"

# ---------------------------------------------------------------- info.gif
# A 16 x 16 "i" in a blue disc on a transparent ground.
"$IM" -size 16x16 xc:white +antialias \
  -fill '#1F4E9C' -draw 'circle 7.5,7.5 7.5,0.5' \
  -fill "#FFFFE0" -draw 'rectangle 7,3 8,4' -draw 'rectangle 7,6 8,12' \
  -draw 'rectangle 6,12 9,12' \
  -strip -transparent white "GIF:$out/info.gif"

# ---------------------------------------------------------------- colors.gif
# The sixteen colour names the engine knows, as swatches (interlaced GIF).
args=()
names=(BLACK MAROON GREEN OLIVE NAVY PURPLE TEAL GRAY
       SILVER RED LIME YELLOW BLUE FUCHSIA AQUA WHITE)
values=('#000000' '#800000' '#008000' '#808000' '#000080' '#800080' '#008080' '#808080'
        '#C0C0C0' '#FF0000' '#00FF00' '#FFFF00' '#0000FF' '#FF00FF' '#00FFFF' '#FFFFFF')
for i in "${!names[@]}"; do
  col=$((i % 4)); row=$((i / 4))
  x=$((col * 80 + 2)); y=$((row * 34 + 2))
  case "${names[$i]}" in
    SILVER|LIME|YELLOW|AQUA|WHITE) ink=black ;;
    *) ink=white ;;
  esac
  args+=(-fill "${values[$i]}" -stroke black -draw "rectangle $x,$y $((x + 76)),$((y + 30))")
  args+=(-stroke none -fill "$ink" -draw "text $((x + 6)),$((y + 20)) '${names[$i]}'")
done
"$IM" -size 322x138 xc:'#E8E8E8' -font "$SANS" -pointsize 11 "${args[@]}" \
  -strip -colors 64 -interlace GIF "GIF:$out/colors.gif"

# ---------------------------------------------------------------- toolbar.bmp
# The help window's toolbar, drawn at its real positions: Contents 11..89,
# Back 101..125, Forward 130..154, Print 168..199, "Font Size" label at 211,
# spin box 261..300, Copy 314..338. Dividers at 94, 160, 205, 306 and 344.
"$IM" -size 352x31 xc:"$FACE" \
  -stroke "$SHADOW" -draw 'line 94,4 94,26' -draw 'line 160,4 160,26' \
    -draw 'line 205,4 205,26' -draw 'line 306,4 306,26' -draw 'line 344,4 344,26' \
  -stroke "$HILITE" -draw 'line 95,4 95,26' -draw 'line 161,4 161,26' \
    -draw 'line 206,4 206,26' -draw 'line 307,4 307,26' -draw 'line 345,4 345,26' \
  -stroke none \
  -fill '#1F4E9C' -draw 'polygon 15,9 22,8 22,22 15,23' -draw 'polygon 29,9 22,8 22,22 29,23' \
  -fill '#F4F1E0' -draw 'polygon 16,10 21,9 21,21 16,22' -draw 'polygon 28,10 23,9 23,21 28,22' \
  -fill black -font "$SANS" -pointsize 11 -draw 'text 34,20 "Contents"' \
  -fill '#0A7A2A' -draw 'polygon 105,15 115,7 115,12 121,12 121,18 115,18 115,23' \
  -fill '#0A7A2A' -draw 'polygon 150,15 140,7 140,12 134,12 134,18 140,18 140,23' \
  -fill '#606060' -draw 'rectangle 174,13 193,22' \
  -fill white -stroke black -draw 'rectangle 177,6 190,13' -draw 'rectangle 177,19 190,26' \
  -stroke none -fill black -draw 'line 179,22 188,22' -draw 'line 179,24 186,24' \
  -fill black -pointsize 10 -draw 'text 211,20 "Font Size"' -pointsize 11 \
  -fill white -stroke "$SHADOW" -draw 'rectangle 261,5 286,25' \
  -stroke none -fill black -draw 'text 266,20 "12"' \
  -fill "$FACE" -stroke "$SHADOW" -draw 'rectangle 287,5 300,14' -draw 'rectangle 287,16 300,25' \
  -stroke none -fill black -draw 'polygon 290,12 297,12 293.5,8' -draw 'polygon 290,18 297,18 293.5,22' \
  -fill white -stroke black -draw 'rectangle 317,6 328,19' -draw 'rectangle 323,11 334,24' \
  -stroke none -fill '#1F4E9C' -draw 'line 325,15 332,15' -draw 'line 325,18 332,18' -draw 'line 325,21 330,21' \
  -strip -colors 64 -type Palette -compress none "BMP3:$out/toolbar.bmp"

# ---------------------------------------------------------------- startup_bar.bmp
# The bottom bar of a start-up page: the check box and the OK button, drawn
# at two thirds of the real spacing (24-bit colour).
"$IM" -size 380x31 xc:"$FACE" \
  -fill white -stroke "$SHADOW" -draw 'rectangle 12,9 24,21' \
  -stroke black -strokewidth 2 -draw 'polyline 15,15 18,18 22,11' -strokewidth 1 \
  -stroke none -fill black -font "$SANS" -pointsize 11 \
    -draw 'text 30,20 "Do not Show this Message Again"' \
  -fill "$FACE" -stroke black -draw 'rectangle 300,4 370,26' \
  -stroke "$HILITE" -draw 'line 301,5 368,5' -draw 'line 301,5 301,24' \
  -stroke "$SHADOW" -draw 'line 302,25 369,25' -draw 'line 369,5 369,25' \
  -stroke none -fill '#0A7A2A' -draw 'polygon 318,15 321,12 325,16 333,8 336,11 325,21' \
  -fill black -draw 'text 342,20 "OK"' \
  -strip -type TrueColor -compress none "BMP3:$out/startup_bar.bmp"

# ---------------------------------------------------------------- package_layout.jpg
# The layout of a help package: the text index, the "******" line, then the
# bytes of every page and picture, with arrows from index lines to data.
"$IM" -size 440x260 xc:white \
  -fill '#EAF1FB' -stroke '#1F4E9C' -draw 'rectangle 10,10 200,178' \
  -fill '#FFF4D6' -stroke '#B07A00' -draw 'rectangle 10,182 200,200' \
  -fill '#E7F6E7' -stroke '#2E7D32' \
    -draw 'rectangle 250,10 430,60' -draw 'rectangle 250,64 430,100' \
    -draw 'rectangle 250,104 430,150' -draw 'rectangle 250,154 430,220' \
  -stroke none -fill '#0A2A5E' -font "$MONO" -pointsize 11 \
    -draw 'text 18,30 "START,250"' \
    -draw 'text 18,52 "contents.html,0"' \
    -draw 'text 18,74 "about.html,5210"' \
    -draw 'text 18,96 "images/logo.gif,9034"' \
    -draw 'text 18,118 "images/toolbar.bmp,9876"' \
    -draw 'text 18,140 "packing.html,22470"' \
    -draw 'text 18,162 "..."' \
  -fill '#7A4F00' -draw 'text 18,196 "******"' \
  -fill '#1B5E20' \
    -draw 'text 258,30 "contents.html"' -draw 'text 258,80 "about.html"' \
    -draw 'text 258,124 "images/logo.gif"' -draw 'text 258,174 "images/toolbar.bmp"' \
    -draw 'text 258,210 "..."' \
  -stroke '#C0392B' -strokewidth 2 \
    -draw 'line 165,48 248,20' -draw 'line 160,70 248,70' \
    -draw 'line 190,92 248,114' -draw 'line 195,114 248,164' \
  -stroke none -fill '#C0392B' \
    -draw 'polygon 248,20 240,19 243,26' -draw 'polygon 248,70 241,66 241,74' \
    -draw 'polygon 248,114 239,114 243,107' -draw 'polygon 248,164 239,162 244,156' \
  -fill black -font "$SANS" -pointsize 12 \
    -draw 'text 14,224 "index: NAME,OFFSET lines (CR LF)"' \
    -draw 'text 14,242 "offsets count from the START base"' \
    -draw 'text 250,242 "data: pages and pictures"' \
  -strip -quality 85 -interlace none "JPEG:$out/package_layout.jpg"

# ---------------------------------------------------------------- window.jpg
# A sketch of the help window at half size: caption, toolbar, page with a
# scroll bar.
"$IM" -size 280x190 xc:'#C0C0C0' \
  -fill '#0A246A' -draw 'rectangle 0,0 279,17' \
  -fill white -font "$BOLD" -pointsize 10 -draw 'text 6,13 "KivHelp Contents"' \
  -fill '#C0C0C0' -stroke black -draw 'rectangle 262,3 275,14' \
  -stroke none -fill black -draw 'line 265,6 272,11' -draw 'line 272,6 265,11' \
  -fill '#C0C0C0' -stroke '#808080' -draw 'rectangle 4,21 44,35' \
  -stroke none -fill black -font "$SANS" -pointsize 8 -draw 'text 8,31 "Contents"' \
  -fill '#0A7A2A' -draw 'polygon 51,28 59,22 59,34' -draw 'polygon 75,28 67,22 67,34' \
  -fill '#606060' -draw 'rectangle 86,25 98,33' \
  -fill black -draw 'text 106,31 "Font Size"' \
  -fill white -stroke '#808080' -draw 'rectangle 143,22 160,34' \
  -stroke none -fill black -draw 'text 146,31 "12"' \
  -fill white -stroke black -draw 'rectangle 168,23 175,31' -draw 'rectangle 171,26 178,34' \
  -fill white -stroke '#808080' -draw 'rectangle 2,39 277,187' \
  -fill '#D4D0C8' -draw 'rectangle 264,40 276,186' \
  -fill '#A0A0A0' -stroke none -draw 'rectangle 265,52 275,90' \
  -fill '#0A2A5E' -font "$BOLD" -pointsize 14 -draw 'text 12,62 "KivHelp"' \
  -fill '#0000FF' -font "$SANS" -pointsize 9 \
    -draw 'text 16,84 "Using the viewer"' -draw 'text 16,98 "Writing pages"' \
    -draw 'text 16,112 "HTML reference"' -draw 'text 16,126 "Packing help"' \
    -draw 'line 16,86 88,86' -draw 'line 16,100 78,100' \
    -draw 'line 16,114 84,114' -draw 'line 16,128 76,128' \
  -fill '#404040' -draw 'text 16,150 "Links, Back and Forward, font size,"' \
    -draw 'text 16,162 "printing and copying."' \
  -strip -quality 85 -interlace none "JPEG:$out/window.jpg"

ls -l "$out"
