#!/usr/bin/python3
"""Generate the artwork resources of KESTO Video Converter into res/art/.

    python3 scripts/make-art.py

Needs Debian's python3-pil (Pillow 9.4) and fonts-dejavu-core.

Every file is drawn from code and written byte by byte with struct, so a run
always gives the same bytes: no randomness, no time stamps, no metadata.

    autor.cur            32x32 monochrome hand cursor, hot spot (13, 9), with
                         48x48 and 64x64 forms for 150% and 200% display scale
    video.ico            application icon, 32x32 and 16x16, 32 bpp BMP form, with
                         the sizes of 125%, 150% and 200% display scale
    title.bmp            640x154 24 bpp title banner of the start window
    patent.bmp           244x212 8 bpp picture of the About window
    load1..load4.bmp     100x100 24 bpp frames of the "working" animation

The bitmaps are loaded with LR_LOADMAP3DCOLORS, which swaps the exact colours
RGB(128,128,128), RGB(192,192,192) and RGB(223,223,223) for system colours;
none of the bitmaps contains them.
"""

import math
import os
import struct
import sys

try:
    from PIL import Image, ImageDraw, ImageFilter, ImageFont
except ImportError:  # a python3 of its own (pyenv, venv) earlier on PATH
    if os.path.exists("/usr/bin/python3") and os.path.realpath(
            sys.executable) != os.path.realpath("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    sys.exit("make-art.py needs Pillow: apt-get install python3-pil")

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "res", "art")

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
FONT_BOLD = os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf")
FONT_REGULAR = os.path.join(FONT_DIR, "DejaVuSans.ttf")

SS = 4  # supersampling factor

# The program's colours.
DODGER = (30, 144, 255)
BLUE = (0, 0, 255)
DARK_GREY = (85, 85, 85)
WHITE = (255, 255, 255)
ABOUT_BG = (20, 50, 195)
LOAD_BG = (119, 119, 119)

# Colours that LR_LOADMAP3DCOLORS replaces, and what we use instead.
SYSTEM_COLOURS = {
    (128, 128, 128): (127, 127, 127),
    (192, 192, 192): (191, 191, 191),
    (223, 223, 223): (222, 222, 222),
}


# --------------------------------------------------------------- helpers

def font(path, size):
    if not os.path.exists(path):
        sys.exit("font missing: %s (apt-get install fonts-dejavu-core)" % path)
    return ImageFont.truetype(path, size)


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def down(img, size):
    """Downsample a supersampled drawing to its final size."""
    return img.resize(size, Image.LANCZOS)


def avoid_system_colours(img):
    """Nudge any pixel that LR_LOADMAP3DCOLORS would replace."""
    img = img.convert("RGB")
    px = img.load()
    w, h = img.size
    for y in range(h):
        for x in range(w):
            c = px[x, y]
            if c in SYSTEM_COLOURS:
                px[x, y] = SYSTEM_COLOURS[c]
    return img


def h_gradient(size, stops):
    """RGB image with a horizontal gradient through (position, colour) stops."""
    w, h = size
    row = Image.new("RGB", (w, 1))
    for x in range(w):
        t = x / max(1, w - 1)
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if p0 <= t <= p1:
                row.putpixel((x, 0), lerp(c0, c1, (t - p0) / (p1 - p0)))
                break
    return row.resize((w, h), Image.NEAREST)


def v_gradient(size, top, bottom):
    w, h = size
    col = Image.new("RGB", (1, h))
    for y in range(h):
        col.putpixel((0, y), lerp(top, bottom, y / max(1, h - 1)))
    return col.resize((w, h), Image.NEAREST)


def radial_gradient(size, centre, inner, outer):
    """Elliptical glow from inner at centre to outer at the image edges."""
    w, h = size
    img = Image.new("RGB", size)
    px = img.load()
    cx, cy = centre
    for y in range(h):
        ry = cy if y < cy else h - 1 - cy
        for x in range(w):
            rx = cx if x < cx else w - 1 - cx
            d = math.hypot((x - cx) / rx, (y - cy) / ry)
            t = min(1.0, d)
            t = t * t * (3 - 2 * t)  # smoothstep
            px[x, y] = lerp(inner, outer, t)
    return img


