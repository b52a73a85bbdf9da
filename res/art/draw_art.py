#!/usr/bin/python3
"""Draws all of Tabvisor's artwork and writes it to res/images/, plus res/preview.png.

Everything is drawn here from code: shapes at four times the final size and box-filtered down,
text at the final size so FreeType can hint it. Every picture is drawn twice: at its own size for
100 % (the BMP and PNG files in images/), and again at twice that size (the PNG files in
images/2x/), which the program brings down to the display's scale above 100 %. All coordinates
below are those of the 96-dpi layout; Z says how many pixels each of them takes. Needs Debian's python3-pil and fonts-dejavu-core;
run it with /usr/bin/python3 (a pyenv python3 on PATH may lack PIL). The build only reads the
files this writes, so it does not need these tools.

The numbers under "Where things land" are pixel places measured from the compiled dialog templates
(8 x 16 dialog base units for the "System" pages, 6 x 12 for the 9-point "宋体" panel); the resource
tests check them again under Wine.
"""
import math
import os
import struct

from PIL import Image, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.normpath(os.path.join(HERE, '..'))
OUT = os.path.join(RES, 'images')

SS = 4  # supersampling factor for shapes
Z = 1   # pixels per pixel of the 96-dpi layout: 1 for the design's pictures, 2 for the larger set

# ---------------------------------------------------------------------------------------------
# Where things land (pixels)
# ---------------------------------------------------------------------------------------------
PANEL_W, PANEL_H = 724, 424
BODY = (14, 8, 710, 404)            # the panel's visible body: left, top, right, bottom (exclusive)
BODY_RADIUS = 22
TILE_W, TILE_H = 195, 133           # every page's client size on the panel
PAGE_BMP_W = 196                    # page bitmaps are one column wider than the page
TILES = {                           # top-left of each tile on the panel
    'switch': (58, 76), 'volume': (266, 76), 'brightness': (473, 76),
    'keyboard': (58, 226), 'taskmgr': (266, 226),
}
CLOSE = (648, 18, 680, 36)          # button 1007 of the panel
SWITCH_PAGE = (60, 70)              # the device switch page's top-left on the panel
SWITCH_BUTTON = 44                  # each device button is 44 x 44
SWITCH_BUTTONS_X = (8, 52, 96, 140)  # in the page: 1004 camera, 1005 wireless, 1006 Bluetooth, 1007 3G
SWITCH_BUTTONS_Y = 82
SLIDERS = {'volume': (20, 90), 'brightness': (20, 92)}  # trackbar top-left in its page, 152 x 30
CHANNEL = (8, 10, 144, 14)          # the trackbar's channel inside the control
THUMB_Y, THUMB_X_MIN, THUMB_X_MAX = 2, 8, 133
KEYBOARD_BUTTON = (28, 62, 136, 50)  # button 1015 in its page: x, y, w, h
TASKMGR_BUTTON = (12, 70, 168, 34)   # button 1016 in its page
PNG_DPI = 3741 * 0.0254             # launcher pictures' stored resolution (95.02 dpi)
PANEL_DPI = 5906 * 0.0254           # the panel face's (150 dpi; drawn 1:1 all the same)
FACE_SCALE = 96 / PNG_DPI           # GDI+ draws the launcher pictures this much larger at 96 dpi

# ---------------------------------------------------------------------------------------------
# Palette
# ---------------------------------------------------------------------------------------------
SURFACE = (234, 236, 240)
SURFACE_ALPHA = 173
TILE = (248, 249, 251)
TILE_EDGE = (212, 217, 224)
TILE_HIGHLIGHT = (255, 255, 255)
TEXT = (34, 38, 46)
TEXT_SOFT = (108, 116, 128)
ACCENT = (0, 110, 200)
SUN = (236, 150, 20)
RED = (214, 55, 50)
GREEN = (30, 190, 90)
GREY_SYMBOL = (146, 152, 160)
KEY_FACE = (255, 255, 255)
KEY_EDGE = (172, 179, 189)

FONT_DIR = '/usr/share/fonts/truetype/dejavu'


def font(size, bold=False, condensed=False):
    name = 'DejaVuSans' + ('Condensed' if condensed else '') + ('-Bold' if bold else '') + '.ttf'
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size * Z)


# ---------------------------------------------------------------------------------------------
# Drawing helpers
# ---------------------------------------------------------------------------------------------
def layer(w, h, fill=(0, 0, 0, 0)):
    """A supersampled RGBA layer for a w x h image (of the 96-dpi layout) and its draw object."""
    img = Image.new('RGBA', (w * Z * SS, h * Z * SS), fill)
    return img, ImageDraw.Draw(img)


def down(img):
    """Box-filters a supersampled RGBA layer to its final size (premultiplied, so edges stay clean)."""
    return img.convert('RGBa').reduce(SS).convert('RGBA')


