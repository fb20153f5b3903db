#!/usr/bin/env python3
"""Writes the client's own simple generated pictures into resources/pictures.

Plain solid pictures with a band, made here so that no picture comes from anywhere else.
Run again after changing the table; the output is deterministic."""
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources", "pictures")

# name, width, height, background RGB, band RGB
PICTURES = [
    ("app_splash.png", 320, 480, (18, 92, 160), (255, 255, 255)),
    ("app_splash@2x.png", 640, 960, (18, 92, 160), (255, 255, 255)),
    ("app_splash-568h@2x.png", 640, 1136, (18, 92, 160), (255, 255, 255)),
    ("app_guide_1.png", 320, 480, (240, 240, 240), (18, 92, 160)),
    ("app_guide_1@2x.png", 640, 960, (240, 240, 240), (18, 92, 160)),
    ("app_guide_1-568h@2x.png", 640, 1136, (240, 240, 240), (18, 92, 160)),
    ("app_guide_2-568h@2x.png", 640, 1136, (240, 240, 240), (236, 120, 32)),
    ("help_1.jpg", 320, 480, (255, 255, 255), (18, 92, 160)),
    ("help_2.jpg", 320, 480, (255, 255, 255), (236, 120, 32)),
    ("home_ad_0.jpg", 320, 98, (18, 92, 160), (255, 255, 255)),
    ("home_ad_1.jpg", 320, 98, (236, 120, 32), (255, 255, 255)),
    ("home_ad_2.jpg", 320, 98, (40, 150, 90), (255, 255, 255)),
    ("home_ad_3.jpg", 320, 98, (150, 60, 140), (255, 255, 255)),
]

# Controls and bars, each at one and at two pixels per point:
# name, width and height in points, background RGB, band RGB.
CONTROLS = [
    ("top_bg.png", 320, 44, (18, 92, 160), (40, 116, 186)),
    ("action_btn_normal.png", 40, 30, (30, 104, 172), (58, 132, 198)),
    ("action_btn_selected.png", 40, 30, (14, 70, 124), (30, 92, 150)),
    ("back_btn_normal.png", 60, 30, (30, 104, 172), (58, 132, 198)),
    ("back_btn_selected.png", 60, 30, (14, 70, 124), (30, 92, 150)),
    ("btn-1.png", 40, 30, (236, 120, 32), (246, 150, 70)),
    ("btn-2.png", 60, 30, (236, 120, 32), (246, 150, 70)),
    ("big-btn-bg.png", 302, 44, (236, 120, 32), (246, 150, 70)),
    ("big-btn-down-bg.png", 302, 44, (196, 92, 18), (214, 116, 44)),
    ("big-btn-bg-disable.png", 302, 44, (200, 200, 200), (214, 214, 214)),
    ("big_blue_btn_nor_bg.png", 302, 44, (30, 104, 172), (58, 132, 198)),
    ("big_blue_btn_pre_bg.png", 302, 44, (14, 70, 124), (30, 92, 150)),
    ("half-btn-bg.png", 148, 44, (220, 220, 220), (236, 236, 236)),
    ("half-btn-down-bg.png", 148, 44, (180, 180, 180), (196, 196, 196)),
    ("half-blue-btn-bg.png", 148, 44, (30, 104, 172), (58, 132, 198)),
    ("half-blue-btn-down-bg.png", 148, 44, (14, 70, 124), (30, 92, 150)),
    ("half-btn-bg-disable.png", 148, 44, (200, 200, 200), (214, 214, 214)),
    ("add.png", 30, 30, (30, 104, 172), (255, 255, 255)),
    ("webview_frame_bg.png", 30, 30, (255, 255, 255), (226, 226, 226)),
    ("camera.png", 30, 30, (30, 104, 172), (255, 255, 255)),
    ("camera-down.png", 30, 30, (14, 70, 124), (200, 200, 200)),
    ("camera_bg.png", 320, 524, (20, 20, 20), (236, 120, 32)),
    ("add-pic.png", 62, 44, (226, 226, 226), (30, 104, 172)),
]