def overlay(base, colour, mask):
    """Paint colour through an L mask onto an RGB or RGBA image."""
    layer = Image.new(base.mode, base.size,
                      colour if base.mode == "RGB" else colour + (255,))
    base.paste(layer, (0, 0), mask)


def shape_mask(size, draw_fn):
    m = Image.new("L", size, 0)
    draw_fn(ImageDraw.Draw(m))
    return m


def play_triangle(cx, cy, r):
    """Points of a right-pointing triangle whose circumcircle is (cx, cy, r)."""
    pts = []
    for a in (0, 120, 240):
        rad = math.radians(a)
        pts.append((cx + r * math.cos(rad), cy + r * math.sin(rad)))
    return pts


def rounded_play(draw, cx, cy, r, fill, rounding):
    """A play triangle with softly rounded corners (drawn as triangle plus
    circles at its corners, slightly shrunk)."""
    inner = r - rounding * 2
    pts = play_triangle(cx, cy, inner)
    draw.polygon(pts, fill=fill)
    # thicken the triangle by stroking its outline with round joins
    draw.line(pts + [pts[0]], fill=fill, width=int(rounding * 2),
              joint="curve")
    for x, y in pts:
        draw.ellipse((x - rounding, y - rounding, x + rounding, y + rounding),
                     fill=fill)


# --------------------------------------------------------------- writers

def bmp24_bytes(img):
    img = avoid_system_colours(img)
    w, h = img.size
    stride = (w * 3 + 3) & ~3
    raw = img.tobytes("raw", "BGR")
    rows = []
    for y in range(h - 1, -1, -1):  # bottom-up
        row = raw[y * w * 3:(y + 1) * w * 3]
        rows.append(row + b"\0" * (stride - w * 3))
    pixels = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels),
                       2835, 2835, 0, 0)
    offset = 14 + len(info)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + pixels


def bmp8_bytes(pimg):
    """8 bpp BI_RGB bitmap from a 'P' image with a 256 entry palette."""
    w, h = pimg.size
    pal = pimg.getpalette()[:768]
    pal += [0] * (768 - len(pal))
    table = b"".join(struct.pack("<BBBB", pal[i * 3 + 2], pal[i * 3 + 1],
                                 pal[i * 3], 0) for i in range(256))
    stride = (w + 3) & ~3
    raw = pimg.tobytes()
    rows = []
    for y in range(h - 1, -1, -1):
        rows.append(raw[y * w:(y + 1) * w] + b"\0" * (stride - w))
    pixels = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(pixels),
                       2835, 2835, 256, 0)
    offset = 14 + len(info) + len(table)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + table + pixels


def mask_rows(bits, w, h):
    """Pack a h x w list of 0/1 into bottom-up 1 bpp rows padded to 32 bits."""
    stride = ((w + 31) // 32) * 4
    out = []
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if bits[y][x]:
                row[x >> 3] |= 0x80 >> (x & 7)
        out.append(bytes(row))
    return b"".join(out)


def ico_image_bytes(img):
    """BMP form (BITMAPINFOHEADER, height doubled) of a 32 bpp icon image:
    straight-alpha BGRA pixels followed by the AND mask."""
    img = img.convert("RGBA")
    w, h = img.size
    px = img.load()
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            if a == 0:
                r = g = b = 0
            xor += bytes((b, g, r, a))
    mask = mask_rows([[1 if px[x, y][3] < 128 else 0 for x in range(w)]
                      for y in range(h)], w, h)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + mask


def ico_bytes(images):
    entries = []
    blobs = []
    offset = 6 + 16 * len(images)
    for img in images:
        blob = ico_image_bytes(img)
        w, h = img.size
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0,
                                   1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + \
        b"".join(blobs)


def cur_image_bytes(art):
    """One monochrome cursor image from rows of 'X' (black), 'o' (white), '.' (clear)."""
    h = len(art)
    w = len(art[0])
    xor = [[1 if c == "o" else 0 for c in row] for row in art]
    andm = [[1 if c == "." else 0 for c in row] for row in art]
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    bits = mask_rows(xor, w, h) + mask_rows(andm, w, h)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 1, 0, len(bits),
                       0, 0, 2, 0)
    return info + palette + bits


