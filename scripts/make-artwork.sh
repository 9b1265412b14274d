#!/usr/bin/env bash
# Draws the setup wizard's artwork from scratch with ImageMagick and writes it
# into assets/:
#
#   background.jpg  752 x 480 colour JPEG (baseline) stretched behind the wizard
#   side.bmp        164 x 315, 24 bpp: the strip of the welcome and finish pages
#   header.bmp      55 x 55, 24 bpp: the emblem at the right of the header band
#   side-150.jpg, side-200.jpg, header-150.jpg, header-200.jpg
#                   the same two drawn for displays at 150 % and 200 %
#   quorvel.ico     the product icon: 32 x 32 and 16 x 16 at 16 colours,
#                   24 x 24 in true colour with transparency, and 48 x 48 and
#                   64 x 64 (150 % and 200 %) as PNG images
#
#   make-artwork.sh [OUTDIR] [PREVIEWDIR]
#
# OUTDIR defaults to the repository's assets/. With PREVIEWDIR, PNG previews
# are written there too: each picture as it is, the background with the
# product name over it as the program draws it, and the two pages that show
# the side strip and the header emblem.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
out="${1:-$here/../assets}"
previews="${2:-}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
if [ -n "$previews" ]; then
  mkdir -p "$previews"
  previews="$(cd "$previews" && pwd)"
fi

command -v convert >/dev/null || { echo "make-artwork: ImageMagick's convert is needed" >&2; exit 1; }
command -v python3 >/dev/null || { echo "make-artwork: python3 is needed" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

# ---------------------------------------------------------------------------
# The emblem: a rounded badge in a blue diagonal gradient with a soft light
# on its upper half, a thin light rim, and a monogram "K" drawn with round
# strokes: white stem and arm, pale blue leg. Drawn at 512 px and scaled down.
S=512
emblem() { # OUT STROKE_WIDTH CORNER_RADIUS
  local outf="$1" sw="$2" r="$3"
  convert -size ${S}x${S} xc: -sparse-color Barycentric "0,0 #4A9BE0 ${S},${S} #0E3A72" \
    \( -size ${S}x${S} xc:none -fill "rgba(255,255,255,0.18)" \
       -draw "ellipse 200,120 260,150 0,360" -blur 0x30 \) -compose over -composite \
    \( -size ${S}x${S} xc:none -fill white -draw "roundrectangle 12,12 499,499 $r,$r" \) \
    -compose CopyOpacity -composite -compose over \
    -fill none -stroke "rgba(255,255,255,0.35)" -strokewidth 10 \
    -draw "roundrectangle 17,17 494,494 $((r - 5)),$((r - 5))" \
    -strokewidth "$sw" \
    -stroke "#A8DBFF" -draw "stroke-linecap round line 262,250 352,378" \
    -stroke white -draw "stroke-linecap round line 168,134 168,378" \
    -draw "stroke-linecap round line 206,270 352,134" \
    "$outf"
}
emblem emblem.png 64 112

# ---------------------------------------------------------------------------
# Background: light in the upper left, where the program writes the product
# name in blue, deepening towards the bottom; a soft glow with a few faint
# circles on the right and three translucent waves along the bottom.
W=752 H=480
convert -size ${W}x${H} xc: \
  -sparse-color Barycentric "0,0 #F8FBFE  752,60 #D3E4F4  330,480 #4A80BC" bg-base.png
convert -size ${W}x${H} xc:none \
  -fill "rgba(255,255,255,0.30)" -draw "circle 660,70 660,250" -blur 0x30 bg-glow.png
convert -size ${W}x${H} xc:none \
  -fill "rgba(255,255,255,0.16)" -draw "circle 600,150 600,205" \
  -fill "rgba(255,255,255,0.12)" -draw "circle 690,215 690,245" \
  -fill "rgba(255,255,255,0.10)" -draw "circle 520,90 520,112" \
  -blur 0x2 bg-circles.png
convert -size ${W}x${H} xc:none \
  -fill "rgba(255,255,255,0.30)" -draw "path 'M -10,330 C 170,250 400,400 762,260 L 762,490 L -10,490 Z'" \
  -fill "rgba(20,70,140,0.22)" -draw "path 'M -10,390 C 200,320 430,450 762,330 L 762,490 L -10,490 Z'" \
  -fill "rgba(10,50,110,0.25)" -draw "path 'M -10,440 C 220,380 470,480 762,400 L 762,490 L -10,490 Z'" \
  -blur 0x2 bg-waves.png
convert -size ${W}x${H} xc:none -fill none \
  -stroke "rgba(255,255,255,0.55)" -strokewidth 2 -draw "path 'M -10,330 C 170,250 400,400 762,260'" \
  -stroke "rgba(255,255,255,0.35)" -strokewidth 1.5 -draw "path 'M -10,390 C 200,320 430,450 762,330'" \
  -blur 0x0.6 bg-lines.png
convert bg-base.png bg-glow.png -composite bg-circles.png -composite \
  bg-waves.png -composite bg-lines.png -composite -alpha off background.png
convert background.png -strip -type TrueColor -colorspace sRGB -interlace none \
  -sampling-factor 2x2,1x1,1x1 -quality 85 "JPEG:$out/background.jpg"

# ---------------------------------------------------------------------------
# The page pictures are drawn for three scales of the display, 100 %, 150 %
# and 200 %, each from the shapes themselves rather than from a smaller
# picture, so that each is sharp at its own size. Every number of a drawing
# is in pixels at 100 % and goes through these:
#   k NUMBER   the number at the scale $K, as written (1.2, 130)
#   kr NUMBER  rounded to a whole pixel
#   kp TEXT    every number in a list of points or a path
k() { awk -v v="$1" -v k="$K" 'BEGIN { printf "%g", v * k }'; }
kr() { awk -v v="$1" -v k="$K" 'BEGIN { printf "%d", v * k + 0.5 }'; }
kp() { printf '%s' "$1" | perl -pe 's/(-?\d+(?:\.\d+)?)/sprintf("%g", $1 * $ENV{K})/ge'; }

# The 100 % pictures are 24-bit bitmaps; the larger ones are kept as JPEG,
# which keeps setup.exe a megabyte smaller. At 150 % and 200 % a pixel is
# too small for halved colour resolution to show, and quality 90 cannot be
# told from the bitmap there.
save() { # PNG OUT
  case "$2" in
    *.bmp) convert "$1" -type TrueColor "BMP3:$2" ;;
    *.jpg) convert "$1" -strip -type TrueColor -colorspace sRGB -interlace none \
             -sampling-factor 2x2,1x1,1x1 -quality 90 "JPEG:$2" ;;
  esac
}