def keypad_keys():
    """The two keypads' keys; the digit pad's normal 0 key is spelled as the keypad asks for it."""
    keys = []
    blue, light = (30, 104, 172), (58, 132, 198)
    grey, white = (226, 226, 226), (255, 255, 255)
    names = ["n_keyboard_%d" % d for d in range(1, 10)] + ["n_keyboard_over", "n_keyboard_x"]
    for name in names:
        keys.append((name + ".png", 106, 40, white, grey))
        keys.append((name + "_hover.png", 106, 40, grey, white))
    keys.append(("n_keyborad_0.png", 106, 40, white, grey))
    keys.append(("n_keyboard_0_hover.png", 106, 40, grey, white))
    safe = ["s_keyboard_%d" % d for d in range(10)] + ["s_keyboard_x", "s_keyboard_c", "s_keyboard_dot",
                                                        "s_keyboard_00"]
    for name in safe:
        keys.append((name + ".png", 64, 40, white, grey))
        keys.append((name + "_hover.png", 64, 40, grey, white))
    for name in ["s_keyboard_dot", "s_keyboard_00"]:
        keys.append((name + "_disable.png", 64, 40, (200, 200, 200), (214, 214, 214)))
    keys.append(("s_keyboard_hide.png", 64, 90, blue, light))
    keys.append(("s_keyboard_hide_hover.png", 64, 90, (14, 70, 124), (30, 92, 150)))
    return keys


# Receipt rows, keypads, small views and form bars.
WIDGETS = [
    ("title-bg.png", 280, 40, (18, 92, 160), (40, 116, 186)),
    ("bill-border.png", 320, 40, (255, 255, 255), (226, 226, 226)),
    ("n_keyboard_bg.png", 320, 216, (210, 210, 210), (226, 226, 226)),
    ("home_icon_dot.png", 6, 6, (200, 200, 200), (200, 200, 200)),
    ("home_icon_dot_selected.png", 6, 6, (30, 104, 172), (30, 104, 172)),
    ("check-off.png", 20, 20, (255, 255, 255), (200, 200, 200)),
    ("check-on.png", 20, 20, (236, 120, 32), (255, 255, 255)),
    ("swiper_expand_up.png", 24, 24, (255, 255, 255), (30, 104, 172)),
    ("swiper_expand_down.png", 24, 24, (30, 104, 172), (255, 255, 255)),
    ("swiper_image.png", 280, 120, (240, 240, 240), (30, 104, 172)),
    ("car_rental_btn.png", 300, 44, (236, 120, 32), (246, 150, 70)),
    ("car_rental_down_btn.png", 300, 44, (196, 92, 18), (214, 116, 44)),
    ("anniu_open.png", 120, 40, (236, 120, 32), (246, 150, 70)),
    ("anniu_attention.png", 120, 40, (30, 104, 172), (58, 132, 198)),
    ("phone.png", 125, 43, (30, 104, 172), (58, 132, 198)),
    ("phone_down.png", 125, 43, (14, 70, 124), (30, 92, 150)),
    ("tmall.png", 125, 43, (236, 120, 32), (246, 150, 70)),
    ("tmall_down.png", 125, 43, (196, 92, 18), (214, 116, 44)),
    ("product.png", 80, 80, (240, 240, 240), (30, 104, 172)),
    ("zmhs_error.png", 150, 140, (255, 255, 255), (200, 200, 200)),
] + [("wv_%s_%s.png" % (name, state), 44, 44, bg, (255, 255, 255))
     for name in ("left", "right", "renovate", "stop_renovate", "more")
     for state, bg in (("normal", (30, 104, 172)), ("selected", (14, 70, 124)))] + [("%03d.png" % i, 280, 160, (240, 240, 240), (30 + 16 * i, 104, 172)) for i in range(1, 12)] + keypad_keys()


def at_both_scales(table):
    for name, w, h, bg, band in table:
        stem, ext = os.path.splitext(name)
        yield name, w, h, bg, band
        yield stem + "@2x" + ext, w * 2, h * 2, bg, band


def png(width, height, bg, band):
    rows = []
    top, bottom = height * 2 // 5, height * 3 // 5
    for y in range(height):
        colour = band if top <= y < bottom else bg
        rows.append(b"\x00" + bytes(colour) * width)
    raw = zlib.compress(b"".join(rows), 9)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", raw) + chunk(b"IEND", b"")


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, w, h, bg, band in PICTURES + list(at_both_scales(CONTROLS)) + list(at_both_scales(WIDGETS)):
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(png(w, h, bg, band))
    return 0


if __name__ == "__main__":
    sys.exit(main())