def cur_bytes(images):
    """A .cur of (art, hotspot) images."""
    entries = []
    blobs = []
    offset = 6 + 16 * len(images)
    for art, hotspot in images:
        blob = cur_image_bytes(art)
        entries.append(struct.pack("<BBBBHHII", len(art[0]), len(art), 2, 0,
                                   hotspot[0], hotspot[1], len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 2, len(images)) + b"".join(entries) + \
        b"".join(blobs)


def scaled_art(art, hotspot, factor):
    """The hand drawn larger: its outline and inside smoothed and cut again
    to black and white, never with doubled pixels."""
    h, w = len(art), len(art[0])
    size = (w * factor // 2, h * factor // 2)  # factor in halves: 3 is 1.5x

    def mask(chars):
        img = Image.new("L", (w, h), 0)
        img.putdata([255 if c in chars else 0 for row in art for c in row])
        return img.resize(size, Image.BICUBIC).point(lambda v: 255 if v >= 128 else 0)

    inside, white = mask("Xo"), mask("o")
    rows = []
    for y in range(size[1]):
        rows.append("".join(
            "." if not inside.getpixel((x, y)) else
            ("o" if white.getpixel((x, y)) else "X") for x in range(size[0])))
    return rows, (hotspot[0] * factor // 2, hotspot[1] * factor // 2)


def write(name, data):
    path = os.path.join(OUT, name)
    with open(path, "wb") as f:
        f.write(data)
    print("wrote %s (%d bytes)" % (os.path.relpath(path, ROOT), len(data)))


# --------------------------------------------------------------- cursor

# Pointing hand; the top of the index finger, (13, 9), is the hot spot.
HAND = [
    "................................",  # 0
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",  # 5
    "................................",
    "................................",
    "................................",
    "............XXX.................",  # 9  finger tip
    "...........XoooX................",  # 10
    "...........XoooX................",
    "...........XoooX................",
    "...........XoooX................",
    "...........XoooX................",
    "...........XoooXXXX.............",  # 15
    "...........XoooXoooXXX..........",
    "...........XoooXoooXoooXX.......",
    "...........XoooXoooXoooXooX.....",
    ".......XX..XoooXoooXoooXooX.....",
    "......XooX.XooooooooooooooX.....",  # 20
    "......XoooXooooooooooooooooX....",
    "......XooooooooooooooooooooX....",
    ".......XoooooooooooooooooooX....",
    "........XooooooooooooooooooX....",
    ".........XoooooooooooooooooX....",  # 25
    "..........XooooooooooooooooX....",
    "..........XoooooooooooooooX.....",
    "...........XooooooooooooooX.....",
    "...........XooooooooooooooX.....",
    "............XooooooooooooX......",  # 30
    "............XXXXXXXXXXXXXX......",
]
HAND_HOTSPOT = (13, 9)


# --------------------------------------------------------------- icon

def draw_icon(size):
    """Film frame with sprocket holes and a play triangle. Each size is laid
    out on its own pixel grid so edges fall on pixel boundaries, drawn 8x
    larger and reduced by area averaging (crisp, no ringing)."""
    s = 8
    img = Image.new("RGBA", (size * s, size * s), (0, 0, 0, 0))
    # The 32 and 16 pixel layouts, drawn larger for the larger display scales.
    g = size / 32 if size >= 32 else size / 16

    def box(x0, y0, x1, y1):  # pixel-grid rectangle -> supersampled
        return (round(x0 * g * s), round(y0 * g * s), round(x1 * g * s) - 1, round(y1 * g * s) - 1)

    if size >= 32:
        film = (1, 4, 31, 28)
        radius = 3
        holes_y = ((6, 8), (24, 26))
        holes_x = [(x, x + 2) for x in range(4, 28, 4)]
        window = (3, 10, 29, 22)
        play = [(13.5, 11), (13.5, 21), (22, 16)]
        rounding = 0.6
    else:
        film = (0, 1, 16, 15)
        radius = 1.5
        holes_y = ((2, 3), (13, 14))
        holes_x = [(x, x + 2) for x in range(1, 15, 4)]
        window = (1, 4, 15, 12)
        play = [(6, 5), (6, 11), (11, 8)]
        rounding = 0.0

    d = ImageDraw.Draw(img)
    d.rounded_rectangle(box(*film), radius=int(radius * g * s),
                        fill=DARK_GREY + (255,))
    for y0, y1 in holes_y:
        for x0, x1 in holes_x:
            d.rectangle(box(x0, y0, x1, y1), fill=(250, 250, 250, 255))
    # picture window: dodger blue to blue
    wx0, wy0, wx1, wy1 = box(*window)
    img.paste(h_gradient((wx1 - wx0 + 1, wy1 - wy0 + 1),
                         [(0.0, DODGER), (1.0, BLUE)]), (wx0, wy0))
    pts = [(x * g * s, y * g * s) for x, y in play]
    d.polygon(pts, fill=WHITE + (255,))
    if rounding:
        d.line(pts + [pts[0]], fill=WHITE + (255,), width=int(rounding * g * s),
               joint="curve")
    return img.resize((size, size), Image.BOX)


# --------------------------------------------------------------- title

def draw_title():
    W, H = 640, 154
    S = SS
    img = Image.new("RGB", (W * S, H * S), WHITE)

    # soft shadow under the band
    band = (8, 8, W - 8, H - 10)
    shadow = shape_mask(img.size, lambda d: d.rounded_rectangle(
        [v * S for v in (band[0] + 2, band[1] + 4, band[2] - 2, band[3] + 4)],
        radius=16 * S, fill=70))
    shadow = shadow.filter(ImageFilter.GaussianBlur(4 * S))
    overlay(img, (10, 40, 110), shadow)

    # the band: a strip of film, blue gradient
    band_mask = shape_mask(img.size, lambda d: d.rounded_rectangle(
        [v * S for v in band], radius=16 * S, fill=255))
    grad = h_gradient(img.size, [(0.0, (40, 160, 255)), (0.45, DODGER),
                                 (1.0, (8, 40, 235))])
    img.paste(grad, (0, 0), band_mask)

    # darker edges with sprocket holes
    edge = 18
    edges = Image.new("L", img.size, 0)
    ed = ImageDraw.Draw(edges)
    ed.rectangle((0, band[1] * S, W * S, (band[1] + edge) * S), fill=60)
    ed.rectangle((0, (band[3] - edge) * S, W * S, band[3] * S), fill=60)
    edges = Image.composite(edges, Image.new("L", img.size, 0), band_mask)
    overlay(img, (0, 20, 90), edges)
    holes = Image.new("L", img.size, 0)
    hd = ImageDraw.Draw(holes)
    pitch, hole_w = 22, 10
    count = (band[2] - band[0] - 32 - hole_w) // pitch + 1
    x0 = (band[0] + band[2] - (count - 1) * pitch - hole_w) / 2
    for i in range(count):
        x = x0 + i * pitch
        for y in (band[1] + 5, band[3] - edge + 5):
            hd.rounded_rectangle((x * S, y * S, (x + hole_w) * S,
                                  (y + 8) * S), radius=2 * S, fill=235)
    overlay(img, WHITE, holes)

    # gloss on the upper half of the picture area
    gl = Image.new("L", img.size, 0)
    top = band[1] + edge
    mid = (band[1] + band[3]) // 2
    gd = ImageDraw.Draw(gl)
    for y in range(top * S, mid * S):
        t = (y - top * S) / ((mid - top) * S)
        gd.line((0, y, W * S, y), fill=int(34 * (1 - t)))
    gl = Image.composite(gl, Image.new("L", img.size, 0), band_mask)
    overlay(img, WHITE, gl)

    # emblem: white disc with a blue play triangle
    cx, cy, r = 70, (band[1] + band[3]) / 2, 40
    em_shadow = shape_mask(img.size, lambda d: d.ellipse(
        ((cx - r + 1) * S, (cy - r + 3) * S, (cx + r + 1) * S,
         (cy + r + 3) * S), fill=90))
    em_shadow = em_shadow.filter(ImageFilter.GaussianBlur(3 * S))
    overlay(img, (0, 20, 100), em_shadow)
    d = ImageDraw.Draw(img)
    d.ellipse(((cx - r) * S, (cy - r) * S, (cx + r) * S, (cy + r) * S),
              fill=WHITE)
    # play triangle with a gradient from dodger blue to blue
    tri = shape_mask(img.size, lambda dd: rounded_play(
        dd, (cx + 4) * S, cy * S, 22 * S, 255, 2.5 * S))
    tgrad = v_gradient(img.size, DODGER, BLUE)
    img.paste(tgrad, (0, 0), tri)

    # name and subtitle, set on baselines so the pair is centred in the band
    name_font = font(FONT_BOLD, 36 * S)
    sub_font = font(FONT_REGULAR, 17 * S)
    tx = 130
    base = 74
    txt = Image.new("L", img.size, 0)
    ImageDraw.Draw(txt).text((tx * S, base * S), "KESTO Video Converter",
                             font=name_font, fill=255, anchor="ls")
    tsh = txt.filter(ImageFilter.GaussianBlur(2 * S))
    tsh = Image.eval(tsh, lambda v: v * 110 // 255)
    tsh = tsh.transform(tsh.size, Image.AFFINE, (1, 0, -1 * S, 0, 1, -2 * S))
    overlay(img, (0, 20, 100), tsh)
    overlay(img, WHITE, txt)
    sub = Image.new("L", img.size, 0)
    ImageDraw.Draw(sub).text(((tx + 2) * S, (base + 27) * S),
                             "Convert any video, fast.", font=sub_font,
                             fill=255, anchor="ls")
    overlay(img, (225, 238, 255), sub)

    return down(img, (W, H))


# --------------------------------------------------------------- about

def draw_reel(m, cx, cy, r, angle, hole_r, ring_r, small_r, hub_r):
    """Draw on the L mask m a film reel: a disc with four large holes, four
    small holes between them and a hole for the hub. The reel looks the same
    every 90 degrees."""
    m.ellipse((cx - r, cy - r, cx + r, cy + r), fill=255)
    for i in range(4):
        for off, rr in ((0.0, hole_r), (45.0, small_r)):
            if rr <= 0:
                continue
            a = math.radians(angle + off + i * 90)
            hx, hy = cx + ring_r * math.cos(a), cy + ring_r * math.sin(a)
            m.ellipse((hx - rr, hy - rr, hx + rr, hy + rr), fill=0)
    if hub_r > 0:
        m.ellipse((cx - hub_r, cy - hub_r, cx + hub_r, cy + hub_r), fill=0)


def draw_patent():
    W, H = 244, 212
    S = SS
    img = radial_gradient((W, H), ((W - 1) / 2, 80), (55, 115, 245),
                          ABOUT_BG)
    img = img.resize((W * S, H * S), Image.BILINEAR)

    cx, cy, r = W / 2, 74, 56
    sh = shape_mask(img.size, lambda d: d.ellipse(
        ((cx - r + 2) * S, (cy - r + 5) * S, (cx + r + 2) * S,
         (cy + r + 5) * S), fill=120))
    sh = sh.filter(ImageFilter.GaussianBlur(5 * S))
    overlay(img, (5, 15, 90), sh)

    reel = shape_mask(img.size, lambda d: draw_reel(
        d, cx * S, cy * S, r * S, -45, hole_r=13 * S, ring_r=33 * S,
        small_r=4.5 * S, hub_r=0))
    reel_col = v_gradient(img.size, (255, 255, 255), (200, 222, 255))
    img.paste(reel_col, (0, 0), reel)
    # a thin rim line inside the disc edge
    rim = shape_mask(img.size, lambda d: d.ellipse(
        ((cx - r + 4) * S, (cy - r + 4) * S, (cx + r - 4) * S,
         (cy + r - 4) * S), outline=255, width=int(1.5 * S)))
    rim = Image.composite(rim, Image.new("L", img.size, 0), reel)
    overlay(img, (120, 170, 250), rim)
    # play button on the hub
    hub = shape_mask(img.size, lambda d: d.ellipse(
        ((cx - 15) * S, (cy - 15) * S, (cx + 15) * S, (cy + 15) * S),
        fill=255))
    img.paste(v_gradient(img.size, DODGER, BLUE), (0, 0), hub)
    tri = shape_mask(img.size, lambda d: rounded_play(
        d, (cx + 2) * S, cy * S, 9 * S, 255, 1.2 * S))
    overlay(img, WHITE, tri)

    # lettering
    f1 = font(FONT_BOLD, 38 * S)
    f2 = font(FONT_REGULAR, 14 * S)
    txt = Image.new("L", img.size, 0)
    td = ImageDraw.Draw(txt)
    td.text((W / 2 * S, 166 * S), "KESTO", font=f1, fill=255, anchor="ms")
    sub = Image.new("L", img.size, 0)
    ImageDraw.Draw(sub).text((W / 2 * S, 190 * S), "Video Converter",
                             font=f2, fill=255, anchor="ms")
    tsh = txt.filter(ImageFilter.GaussianBlur(2 * S))
    tsh = Image.eval(tsh, lambda v: v * 140 // 255)
    tsh = tsh.transform(tsh.size, Image.AFFINE, (1, 0, -1 * S, 0, 1, -2 * S))
    overlay(img, (5, 15, 90), tsh)
    overlay(img, WHITE, txt)
    overlay(img, (190, 215, 255), sub)

    img = avoid_system_colours(down(img, (W, H)))
    return quantise(img)


def quantise(img):
    """Deterministic 256 colour palette (median cut, no dithering); the
    window colour of the About box keeps its exact value."""
    q = img.quantize(colors=256, method=Image.Quantize.MEDIANCUT,
                     dither=Image.Dither.NONE)
    pal = q.getpalette()[:768]
    pal += [0] * (768 - len(pal))
    # the corner is plain window colour; pin its palette entry to it
    idx = q.getpixel((0, 0))
    pal[idx * 3:idx * 3 + 3] = list(ABOUT_BG)
    for i in range(256):
        c = tuple(pal[i * 3:i * 3 + 3])
        if c in SYSTEM_COLOURS:
            pal[i * 3:i * 3 + 3] = list(SYSTEM_COLOURS[c])
    q.putpalette(pal)
    return q


# --------------------------------------------------------------- loader

def draw_load(frame):
    """One of four frames of a turning film reel (22.5 degrees apart; the
    reel repeats every 90 degrees, so frame 4 leads back into frame 1)."""
    W = H = 100
    S = SS
    img = Image.new("RGB", (W * S, H * S), LOAD_BG)
    cx = cy = W / 2
    r = 44
    sh = shape_mask(img.size, lambda d: d.ellipse(
        ((cx - r + 1) * S, (cy - r + 3) * S, (cx + r + 1) * S,
         (cy + r + 3) * S), fill=110))
    sh = sh.filter(ImageFilter.GaussianBlur(3 * S))
    overlay(img, (60, 60, 60), sh)
    angle = -90 + frame * 22.5
    reel = shape_mask(img.size, lambda d: draw_reel(
        d, cx * S, cy * S, r * S, angle, hole_r=10 * S, ring_r=24 * S,
        small_r=4 * S, hub_r=5 * S))
    col = v_gradient(img.size, (70, 170, 255), (10, 60, 240))
    img.paste(col, (0, 0), reel)
    rim = shape_mask(img.size, lambda d: d.ellipse(
        ((cx - r + 5) * S, (cy - r + 5) * S, (cx + r - 5) * S,
         (cy + r - 5) * S), outline=255, width=3 * S))
    rim = Image.composite(rim, Image.new("L", img.size, 0), reel)
    overlay(img, (170, 215, 255), rim)
    return down(img, (W, H))


# --------------------------------------------------------------- main

def main():
    os.makedirs(OUT, exist_ok=True)
    write("autor.cur", cur_bytes([(HAND, HAND_HOTSPOT)] + [
        scaled_art(HAND, HAND_HOTSPOT, f) for f in (3, 4)]))
    write("video.ico", ico_bytes([draw_icon(n) for n in (32, 16, 20, 24, 40, 48, 64)]))
    write("title.bmp", bmp24_bytes(draw_title()))
    write("patent.bmp", bmp8_bytes(draw_patent()))
    for i in range(4):
        write("load%d.bmp" % (i + 1), bmp24_bytes(draw_load(i)))


if __name__ == "__main__":
    main()