def S(v):
    return round(v * SS * Z)


def fill_px(d, x0, y0, x1, y1, col):
    """Fills the layout's pixels x0..x1 and y0..y1 (both inclusive), each Z x Z at this size."""
    d.rectangle((x0 * Z, y0 * Z, (x1 + 1) * Z - 1, (y1 + 1) * Z - 1), fill=col)


def rrect(d, box, r, fill=None, outline=None, width=1):
    x0, y0, x1, y1 = box
    d.rounded_rectangle((S(x0), S(y0), S(x1) - 1, S(y1) - 1), radius=S(r), fill=fill,
                        outline=outline, width=S(width) if outline else 0)


def stroke(d, pts, w, col):
    """A polyline with round joins and caps, in final-size coordinates."""
    sp = [(S(x), S(y)) for x, y in pts]
    d.line(sp, fill=col, width=S(w), joint='curve')
    for x, y in (sp[0], sp[-1]):
        r = S(w) / 2
        d.ellipse((x - r, y - r, x + r, y + r), fill=col)


def arc(d, cx, cy, r, a0, a1, w, col, caps=True):
    d.arc((S(cx - r), S(cy - r), S(cx + r), S(cy + r)), a0, a1, fill=col, width=S(w))
    if caps:
        for a in (a0, a1):
            x = cx + (r - w / 2) * math.cos(math.radians(a))
            y = cy + (r - w / 2) * math.sin(math.radians(a))
            d.ellipse((S(x - w / 2), S(y - w / 2), S(x + w / 2), S(y + w / 2)), fill=col)


def disc(d, cx, cy, r, col):
    d.ellipse((S(cx - r), S(cy - r), S(cx + r), S(cy + r)), fill=col)


def over(base, top, at=(0, 0)):
    """Alpha-composites top onto base (both RGBA) at a position, in place."""
    base.alpha_composite(top, dest=at)


def text(img, xy, s, fnt, col, anchor='la'):
    d = ImageDraw.Draw(img)
    d.text((xy[0] * Z, xy[1] * Z), s, font=fnt, fill=col, anchor=anchor)


# ---------------------------------------------------------------------------------------------
# Symbols, drawn on a 24-unit grid centred at (cx, cy) with size px per 24 units
# ---------------------------------------------------------------------------------------------
def grid(cx, cy, size):
    u = size / 24.0
    return lambda x, y: (cx + (x - 12) * u, cy + (y - 12) * u), u


def sym_speaker(d, cx, cy, size, col):
    p, u = grid(cx, cy, size)
    body = [p(2.5, 9), p(6.5, 9), p(11.5, 4.5), p(11.5, 19.5), p(6.5, 15), p(2.5, 15)]
    d.polygon([(S(x), S(y)) for x, y in body], fill=col)
    c = p(11, 12)
    arc(d, c[0], c[1], 5.5 * u, -42, 42, 2 * u, col)
    arc(d, c[0], c[1], 10 * u, -48, 48, 2 * u, col)


def sym_sun(d, cx, cy, size, col):
    p, u = grid(cx, cy, size)
    c = p(12, 12)
    disc(d, c[0], c[1], 4.6 * u, col)
    for i in range(8):
        a = math.radians(i * 45)
        stroke(d, [(c[0] + 7.4 * u * math.cos(a), c[1] + 7.4 * u * math.sin(a)),
                   (c[0] + 10.4 * u * math.cos(a), c[1] + 10.4 * u * math.sin(a))], 2 * u, col)


def sym_wireless(d, cx, cy, size, col):
    p, u = grid(cx, cy, size)
    c = p(12, 19)
    disc(d, c[0], c[1], 1.9 * u, col)
    for r in (6.5, 11, 15.5):
        arc(d, c[0], c[1], r * u, 225, 315, 2.2 * u, col)


def sym_bluetooth(d, cx, cy, size, col):
    p, u = grid(cx, cy, size)
    stroke(d, [p(6.5, 7.5), p(17, 16.5), p(12, 21), p(12, 3), p(17, 7.5), p(6.5, 16.5)], 2.2 * u, col)


def sym_camera(d, cx, cy, size, col, hole):
    p, u = grid(cx, cy, size)
    x0, y0 = p(2, 7)
    x1, y1 = p(22, 20)
    d.rounded_rectangle((S(x0), S(y0), S(x1), S(y1)), radius=S(3 * u), fill=col)
    bx0, by0 = p(8, 4.2)
    bx1, by1 = p(16, 8)
    d.rounded_rectangle((S(bx0), S(by0), S(bx1), S(by1)), radius=S(1.5 * u), fill=col)
    c = p(12, 13.5)
    disc(d, c[0], c[1], 4.6 * u, hole)
    disc(d, c[0], c[1], 2.6 * u, col)