# Side strip: deep blue at the top with the emblem, two waves echoing the
# background, and a fade to white towards the bottom, so that the strip runs
# out into the white page.
side() { # OUT
  local W H ew
  W=$(kr 164) H=$(kr 315)
  convert -size ${W}x${H} xc: \
    -sparse-color Barycentric "0,0 #174A88  $(k 164),0 #2A66AA  0,$(k 315) #6FA6DC" side-base.png
  convert -size ${W}x${H} xc:none \
    -fill "rgba(255,255,255,0.22)" -draw "circle $(kp "130,40 130,95")" -blur 0x$(k 14) side-glow.png
  convert -size ${W}x${H} xc:none \
    -fill "rgba(255,255,255,0.16)" -draw "path '$(kp "M -5,190 C 40,160 100,220 170,170 L 170,320 L -5,320 Z")'" \
    -fill "rgba(255,255,255,0.20)" -draw "path '$(kp "M -5,222 C 50,192 110,247 170,209 L 170,320 L -5,320 Z")'" \
    -blur 0x$(k 1) side-waves.png
  convert -size ${W}x${H} xc:none -fill none \
    -stroke "rgba(255,255,255,0.65)" -strokewidth $(k 1.2) -draw "path '$(kp "M -5,190 C 40,160 100,220 170,170")'" \
    -stroke "rgba(255,255,255,0.45)" -draw "path '$(kp "M -5,222 C 50,192 110,247 170,209")'" side-lines.png
  convert -size ${W}x${H} -define gradient:vector=$(kp "0,170,0,305") \
    "gradient:rgba(255,255,255,0)-rgba(255,255,255,1)" side-fade.png
  convert emblem.png -resize $(kr 84)x$(kr 84) \
    \( +clone -background "rgba(0,20,60,0.6)" -shadow 60x$(k 4)+0+$(kr 3) \) +swap \
    -background none -layers merge +repage side-emblem.png
  # The page shows 161 of the 164 columns: centre the emblem on those.
  ew=$(identify -format %w side-emblem.png)
  convert side-base.png side-glow.png -composite side-waves.png -composite \
    side-lines.png -composite side-fade.png -composite \
    side-emblem.png -geometry +$((($(kr 161) - ew) / 2))+$(kr 40) -composite -alpha off side.png
  save side.png "$1"
}

