#!/usr/bin/env bash
# Draws the icons the program ships for desktops whose icon theme lacks one (the application
# icon is packaging/icons/vistrel.svg). Needs ImageMagick; the PNGs are committed, so building
# does not.
set -euo pipefail
cd "$(dirname "$0")/icons"
im=/usr/bin/convert
s16=(-size 16x16 xc:none -strokewidth 1)

"$im" "${s16[@]}" -fill white -stroke '#606060' -draw 'polygon 3,1 10,1 13,4 13,14 3,14' \
  -fill '#d0d0d0' -draw 'polygon 10,1 10,4 13,4' new.png
"$im" "${s16[@]}" -fill '#e8b830' -stroke '#8a6a10' -draw 'polygon 1,3 6,3 7,5 14,5 14,13 1,13' \
  -fill '#f6d66a' -draw 'polygon 1,13 3,7 15,7 14,13' open.png
"$im" "${s16[@]}" -fill '#3a6fb0' -stroke '#1d3d66' -draw 'rectangle 1,1 14,14' \
  -fill white -stroke none -draw 'rectangle 4,2 11,6' -fill '#c8c8c8' -draw 'rectangle 4,9 11,14' save.png
"$im" "${s16[@]}" -fill '#cfe6ff' -stroke '#204a87' -strokewidth 2 -draw 'circle 6,6 6,2' \
  -draw 'line 9,9 14,14' search.png
"$im" "${s16[@]}" -fill '#cc2222' -stroke '#7a1010' \
  -draw 'polygon 5,1 10,1 14,5 14,10 10,14 5,14 1,10 1,5' \
  -fill white -stroke none -draw 'rectangle 4,7 11,8' stop.png
"$im" "${s16[@]}" -fill '#5b9bd5' -stroke '#1f4e79' -draw 'circle 7.5,7.5 7.5,1' \
  -fill none -draw 'ellipse 7.5,7.5 3,6.5 0,360' -draw 'line 1,7.5 14,7.5' browse.png
"$im" "${s16[@]}" -fill '#2e9e3e' -stroke none -draw 'rectangle 6,2 9,13' -draw 'rectangle 2,6 13,9' add.png
"$im" "${s16[@]}" -stroke '#cc2222' -strokewidth 3 -draw 'line 3,3 12,12' -draw 'line 12,3 3,12' delete.png
"$im" "${s16[@]}" -fill '#3465a4' -stroke none -draw 'polygon 7.5,1 14,8 10,8 10,14 5,14 5,8 1,8' up.png
"$im" "${s16[@]}" -fill '#3465a4' -stroke none -draw 'polygon 7.5,14 14,7 10,7 10,1 5,1 5,7 1,7' down.png
"$im" "${s16[@]}" -fill '#888888' -stroke '#444444' -draw 'circle 7.5,7.5 7.5,2' \
  -strokewidth 2 -draw 'line 7.5,0 7.5,15' -draw 'line 0,7.5 15,7.5' -draw 'line 2,2 13,13' \
  -draw 'line 13,2 2,13' -fill '#888888' -strokewidth 1 -draw 'circle 7.5,7.5 7.5,3' \
  -fill white -draw 'circle 7.5,7.5 7.5,5.5' options.png
"$im" "${s16[@]}" -fill '#3465a4' -stroke '#204a87' -draw 'circle 7.5,7.5 7.5,1' \
  -fill white -stroke none -draw 'rectangle 7,6 8,12' -draw 'rectangle 7,3 8,4' about.png
