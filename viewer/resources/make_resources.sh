#!/bin/sh
# Draws the viewer's tool-button faces and its icon, renders a preview of the
# tool strip, and checks the results. The outputs are committed, so building
# needs none of the tools used here: ImageMagick's convert, the Liberation
# fonts, /usr/bin/python3 and x86_64-w64-mingw32-windres (for the check).
#
# The faces are drawn at their final size: text is rendered 1:1 and arrows
# are plotted pixel by pixel, so nothing on them is blurred by scaling.
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

# The icon: a telescope on a tripod under a starry sky, in a round badge.
# Shapes are drawn at 512 x 512 (in 256-unit coordinates) and reduced to the
# icon size; the stars are plotted afterwards at the final size so that they
# stay sharp. The 16-colour image uses only the 16 standard Windows colours,
# drawn without antialiasing and reduced by point sampling, so no other
# colour appears in it.
icon_colours() { # 256 | 16
	if [ "$1" = 256 ]; then
		SKY='radial-gradient:rgb(46,72,152)-rgb(10,14,46)' RIM='rgb(110,140,210)'
		TUBE='rgb(214,220,232)' LIT='rgb(250,252,255)' SHADE='rgb(120,130,150)'
		BAND='rgb(40,80,190)' SHIELD='rgb(236,240,248)' SHIELD_SHADE='rgb(140,150,170)'
		LENS='rgb(30,40,70)' EYEPIECE='rgb(100,110,130)' LEG='rgb(160,124,78)' HUB='rgb(50,50,60)'
		STAR='rgb(255,236,150)' CORE='rgb(255,255,255)' GLOW='rgb(120,116,110)' DOT='rgb(210,220,255)'
		SMOOTH='-antialias' REDUCE='-scale'
	else
		SKY='xc:rgb(0,0,128)' RIM='rgb(0,0,255)'
		TUBE='rgb(192,192,192)' LIT='rgb(255,255,255)' SHADE='rgb(128,128,128)'
		BAND='rgb(0,0,255)' SHIELD='rgb(255,255,255)' SHIELD_SHADE='rgb(192,192,192)'
		LENS='rgb(0,0,0)' EYEPIECE='rgb(128,128,128)' LEG='rgb(128,128,0)' HUB='rgb(0,0,0)'
		STAR='rgb(255,255,0)' CORE='rgb(255,255,255)' GLOW='rgb(0,0,128)' DOT='rgb(255,255,255)'
		SMOOTH='+antialias' REDUCE='-sample'
	fi
}

# A star: bright core, arms of the given length, dim diagonal neighbours.
sparkle() { # x y arm
	echo "fill $GLOW point $(($1 - 1)),$(($2 - 1)) point $(($1 + 1)),$(($2 - 1))"
	echo "point $(($1 - 1)),$(($2 + 1)) point $(($1 + 1)),$(($2 + 1))"
	echo "fill $STAR line $(($1 - $3)),$2 $(($1 + $3)),$2 line $1,$(($2 - $3)) $1,$(($2 + $3))"
	echo "fill $CORE point $1,$2"
}

stars() { # size
	if [ "$1" = 64 ]; then
		sparkle 16 17 4
		sparkle 38 10 2
		sparkle 11 33 1
		echo "fill $DOT point 27,25 point 47,8 point 52,39 point 22,8 point 15,45 point 58,30"
	else
		sparkle 8 9 2
		sparkle 19 5 1
		echo "fill $DOT point 13,13 point 5,17 point 26,19 point 12,4"
	fi
}

icon_image() { # file size colours
	icon_colours "$3"
	convert -size 512x512 "$SKY" $SMOOTH \
		\( -size 512x512 xc:none $SMOOTH -fill white -draw 'circle 256,256 256,12' \) \
		-compose CopyOpacity -composite -compose Over \
		-fill none -stroke "$RIM" -strokewidth 14 -draw 'circle 256,256 256,19' -stroke none \
		-draw "scale 2,2
			stroke $LEG stroke-width 11 stroke-linecap round
			line 128,160 74,234 line 128,160 182,234 line 128,160 128,242
			stroke none
			push graphic-context translate 124,140 rotate -32
				fill $TUBE roundrectangle -84,-20 66,20 8,8
				fill $LIT rectangle -80,-17 62,-8
				fill $SHADE rectangle -84,8 66,20
				fill $BAND rectangle -22,-22 -8,22
				fill $SHIELD roundrectangle 60,-27 96,27 6,6
				fill $SHIELD_SHADE rectangle 60,10 96,27
				fill $LENS rectangle 92,-22 98,22
				fill $EYEPIECE rectangle -106,-9 -84,9
			pop graphic-context
			fill $HUB circle 128,160 128,172" \
		$REDUCE "$2x$2" -channel A -threshold 50% +channel \
		+antialias -draw "$(stars "$2")" "$1"
}

icon_image "$work/icon32_16.png" 32 16
icon_image "$work/icon32_256.png" 32 256
icon_image "$work/icon64_256.png" 64 256
convert "$work/icon32_16.png" -depth 8 "RGBA:$work/icon32_16.rgba"
convert "$work/icon32_256.png" +dither -colors 255 -depth 8 "RGBA:$work/icon32_256.rgba"
convert "$work/icon64_256.png" +dither -colors 255 -depth 8 "RGBA:$work/icon64_256.rgba"
/usr/bin/python3 "$here/write_icon.py" "$here/kelvra.ico" \
	"32x32:4:$work/icon32_16.rgba" \
	"32x32:8:$work/icon32_256.rgba" \
	"64x64:8:$work/icon64_256.rgba"

# The tool strip as the main window shows it at start, over its black
# background: faces at their control positions, and the two 92-pixel level
# read-outs as the viewer draws them, green monospaced text on black, placed
# as if each character were 8 pixels wide.
readout() { # field_x text
	echo "-annotate +$(($1 + 46 - ${#2} * 4))+6 $2"
}
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
	$(readout 65 0) $(readout 157 666.67) \
	-strip -define png:exclude-chunks=date,time "$here/toolstrip-preview.png"

# Check the files as Windows will read them, and the string table as both
# windres compilers build it.
for arch in x86_64 i686; do
	$arch-w64-mingw32-windres -I "$here" "$here/kelvra.rc" -O res -o "$work/kelvra-$arch.res"
	/usr/bin/python3 "$here/check_resources.py" "$here" "$work/kelvra-$arch.res"
done