# Header: the emblem on white, with a margin inside the 55 x 55 square.
header() { # OUT
  convert emblem.png -resize $(kr 47)x$(kr 47) \
    \( +clone -background "rgba(0,20,60,0.35)" -shadow 60x$(k 1)+0+$(kr 1) \) +swap \
    -background none -layers merge +repage header-emblem.png
  convert -size $(kr 55)x$(kr 55) xc:white header-emblem.png -gravity center -composite \
    -alpha off header.png
  save header.png "$1"
}

for percent in 100 150 200; do
  export K
  K=$(awk -v p=$percent 'BEGIN { printf "%g", p / 100 }')
  name=".bmp"
  [ "$percent" = 100 ] || name="-$percent.jpg"
  side "$out/side$name"
  header "$out/header$name"
done

# ---------------------------------------------------------------------------
# Icon: 32 x 32 scaled from the emblem and reduced to 15 colours; 16 x 16 set
# pixel by pixel, since a scaled monogram is blurred at that size. Both are
# written as 4 bpp images with an AND mask for the transparent corners.
# For displays at 150 % and 200 %: 24, 48 and 64 pixels scaled from the
# emblem, 24 in 32 bpp with its transparency (and an AND mask for systems
# that draw without it), 48 and 64 as PNG images, which icon files hold
# since Windows Vista: a fifth of the bytes.
convert emblem.png -resize 32x32 emblem32.png
convert emblem32.png -background "#1E5AA0" -flatten -alpha off +dither -colors 15 \
  -depth 8 rgb:icon32.rgb
convert emblem32.png -alpha extract -threshold 50% -depth 8 gray:icon32.mask
convert emblem.png -resize 24x24 -depth 8 rgba:icon24.rgba
for size in 48 64; do
  convert emblem.png -resize ${size}x${size} -strip -define png:compression-level=9 \
    -define png:exclude-chunks=date,time PNG32:icon$size.png
done

python3 - "$out/quorvel.ico" <<'PY'
import struct, sys

def read_32():
    rgb = open("icon32.rgb", "rb").read()
    mask = open("icon32.mask", "rb").read()
    return [(tuple(rgb[i * 3:i * 3 + 3]) if mask[i] else None) for i in range(32 * 32)]

# 16 x 16 monogram: '.' transparent, 'b' badge (shaded by position),
# 'W' white stem and arm, 'c' pale blue leg, 'r' light rim.
ART16 = [
    "..rrrrrrrrrrrr..",
    ".rbbbbbbbbbbbbr.",
    "rbbbbbbbbbbbbbbr",
    "rbbbWWbbbbWWbbbr",
    "rbbbWWbbbWWbbbbr",
    "rbbbWWbbWWbbbbbr",
    "rbbbWWbWWbbbbbbr",
    "rbbbWWWWbbbbbbbr",
    "rbbbWWWccbbbbbbr",
    "rbbbWWbbccbbbbbr",
    "rbbbWWbbbccbbbbr",
    "rbbbWWbbbbccbbbr",
    "rbbbWWbbbbbccbbr",
    "rbbbbbbbbbbbbbbr",
    ".rbbbbbbbbbbbbr.",
    "..rrrrrrrrrrrr..",
]
SHADES = [(0x4A, 0x9B, 0xE0), (0x3A, 0x84, 0xCC), (0x2B, 0x6D, 0xB4),
          (0x1E, 0x58, 0x9C), (0x14, 0x46, 0x84)]

