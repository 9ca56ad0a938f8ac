#!/bin/sh
# Draws the viewer's tool-button faces and its icon, renders a preview of the
# tool strip, and checks the results. The outputs are committed, so building
# needs none of the tools used here: ImageMagick's convert, the Liberation
# fonts, /usr/bin/python3 and x86_64-w64-mingw32-windres (for the check).
#
# Everything is drawn at its final size, one pixel per pixel: text is rendered
# 1:1 and arrows are plotted pixel by pixel, so nothing is blurred by scaling.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

FONT=/usr/share/fonts/truetype/liberation/LiberationSansNarrow-Bold.ttf
MONO=/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf
TEXT="-font $FONT -density 72 -pointsize 12"

# A 24-bit bottom-up BMP without colour-space extras, as LoadBitmap reads it.
as_bmp() {
	convert "$1" -alpha off -type TrueColor "BMP3:$here/$2"
}

# Near-black 60 x 20 button: grey highlight along the top, darker bottom and
# right edges, light-green caption.
dark_button() { # file caption
	convert -size 60x20 gradient:'rgb(40,42,40)-rgb(12,13,12)' +antialias \
		-fill 'rgb(150,152,150)' -draw 'line 1,0 58,0' \
		-fill 'rgb(74,76,74)' -draw 'line 1,1 58,1' \
		-fill 'rgb(58,60,58)' -draw 'line 0,1 0,18' \
		-fill 'rgb(4,4,4)' -draw 'line 59,1 59,18 line 1,19 58,19' \
		-fill 'rgb(36,37,36)' -draw 'point 0,0 point 59,0 point 0,19 point 59,19' \
		-antialias $TEXT -fill 'rgb(144,238,144)' -gravity center -annotate +0+0 "$2" \
		"$work/face.png"
	as_bmp "$work/face.png" "$1"
}

# Orange arrow as pixel rectangles: a 45-degree head whose tip is at column
# $1, row 9, pointing left when $2 is 1 and right when $2 is -1, then a shaft.
arrow() { # tip_column direction
	for k in 0 1 2 3 4 5; do
		x=$(($1 + $2 * k))
		echo "rectangle $x,$((9 - k)) $x,$((9 + k))"
	done
	a=$(($1 + $2 * 6))
	b=$(($1 + $2 * 10))
	[ $a -lt $b ] && echo "rectangle $a,8 $b,10" || echo "rectangle $b,8 $a,10"
}

# Rightmost inked column of a text drawn at x = 0.
ink_right() {
	convert -size 92x20 xc:none $TEXT -fill white -gravity west -annotate +0+0 "$1" \
		-trim -format '%[fx:page.x + w - 1]' info:
}

# Two 46 x 20 halves on a grey-green face reading "<- word ->". The word is
# drawn once across both so its spacing is natural, placed so that the seam
# falls in the gap after the letters in $3; each half then gets its own outer
# edge and arrow.
pair() { # left_file right_file first_letters other_letters text_colour shadow_colour
	word="$3$4"
	x=$((44 - $(ink_right "$3")))
	convert -size 92x20 gradient:'rgb(132,150,130)-rgb(96,112,94)' +antialias \
		-fill 'rgb(206,218,204)' -draw 'line 0,0 91,0' \
		-fill 'rgb(160,176,158)' -draw 'line 0,1 91,1' \
		-fill 'rgb(60,72,60)' -draw 'line 0,19 91,19' \
		-antialias $TEXT -gravity west \
		-fill "$6" -annotate +$x+1 "$word" \
		-fill "$5" -annotate +$x+0 "$word" \
		"$work/pair.png"
	convert "$work/pair.png" -crop 46x20+0+0 +repage +antialias \
		-fill 'rgb(170,186,168)' -draw 'line 0,1 0,18' \
		-fill 'rgb(62,74,60)' -draw "translate 0,1 $(arrow 3 1)" \
		-fill 'rgb(244,115,52)' -draw "$(arrow 3 1)" \
		"$work/left.png"
	convert "$work/pair.png" -crop 46x20+46+0 +repage +antialias \
		-fill 'rgb(70,84,70)' -draw 'line 45,1 45,18' \
		-fill 'rgb(62,74,60)' -draw "translate 0,1 $(arrow 42 -1)" \
		-fill 'rgb(244,115,52)' -draw "$(arrow 42 -1)" \
		"$work/right.png"
	as_bmp "$work/left.png" "$1"
	as_bmp "$work/right.png" "$2"
}

dark_button auto_range.bmp "Auto Range"
dark_button full_range.bmp "Full Range"
dark_button auto_load.bmp "AutoLoad"
dark_button lock_load.bmp "LockLoad"
dark_button raw_load.bmp "RawLoad"
dark_button header_on.bmp "Header On"
dark_button header_off.bmp "Header Off"
# "Black" in black over a light edge, "White" in white over a dark one.
pair black_left.bmp black_right.bmp Bl ack 'rgb(12,14,12)' 'rgb(170,188,168)'
pair white_left.bmp white_right.bmp Wh ite 'rgb(255,255,255)' 'rgb(66,78,64)'

# The tool strip as the main window shows it at start, over its black
# background: faces at their control positions, the two level read-outs as
# the viewer draws them (green Courier-like text on black, top line).
convert -size 314x50 xc:black \
	"$here/auto_range.bmp" -geometry +5+5 -composite \
	"$here/full_range.bmp" -geometry +249+5 -composite \
	"$here/auto_load.bmp" -geometry +5+25 -composite \
	"$here/black_left.bmp" -geometry +65+25 -composite \
	"$here/black_right.bmp" -geometry +111+25 -composite \
	"$here/white_left.bmp" -geometry +157+25 -composite \
	"$here/white_right.bmp" -geometry +203+25 -composite \
	"$here/header_on.bmp" -geometry +249+25 -composite \
	-font "$MONO" -density 72 -pointsize 11 -fill 'rgb(0,128,0)' -gravity northwest \
	-annotate +$((65 + 46 - 4))+6 "0" \
	-annotate +$((157 + 46 - 24))+6 "666.67" \
	-strip -define png:exclude-chunks=date,time "$here/toolstrip-preview.png"