def sym_3g(d, cx, cy, size, col):
    p, u = grid(cx, cy, size)
    for i, h in enumerate((5, 9, 13)):
        x = 1.2 + i * 3.1
        x0, y0 = p(x, 19 - h)
        x1, y1 = p(x + 2.1, 19)
        d.rounded_rectangle((S(x0), S(y0), S(x1), S(y1)), radius=S(0.8 * u), fill=col)
    f = ImageFont.truetype(os.path.join(FONT_DIR, 'DejaVuSans-Bold.ttf'), S(9.6 * u))
    tx, ty = p(17.4, 12.8)
    d.text((S(tx), S(ty)), '3G', font=f, fill=col, anchor='mm')


# ---------------------------------------------------------------------------------------------
# The icon
# ---------------------------------------------------------------------------------------------
def draw_logo(size):
    """The program's mark: a blue rounded square holding a white panel with two rows of tiles."""
    img, d = layer(size, size)
    m = size / 16.0
    n = size * Z * SS
    top = (30, 140, 230)
    bottom = (0, 92, 180)
    grad = Image.new('RGBA', (n, n))
    gd = ImageDraw.Draw(grad)
    for y in range(n):
        t = y / (n - 1)
        gd.line([(0, y), (n, y)], fill=tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)) + (255,))
    mask = Image.new('L', (n, n), 0)
    ImageDraw.Draw(mask).rounded_rectangle((S(0.5 * m), S(0.5 * m), S(15.5 * m) - 1, S(15.5 * m) - 1),
                                           radius=S(3.4 * m), fill=255)
    img.paste(grad, (0, 0), mask)
    # the panel
    rrect(d, (2.8 * m, 3.6 * m, 13.2 * m, 12.4 * m), 1.6 * m, fill=(255, 255, 255, 255))
    if size >= 24:
        # five tiles in two rows, as on the panel itself
        tw, th, g = 2.4 * m, 2.4 * m, 0.6 * m
        x0 = 3.8 * m
        for row, n in ((0, 3), (1, 2)):
            for i in range(n):
                x = x0 + i * (tw + g)
                y = 5.3 * m + row * (th + g)
                rrect(d, (x, y, x + tw, y + th), 0.5 * m, fill=top + (255,))
    else:
        rrect(d, (4.2 * m, 5.2 * m, 7.6 * m, 7.9 * m), 0.6, fill=top + (255,))
        rrect(d, (8.4 * m, 5.2 * m, 11.8 * m, 7.9 * m), 0.6, fill=top + (255,))
        rrect(d, (4.2 * m, 8.4 * m, 7.6 * m, 11.0 * m), 0.6, fill=top + (255,))
    return down(img)