def art_16():
    px = []
    for y, row in enumerate(ART16):
        assert len(row) == 16
        for x, ch in enumerate(row):
            if ch == '.':
                px.append(None)
            elif ch == 'W':
                px.append((0xFF, 0xFF, 0xFF))
            elif ch == 'c':
                px.append((0xA8, 0xDB, 0xFF))
            elif ch == 'r':
                px.append((0x7F, 0xB4, 0xE6) if x + y < 16 else (0x2B, 0x6D, 0xB4))
            else:
                px.append(SHADES[min(4, (x + y) * 5 // 30)])
    assert len(ART16) == 16
    return px

def icon_image(size, px):
    # Transparent pixels are black in the colour bitmap and set in the mask,
    # so the screen shows through unchanged.
    palette = [(0, 0, 0)]
    for p in px:
        if p is not None and p not in palette:
            palette.append(p)
    if len(palette) > 16:
        sys.exit("make-artwork: %d x %d icon has %d colours" % (size, size, len(palette)))
    palette += [(0, 0, 0)] * (16 - len(palette))
    xor_stride = (size * 4 + 31) // 32 * 4
    and_stride = (size + 31) // 32 * 4
    xor, andm = bytearray(), bytearray()
    for y in reversed(range(size)):        # bottom-up
        row = px[y * size:(y + 1) * size]
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, p in enumerate(row):
            idx = 0 if p is None else palette.index(p)
            line[x // 2] |= idx << (4 if x % 2 == 0 else 0)
            if p is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        andm += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(xor) + len(andm), 0, 0, 16, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    return header + pal + bytes(xor) + bytes(andm)

def true_colour_image(size):
    rgba = open("icon%d.rgba" % size, "rb").read()
    xor, andm = bytearray(), bytearray()
    and_stride = (size + 31) // 32 * 4
    for y in reversed(range(size)):        # bottom-up
        bits = bytearray(and_stride)
        for x in range(size):
            r, g, b, a = rgba[(y * size + x) * 4:(y * size + x) * 4 + 4]
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        andm += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(andm), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(andm)

# (size, colours in the directory entry, bits per pixel, image)
images = [(32, 16, 4, icon_image(32, read_32())), (16, 16, 4, icon_image(16, art_16()))]
images += [(24, 0, 32, true_colour_image(24))]
images += [(size, 0, 32, open("icon%d.png" % size, "rb").read()) for size in (48, 64)]
data = struct.pack("<HHH", 0, 1, len(images))
offset = 6 + 16 * len(images)
for size, colours, bpp, blob in images:
    data += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bpp, len(blob), offset)
    offset += len(blob)
for _, _, _, blob in images:
    data += blob
open(sys.argv[1], "wb").write(data)
PY

# ---------------------------------------------------------------------------
if [ -n "$previews" ]; then
  convert "$out/background.jpg" "$previews/background.png"
  convert "$out/background.jpg" -font Liberation-Sans-Bold -pointsize 48 \
    -fill "rgb(0,0,255)" -annotate +34+64 "Кворвель" "$previews/background-name.png"
  # As on a 1024 x 768 screen, with the wizard page's place marked.
  convert "$out/background.jpg" -resize 1024x768\! -font Liberation-Sans-Bold -pointsize 48 \
    -fill "rgb(0,0,255)" -annotate +34+64 "Кворвель" \
    -fill "#D4D0C8" -stroke "#404040" -draw "rectangle 260,191 763,576" \
    "$previews/background-screen.png"
  convert "$out/side.bmp" -scale 200% "$previews/side-2x.png"
  convert "$out/header.bmp" -scale 400% "$previews/header-4x.png"
  convert "ICO:$out/quorvel.ico[0]" -background "#D4D0C8" -flatten -scale 800% "$previews/icon32-8x.png"
  convert "ICO:$out/quorvel.ico[1]" -background "#D4D0C8" -flatten -scale 1600% "$previews/icon16-16x.png"
  # Welcome page: white, the strip at the left (161 columns shown), the
  # button bar from 312 down.
  convert -size 497x356 xc:white \( "$out/side.bmp" -crop 161x315+0+0 +repage \) \
    -geometry +0+0 -composite \
    -fill "#D4D0C8" -draw "rectangle 0,312 497,356" -stroke "#808080" -draw "line 0,312 497,312" \
    -stroke none -fill black -font Liberation-Sans -pointsize 19 \
    -annotate +185+30 "Добро пожаловать в программу" -annotate +205+52 "установки Кворвель." \
    "$previews/welcome-page.png"
  # Header band of the other pages: white, emblem at 440, 1 of the client area.
  convert -size 497x120 xc:"#D4D0C8" -fill white -draw "rectangle 0,0 497,58" \
    -stroke "#808080" -draw "line 0,57 497,57" -stroke none \
    "$out/header.bmp" -geometry +440+1 -composite \
    -fill black -font Liberation-Sans-Bold -pointsize 11 -annotate +24+15 "Лицензионное соглашение" \
    -font Liberation-Sans -annotate +40+35 "Перед продолжением установки, пожалуйста ознакомьтесь..." \
    "$previews/header-band.png"
fi