def write_ico(path, images):
    """An .ico with one 32-bit BGRA bitmap (and its AND mask) per image."""
    entries, blobs = [], []
    for im in images:
        w, h = im.size
        px = im.load()
        rows = []
        for y in range(h - 1, -1, -1):
            rows.append(b''.join(struct.pack('BBBB', px[x, y][2], px[x, y][1], px[x, y][0], px[x, y][3])
                                 for x in range(w)))
        mask_stride = ((w + 31) // 32) * 4
        mask_rows = []
        for y in range(h - 1, -1, -1):
            bits = bytearray(mask_stride)
            for x in range(w):
                if px[x, y][3] == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask_rows.append(bytes(bits))
        header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        blobs.append(header + b''.join(rows) + b''.join(mask_rows))
        entries.append((w, h))
    offset = 6 + 16 * len(images)
    out = struct.pack('<HHH', 0, 1, len(images))
    for (w, h), blob in zip(entries, blobs):
        out += struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(path, 'wb') as f:
        f.write(out + b''.join(blobs))


# ---------------------------------------------------------------------------------------------
# BMP writing (24 and 32 bits, bottom-up, no colour table)
# ---------------------------------------------------------------------------------------------
def write_bmp(path, im, bits):
    im = im.convert('RGB')
    w, h = im.size
    bpp = bits // 8
    stride = (w * bpp + 3) & ~3
    px = im.load()
    data = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b = px[x, y]
            row += bytes((b, g, r)) if bits == 24 else bytes((b, g, r, 255))
        row += bytes(stride - len(row))
        data += row
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, 0, len(data), 3780, 3780, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(head + info + data)


def save_png(path, im, ppm):
    dpi = ppm * 0.0254
    im.save(path, optimize=True, dpi=(dpi, dpi))


# ---------------------------------------------------------------------------------------------
# Tiles
# ---------------------------------------------------------------------------------------------
def plain_tile(w=TILE_W, h=TILE_H):
    """A raised tile: flat face, light top and left edge, darker bottom and right edge."""
    img = Image.new('RGBA', (w * Z, h * Z), TILE + (255,))
    d = ImageDraw.Draw(img)
    d.rectangle((0, 0, w * Z - 1, h * Z - 1), outline=TILE_EDGE + (255,), width=Z)
    fill_px(d, 1, 1, w - 2, 1, TILE_HIGHLIGHT + (255,))
    fill_px(d, 1, 1, 1, h - 2, TILE_HIGHLIGHT + (255,))
    fill_px(d, 1, h - 2, w - 2, h - 2, (236, 239, 243, 255))
    return img


def tile_heading(img, title, subtitle):
    text(img, (16, 12), title, font(15, bold=True), TEXT)
    text(img, (16, 33), subtitle, font(11), TEXT_SOFT)


def page_bitmap(tile):
    """A page bitmap: the 195-pixel tile plus one more column, a copy of its last one."""
    img = Image.new('RGBA', (PAGE_BMP_W * Z, TILE_H * Z))
    img.paste(tile, (0, 0))
    img.paste(tile.crop(((TILE_W - 1) * Z, 0, TILE_W * Z, TILE_H * Z)), (TILE_W * Z, 0))
    return img


def slider_marks(img, slider):
    """Minus and plus marks just beyond the two ends of the trackbar's channel."""
    sx, sy = slider
    cy = sy + (CHANNEL[1] + CHANNEL[3]) / 2
    left = sx + CHANNEL[0] - 14
    right = sx + CHANNEL[2] + 14
    lay, d = layer(img.width // Z, img.height // Z)
    stroke(d, [(left - 4, cy), (left + 4, cy)], 2, TEXT_SOFT + (255,))
    stroke(d, [(right - 4, cy), (right + 4, cy)], 2, TEXT_SOFT + (255,))
    stroke(d, [(right, cy - 4), (right, cy + 4)], 2, TEXT_SOFT + (255,))
    over(img, down(lay))


def slider_page(title, subtitle, symbol, colour, slider):
    img = plain_tile()
    lay, d = layer(TILE_W, TILE_H)
    symbol(d, TILE_W / 2, 67, 38, colour + (255,))
    over(img, down(lay))
    tile_heading(img, title, subtitle)
    slider_marks(img, slider)
    return img


# ---------------------------------------------------------------------------------------------
# Launcher pictures
# ---------------------------------------------------------------------------------------------
def keyboard_picture(scale=1.0):
    """PNG 183's keyboard, 136 x 49 at scale 1; opaque, on the tile's own colour."""
    w, h = round(136 * scale), round(49 * scale)
    img, d = layer(w, h, TILE + (255,))
    k = scale
    # soft shadow under the keyboard body; the last rows stay the plain tile colour, since the
    # button shows the page there (and the first row and column while pressed)
    sh, sd = layer(w, h)
    rrect(sd, (6 * k, 3.5 * k, 130 * k, 44.5 * k), 6 * k, fill=(40, 50, 70, 60))
    sh = sh.filter(ImageFilter.GaussianBlur(S(1.0 * k)))
    over(img, sh)
    rrect(d, (5 * k, 2 * k, 131 * k, 43 * k), 6 * k, fill=(226, 230, 236, 255), outline=(150, 158, 170, 255), width=1)
    key = 8.6 * k
    gap = 2.2 * k

    def centred(n):
        return 68 * k - (n * key + (n - 1) * gap) / 2

    for y, n in ((5.5 * k, 10), (15 * k, 9), (24.5 * k, 8)):
        for i in range(n):
            x = centred(n) + i * (key + gap)
            rrect(d, (x, y, x + key, y + key - 0.5 * k), 1.8 * k, fill=KEY_FACE + (255,), outline=KEY_EDGE + (255,),
                  width=0.75)
    sx0 = centred(5)
    sx1 = sx0 + 5 * key + 4 * gap
    rrect(d, (sx0, 34 * k, sx1, 34 * k + key - 1.6 * k), 1.8 * k, fill=KEY_FACE + (255,), outline=KEY_EDGE + (255,),
          width=0.75)
    img = down(img)
    # anything the blur carried into the rim goes back to the tile colour
    rim = ImageDraw.Draw(img)
    rim.rectangle((0, 0, w * Z - 1, h * Z - 1), outline=TILE + (255,), width=Z)
    fill_px(rim, 0, h - 2, w - 1, h - 1, TILE + (255,))
    return img


KEYCAPS = (('Ctrl', 1, 47), ('Alt', 63, 103), ('Del', 119, 161))


def keycaps_picture(scale=1.0):
    """PNG 186's three key caps, 174 x 35 at scale 1, on a transparent ground."""
    w, h = round(174 * scale), round(35 * scale)
    k = scale
    img, d = layer(w, h)
    sh, sd = layer(w, h)
    for _, x0, x1 in KEYCAPS:
        rrect(sd, (x0 * k, 2.5 * k, x1 * k, 28.5 * k), 5 * k, fill=(30, 40, 60, 90))
    sh = sh.filter(ImageFilter.GaussianBlur(S(0.9 * k)))
    over(img, sh)
    for _, x0, x1 in KEYCAPS:
        rrect(d, (x0 * k, 0.5 * k, x1 * k, 27 * k), 5 * k, fill=KEY_EDGE + (255,))
        rrect(d, (x0 * k + 1 * k, 1.3 * k, x1 * k - 1 * k, 25.2 * k), 4.2 * k, fill=KEY_FACE + (255,))
    # the plus signs between the caps
    for cx in ((47 + 63) / 2, (103 + 119) / 2):
        stroke(d, [(cx * k - 3.5 * k, 14 * k), (cx * k + 3.5 * k, 14 * k)], 1.8 * k, TEXT_SOFT + (255,))
        stroke(d, [(cx * k, 10.5 * k), (cx * k, 17.5 * k)], 1.8 * k, TEXT_SOFT + (255,))
    img = down(img)
    for label, x0, x1 in KEYCAPS:
        text(img, ((x0 + x1) / 2 * k, 13.5 * k), label, font(round(12 * k), bold=True), TEXT, anchor='mm')
    if scale == 1.0:
        # GDI+ draws it FACE_SCALE larger, and one pixel further right and down while pressed: keep
        # every pixel where the button still shows it.
        a = img.getchannel('A')
        ImageDraw.Draw(a).rectangle((int((TASKMGR_BUTTON[2] - 1) / FACE_SCALE) * Z, 0, w * Z, h * Z), fill=0)
        ImageDraw.Draw(a).rectangle((0, int((TASKMGR_BUTTON[3] - 1) / FACE_SCALE) * Z, w * Z, h * Z), fill=0)
        img.putalpha(a)
    return img


def keyboard_page():
    img = plain_tile()
    tile_heading(img, 'Keyboard', 'Open the on-screen keyboard')
    bx, by, _, _ = KEYBOARD_BUTTON
    pic = keyboard_picture(FACE_SCALE)
    img.paste(pic.crop((0, 0, min(pic.width, (TILE_W - bx) * Z), pic.height)), (bx * Z, by * Z))
    return img


def taskmgr_page():
    img = plain_tile()
    tile_heading(img, 'Ctrl+Alt+Del', 'Open Task Manager')
    bx, by, bw, bh = TASKMGR_BUTTON
    pic = keycaps_picture(FACE_SCALE)
    over(img, pic.crop((0, 0, bw * Z, bh * Z)), (bx * Z, by * Z))
    return img


# ---------------------------------------------------------------------------------------------
# Device switch pictures
# ---------------------------------------------------------------------------------------------
DEVICES = {  # id: (symbol, on, picture size)
    170: ('wireless', True, (48, 47)), 177: ('wireless', False, (48, 47)),
    171: ('3g', False, (48, 48)), 172: ('3g', True, (48, 47)),
    173: ('bluetooth', False, (48, 48)), 174: ('bluetooth', True, (48, 47)),
    175: ('camera', False, (47, 47)), 176: ('camera', True, (47, 47)),
}
DEVICE_NAMES = {170: 'wireless_on', 171: '3g_off', 172: '3g_on', 173: 'bluetooth_off', 174: 'bluetooth_on',
                175: 'camera_off', 176: 'camera_on', 177: 'wireless_off'}
KEY_TILE_ON = (236, 240, 244)
KEY_TILE_OFF = (224, 227, 231)


def device_face(symbol, on):
    """What a device button shows: its 44 x 44 middle, a small key with the symbol."""
    n = SWITCH_BUTTON
    img, d = layer(n, n, TILE + (255,))
    fill = KEY_TILE_ON if on else KEY_TILE_OFF
    rrect(d, (2, 2, n - 2, n - 2), 8, fill=(200, 206, 214, 255))
    rrect(d, (3, 3, n - 3, n - 3.6), 7.2, fill=fill + (255,))
    col = GREEN if on else GREY_SYMBOL
    sym, sd = layer(n, n)
    draw = {'wireless': sym_wireless, 'bluetooth': sym_bluetooth, '3g': sym_3g,
            'camera': lambda dd, x, y, s, c: sym_camera(dd, x, y, s, c, fill + (255,))}[symbol]
    draw(sd, n / 2, n / 2, 26, col + (255,))
    if on:
        glow = sym.copy()
        gd = ImageDraw.Draw(glow)
        draw(gd, n / 2, n / 2, 26, (90, 230, 140, 255))
        glow = glow.filter(ImageFilter.GaussianBlur(S(2.6)))
        # keep the glow on the key
        keymask = Image.new('L', glow.size, 0)
        ImageDraw.Draw(keymask).rounded_rectangle((S(4), S(4), S(n - 4), S(n - 4)), radius=S(6), fill=255)
        a = glow.getchannel('A').point(lambda v: min(255, v * 1.3))
        glow.putalpha(Image.composite(a, Image.new('L', glow.size, 0), keymask))
        over(img, glow)
    over(img, sym)
    return down(img)


def device_picture(rid):
    symbol, on, (w, h) = DEVICES[rid]
    face = device_face(symbol, on)
    # A picture larger than its button is centred with a truncating halving, so (44 - 47) / 2 = -1
    # and (44 - 48) / 2 = -2: put the face where that leaves the button's 44 x 44 window.
    ox = -int((SWITCH_BUTTON - w) / 2)
    oy = -int((SWITCH_BUTTON - h) / 2)
    img = Image.new('RGBA', (w * Z, h * Z), TILE + (255,))
    img.paste(face, (ox * Z, oy * Z))
    return img


# ---------------------------------------------------------------------------------------------
# Slider thumbs
# ---------------------------------------------------------------------------------------------
def thumb(pressed):
    img, d = layer(11, 22, TILE + (255,))
    if pressed:
        edge, face, shine = (70, 140, 215), (150, 200, 246), (205, 230, 252)
    else:
        edge, face, shine = (150, 157, 167), (230, 233, 237), (250, 251, 252)
    rrect(d, (0.5, 0.5, 10.5, 21.5), 5, fill=edge + (255,))
    rrect(d, (1.5, 1.5, 9.5, 20.5), 4, fill=face + (255,))
    rrect(d, (2.5, 2.5, 6, 12), 2, fill=shine + (255,))
    return down(img)


# ---------------------------------------------------------------------------------------------
# The panel face
# ---------------------------------------------------------------------------------------------
def body_mask(w, h, box, r):
    m = Image.new('L', (w * Z * SS, h * Z * SS), 0)
    d = ImageDraw.Draw(m)
    d.rounded_rectangle((S(box[0]), S(box[1]), S(box[2]) - 1, S(box[3]) - 1), radius=S(r), fill=255)
    return m.reduce(SS)


def panel_face():
    W, H = PANEL_W * Z, PANEL_H * Z
    body = body_mask(PANEL_W, PANEL_H, BODY, BODY_RADIUS)

    # Shadow: the body's shape, lowered and blurred, kept outside the body and fading to nothing
    # before the image's edges.
    shadow_shape = body_mask(PANEL_W, PANEL_H, (BODY[0] + 1, BODY[1] + 5, BODY[2] - 1, BODY[3] + 5), BODY_RADIUS)
    shadow_a = shadow_shape.filter(ImageFilter.GaussianBlur(6 * Z)).point(lambda v: v * 0.55)
    edge = Image.new('L', (W, H), 0)
    ed = ImageDraw.Draw(edge)
    for i in range(6 * Z):
        ed.rectangle((i, i, W - 1 - i, H - 1 - i), outline=round(255 * (i / (6 * Z)) ** 2))
    ed.rectangle((6 * Z, 6 * Z, W - 1 - 6 * Z, H - 1 - 6 * Z), fill=255)
    # multiply by the edge window and by "not body"
    sa, ea, ba = shadow_a.load(), edge.load(), body.load()
    for y in range(H):
        for x in range(W):
            sa[x, y] = round(sa[x, y] * ea[x, y] / 255 * (255 - ba[x, y]) / 255)
    face = Image.new('RGBA', (W, H), (20, 28, 40, 0))
    face.putalpha(shadow_a)

    surface = Image.new('RGBA', (W, H), SURFACE + (0,))
    surface.putalpha(body.point(lambda v: round(v * SURFACE_ALPHA / 255)))
    over(face, surface)

    # a hairline rim just inside the body's edge, lighter at the top
    rim = Image.new('RGBA', (W * SS, H * SS), (0, 0, 0, 0))
    rd = ImageDraw.Draw(rim)
    rd.rounded_rectangle((S(BODY[0]), S(BODY[1]), S(BODY[2]) - 1, S(BODY[3]) - 1), radius=S(BODY_RADIUS),
                         outline=(255, 255, 255, 150), width=S(1))
    over(face, down(rim))

    # header: the mark, the title and a separator
    hd, hdd = layer(PANEL_W, PANEL_H)
    rrect(hdd, (CLOSE[0], CLOSE[1], CLOSE[2], CLOSE[3]), 3, fill=RED + (255,))
    cx, cy = (CLOSE[0] + CLOSE[2]) / 2, (CLOSE[1] + CLOSE[3]) / 2
    stroke(hdd, [(cx - 4, cy - 4), (cx + 4, cy + 4)], 1.8, (255, 255, 255, 255))
    stroke(hdd, [(cx - 4, cy + 4), (cx + 4, cy - 4)], 1.8, (255, 255, 255, 255))
    hdd.line([(S(36), S(55)), (S(688), S(55))], fill=(255, 255, 255, 170), width=S(1))
    hdd.line([(S(36), S(54)), (S(688), S(54))], fill=(120, 130, 145, 70), width=S(1))
    over(face, down(hd))
    logo = draw_logo(20)
    over(face, logo, (34 * Z, 17 * Z))
    text(face, (62, 27), 'Tabvisor', font(18, bold=True), TEXT + (255,), anchor='lm')

    # raised tiles: a soft shadow below each, then the tile itself
    tsh = Image.new('L', (W, H), 0)
    td = ImageDraw.Draw(tsh)
    for x, y in TILES.values():
        fill_px(td, x, y + 2, x + TILE_W - 1, y + TILE_H + 1, 90)
    tsh = tsh.filter(ImageFilter.GaussianBlur(3 * Z))
    dark = Image.new('RGBA', (W, H), (20, 30, 45, 0))
    dark.putalpha(tsh)
    over(face, dark)
    for x, y in TILES.values():
        face.paste(plain_tile(), (x * Z, y * Z))

    # the device switch tile carries its own heading and a name over each switch
    sx, sy = TILES['switch']
    tile = face.crop((sx * Z, sy * Z, (sx + TILE_W) * Z, (sy + TILE_H) * Z))
    tile_heading(tile, 'Devices', 'Tap a switch to turn it on or off')
    names = ('Camera', 'Wi-Fi', 'Bluetooth', '3G')
    for bx, name in zip(SWITCH_BUTTONS_X, names):
        cx = SWITCH_PAGE[0] + bx + SWITCH_BUTTON / 2 - sx
        text(tile, (cx, SWITCH_PAGE[1] + SWITCH_BUTTONS_Y - sy - 9), name, font(10, condensed=True), TEXT_SOFT,
             anchor='ms')
    face.paste(tile, (sx * Z, sy * Z))

    # the free corner: how to use the panel
    hx, hy = 489, 262
    hint = font(11)
    text(face, (hx, hy), 'Press the tablet key', hint, TEXT_SOFT + (255,))
    text(face, (hx, hy + 16), 'to show this panel.', hint, TEXT_SOFT + (255,))
    text(face, (hx, hy + 40), 'Drag it anywhere to move it,', hint, TEXT_SOFT + (255,))
    text(face, (hx, hy + 56), 'tap the red mark to hide it.', hint, TEXT_SOFT + (255,))
    return face


# ---------------------------------------------------------------------------------------------
# Preview: the panel with its pages on a desktop, as the program composes it
# ---------------------------------------------------------------------------------------------
def desktop(w, h):
    img = Image.new('RGB', (w, h))
    d = ImageDraw.Draw(img)
    for y in range(h):
        t = y / (h - 1)
        d.line([(0, y), (w, y)], fill=(round(24 + 40 * t), round(78 + 60 * t), round(140 + 40 * t)))
    blobs = Image.new('RGBA', (w, h), (0, 0, 0, 0))
    bd = ImageDraw.Draw(blobs)
    bd.ellipse((-120, 260, 520, 820), fill=(120, 200, 220, 120))
    bd.ellipse((560, -200, 1200, 360), fill=(150, 120, 230, 120))
    bd.ellipse((700, 420, 1100, 760), fill=(90, 120, 220, 120))
    blobs = blobs.filter(ImageFilter.GaussianBlur(60))
    img = img.convert('RGBA')
    img.alpha_composite(blobs)
    bar = Image.new('RGBA', (w, 40), (16, 20, 28, 210))
    img.alpha_composite(bar, (0, h - 40))
    return img


def preview(face, pages, devices, thumbs, keyboard_png, keycaps_png):
    W, H = 1024, 600
    img = desktop(W, H)
    px, py = (W - PANEL_W) // 2, (H - 40 - PANEL_H) // 2
    img.alpha_composite(face, (px, py))
    for name, bmp in pages.items():
        x, y = TILES[name]
        img.paste(bmp.crop((0, 0, TILE_W, TILE_H)).convert('RGBA'), (px + x, py + y))
    # device buttons: wireless and Bluetooth on, camera and 3G off
    shown = (175, 170, 174, 171)
    for bx, rid in zip(SWITCH_BUTTONS_X, shown):
        pic = devices[rid]
        ox = int((SWITCH_BUTTON - pic.width) / 2)
        oy = int((SWITCH_BUTTON - pic.height) / 2)
        crop = pic.crop((-ox, -oy, -ox + SWITCH_BUTTON, -oy + SWITCH_BUTTON))
        img.paste(crop.convert('RGBA'), (px + SWITCH_PAGE[0] + bx, py + SWITCH_PAGE[1] + SWITCH_BUTTONS_Y))
    # sliders: the sunken groove over the page's own pixels, and the thumb (volume 50 %, level 5)
    for name, frac in (('volume', 49 / 98), ('brightness', 5 / 7)):
        sx, sy = SLIDERS[name]
        ox, oy = px + TILES[name][0] + sx, py + TILES[name][1] + sy
        d = ImageDraw.Draw(img)
        l, t, r, b = CHANNEL
        d.line([(ox + l, oy + t), (ox + r - 1, oy + t)], fill=(160, 160, 160))
        d.line([(ox + l, oy + t), (ox + l, oy + b - 1)], fill=(160, 160, 160))
        d.line([(ox + l + 1, oy + t + 1), (ox + r - 2, oy + t + 1)], fill=(105, 105, 105))
        d.line([(ox + l, oy + b - 1), (ox + r - 1, oy + b - 1)], fill=(255, 255, 255))
        d.line([(ox + r - 1, oy + t), (ox + r - 1, oy + b - 1)], fill=(255, 255, 255))
        tx = THUMB_X_MIN + round((THUMB_X_MAX - THUMB_X_MIN) * frac)
        img.paste(thumbs[169].convert('RGBA'), (ox + tx, oy + THUMB_Y))
    # launcher buttons, their pictures drawn as GDI+ does at 96 dpi (a little larger than stored)
    for name, (bx, by, bw, bh), pic in (('keyboard', KEYBOARD_BUTTON, keyboard_png),
                                         ('taskmgr', TASKMGR_BUTTON, keycaps_png)):
        x, y = px + TILES[name][0] + bx, py + TILES[name][1] + by
        big = pic.convert('RGBA').resize((round(pic.width * FACE_SCALE), round(pic.height * FACE_SCALE)),
                                         Image.BILINEAR)
        under = img.crop((x, y, x + bw, y + bh))
        under.alpha_composite(big.crop((0, 0, bw, bh)))
        img.paste(under, (x, y))
    return img.convert('RGB')


# ---------------------------------------------------------------------------------------------
def draw_pictures():
    """Every picture of the program at the present Z, by the file name it is written under."""
    pages = {
        'volume': page_bitmap(slider_page('Volume', 'Master volume', sym_speaker, ACCENT, SLIDERS['volume'])),
        'brightness': page_bitmap(slider_page('Brightness', 'Screen brightness', sym_sun, SUN,
                                              SLIDERS['brightness'])),
        'keyboard': page_bitmap(keyboard_page()),
        'taskmgr': page_bitmap(taskmgr_page()),
    }
    pictures = {
        'panel': panel_face(),
        'keyboard': keyboard_picture().convert('RGB'),
        'taskmgr': keycaps_picture(),
        'thumb_pressed': thumb(True),
        'thumb_normal': thumb(False),
    }
    pictures.update({name + '_page': bmp for name, bmp in pages.items()})
    pictures.update({DEVICE_NAMES[rid]: device_picture(rid) for rid in DEVICES})
    return pictures


# Stored resolutions (pixels per metre) of the PNG files; the larger set carries twice as many.
PNG_PPM = {'panel': 5906, 'keyboard': 3741, 'taskmgr': 3741}


def main():
    global Z
    os.makedirs(os.path.join(OUT, '2x'), exist_ok=True)

    logo = [draw_logo(s) for s in (16, 32, 48)]
    write_ico(os.path.join(OUT, 'tabvisor.ico'), logo)

    # The design's pictures, for 100 %: PNG where it asks for PNG, 24- or 32-bit BMP elsewhere.
    Z = 1
    one = draw_pictures()
    for name, ppm in PNG_PPM.items():
        save_png(os.path.join(OUT, name + '.png'), one[name], ppm)
    for name, im in one.items():
        if name not in PNG_PPM:
            write_bmp(os.path.join(OUT, name + '.bmp'), im, 32 if name in DEVICE_NAMES.values() else 24)

    # The same pictures at twice the size, all PNG: opaque ones without alpha, the rest with it.
    Z = 2
    for name, im in draw_pictures().items():
        if name not in ('panel', 'taskmgr'):
            im = im.convert('RGB')
        save_png(os.path.join(OUT, '2x', name + '.png'), im, PNG_PPM.get(name, 3780) * 2)
    Z = 1

    pages = {name: one[name + '_page'] for name in ('volume', 'brightness', 'keyboard', 'taskmgr')}
    devices = {rid: one[DEVICE_NAMES[rid]] for rid in DEVICES}
    thumbs = {168: one['thumb_pressed'], 169: one['thumb_normal']}
    preview(one['panel'], pages, devices, thumbs, one['keyboard'], one['taskmgr']).save(
        os.path.join(RES, 'preview.png'), optimize=True)


if __name__ == '__main__':
    main()
