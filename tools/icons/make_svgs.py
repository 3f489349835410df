#!/usr/bin/env python3
"""Writes the program's own icon artwork as SVG files.

One line-icon family on a 24 unit grid (16 for the style sheet's small internal
pictures): black strokes of one weight with round caps and joins on a transparent
background, so that tinting recolours every stroke alike. The status pictures are
drawn in their own colours.

    python3 tools/icons/make_svgs.py            # writes tools/icons/svg/**
    tools/icons/rasterize.sh                    # renders the PNG resources

Output folders: svg/general (tinted, general and toggle tables), svg/internal
(tinted, style-sheet pictures) and svg/images (status pictures, untinted).
"""

import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "svg")

STROKE = 1.6          # line weight of the 24-unit family
SMALL_STROKE = 1.0    # line weight of the 16-unit internal pictures


def svg(body, size=24, stroke=STROKE, colour="#000"):
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" '
        f'viewBox="0 0 {size} {size}">\n'
        f'<g fill="none" stroke="{colour}" stroke-width="{stroke}" '
        'stroke-linecap="round" stroke-linejoin="round">\n'
        f"{body}\n</g>\n</svg>\n"
    )


def f(v):
    return f"{v:.2f}".rstrip("0").rstrip(".")


def path(d, extra=""):
    return f'<path d="{d}" {extra}/>'


def filled(d):
    return f'<path d="{d}" fill="#000" stroke="none"/>'


def circle(cx, cy, r, fill=False):
    if fill:
        return f'<circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r)}" fill="#000" stroke="none"/>'
    return f'<circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r)}"/>'


def rect(x, y, w, h, rx=0, extra=""):
    return f'<rect x="{f(x)}" y="{f(y)}" width="{f(w)}" height="{f(h)}" rx="{f(rx)}" {extra}/>'


def ellipse(cx, cy, rx, ry, extra=""):
    return f'<ellipse cx="{f(cx)}" cy="{f(cy)}" rx="{f(rx)}" ry="{f(ry)}" {extra}/>'


def group(body, tx=0, ty=0, scale=1.0, stroke=None):
    sw = f' stroke-width="{f((stroke or STROKE) / scale)}"' if scale != 1.0 or stroke else ""
    return f'<g transform="translate({f(tx)},{f(ty)}) scale({f(scale)})"{sw}>{body}</g>'


def head(x, y, dx, dy, size=3.0):
    """Open arrow head at (x, y) pointing along (dx, dy)."""
    n = math.hypot(dx, dy)
    ux, uy = dx / n, dy / n
    a = math.radians(35)
    pts = []
    for s in (1, -1):
        rx = -ux * math.cos(a) + s * -uy * math.sin(a)
        ry = -uy * math.cos(a) + s * ux * math.sin(a)
        pts.append((x + rx * size, y + ry * size))
    return path(f"M{f(pts[0][0])},{f(pts[0][1])} L{f(x)},{f(y)} L{f(pts[1][0])},{f(pts[1][1])}")


def arrow(x1, y1, x2, y2, size=3.0, both=False):
    out = path(f"M{f(x1)},{f(y1)} L{f(x2)},{f(y2)}") + head(x2, y2, x2 - x1, y2 - y1, size)
    if both:
        out += head(x1, y1, x1 - x2, y1 - y2, size)
    return out


def arc_arrow(cx, cy, r, a0, a1, size=3.0, clockwise=True):
    """Arc from angle a0 to a1 (degrees, screen coordinates) with a head at a1."""
    p0 = (cx + r * math.cos(math.radians(a0)), cy + r * math.sin(math.radians(a0)))
    p1 = (cx + r * math.cos(math.radians(a1)), cy + r * math.sin(math.radians(a1)))
    sweep = (a1 - a0) % 360 if clockwise else (a0 - a1) % 360
    large = 1 if sweep > 180 else 0
    d = f"M{f(p0[0])},{f(p0[1])} A{f(r)},{f(r)} 0 {large} {1 if clockwise else 0} {f(p1[0])},{f(p1[1])}"
    t = math.radians(a1)
    tx, ty = (-math.sin(t), math.cos(t)) if clockwise else (math.sin(t), -math.cos(t))
    return path(d) + head(p1[0], p1[1], tx, ty, size)


def gear(cx, cy, r_out, r_in, teeth, hole):
    pts = []
    step = 360.0 / teeth
    for k in range(teeth):
        base = k * step
        for da, r in ((-0.32, r_in), (-0.17, r_out), (0.17, r_out), (0.32, r_in)):
            a = math.radians(base + da * step)
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    d = "M" + " L".join(f"{f(x)},{f(y)}" for x, y in pts) + " Z"
    return path(d) + circle(cx, cy, hole)


# Stroke glyphs in a 4 x 6 box.
GLYPHS = {
    "X": "M0,0 L4,6 M4,0 L0,6",
    "Y": "M0,0 L2,3 L4,0 M2,3 L2,6",
    "Z": "M0,0 L4,0 L0,6 L4,6",
    "+": "M0,3 L4,3 M2,1 L2,5",
    "-": "M0.5,3 L3.5,3",
    "0": "M0,1.6 Q0,0 2,0 Q4,0 4,1.6 L4,4.4 Q4,6 2,6 Q0,6 0,4.4 Z",
    "1": "M0.8,1.3 L2.4,0 L2.4,6",
    "2": "M0.2,1.4 Q0.6,0 2,0 Q4,0 4,1.7 Q4,3 0,6 L4,6",
    "3": "M0.2,0.6 Q1.2,0 2,0 Q4,0 3.9,1.5 Q3.8,2.9 1.6,2.9 Q4.1,2.9 4,4.5 Q3.9,6 2,6 Q0.8,6 0,5.3",
    "4": "M3,6 L3,0 L0,4.2 L4,4.2",
    "5": "M3.8,0 L0.6,0 L0.3,2.7 Q1,2.2 2,2.2 Q4,2.2 4,4.1 Q4,6 2,6 Q0.8,6 0,5.3",
}


def text(s, x, y, h, stroke=1.5):
    sc = h / 6.0
    body = ""
    for i, ch in enumerate(s):
        body += f'<path transform="translate({f(i * 5.6)},0)" d="{GLYPHS[ch]}"/>'
    return f'<g transform="translate({f(x)},{f(y)}) scale({f(sc)})" stroke-width="{f(stroke / sc)}">{body}</g>'


# Shared motifs on the 24 grid.
ANCHOR = (circle(12, 4.8, 2.2) + path("M12,7 L12,21 M8,10.5 L16,10.5")
          + path("M4.5,13.5 Q4.5,21 12,21 Q19.5,21 19.5,13.5")
          + path("M2.8,15.5 L4.5,13.5 L6.5,15.3 M17.5,15.3 L19.5,13.5 L21.2,15.5"))
TAG = path("M3,3 L11,3 L21,13 L13,21 L3,11 Z") + circle(7.6, 7.6, 1.6)
GLOBE = (circle(12, 12, 9) + ellipse(12, 12, 4, 9) + path("M3,12 L21,12 M4.2,7.5 L19.8,7.5 M4.2,16.5 L19.8,16.5"))
DOC = path("M6,3 L14,3 L19,8 L19,21 L6,21 Z M14,3 L14,8 L19,8")
CHIP = (rect(6, 6, 12, 12, 1.5)
        + path("M9.5,3 L9.5,6 M14.5,3 L14.5,6 M9.5,18 L9.5,21 M14.5,18 L14.5,21"
               " M3,9.5 L6,9.5 M3,14.5 L6,14.5 M18,9.5 L21,9.5 M18,14.5 L21,14.5"))
MAGNET = (path("M6,4 L6,12 A6,6 0 0 0 18,12 L18,4 L14,4 L14,12 A2,2 0 0 1 10,12 L10,4 Z")
          + path("M6,7.5 L10,7.5 M14,7.5 L18,7.5"))
CORNERS = path("M3,8 L3,3 L8,3 M16,3 L21,3 L21,8 M21,16 L21,21 L16,21 M8,21 L3,21 L3,16")
PLUG_BODY = rect(4, 8, 5.5, 8, 1)
RESTART_ARC = arc_arrow(12, 12, 9.5, 300, 240, 3.2)


def model(shape, digit):
    return shape + text(digit, 18.2, 15.5, 6.5, 1.4)


GENERAL = {
    "addtag": group(TAG, 0, 0, 0.78) + path("M18,13 L18,22 M13.5,17.5 L22.5,17.5"),
    "airplane": path("M12,2 C13,2 13.5,3 13.5,4 L13.5,9 L21,13.5 L21,15.5 L13.5,13 L13.5,18 L16,20"
                     " L16,21.5 L12,20.5 L8,21.5 L8,20 L10.5,18 L10.5,13 L3,15.5 L3,13.5 L10.5,9"
                     " L10.5,4 C10.5,3 11,2 12,2 Z"),
    "anchor": ANCHOR,
    "autorecognize1": CORNERS + circle(11, 11, 3.8) + path("M13.8,13.8 L17,17"),
    "axis3d": arrow(10, 14, 10, 2.5) + arrow(10, 14, 21.5, 14) + arrow(10, 14, 3, 21),
    "car": path("M3,16 L3,12 L6,11 L8.5,7 L15.5,7 L18.5,11 L21,12 L21,16 L19,16"
                " M10,16 L14,16 M3,16 L5,16 M6,11 L18.5,11 M12,7 L12,11")
           + circle(7.5, 16.5, 2.3) + circle(16.5, 16.5, 2.3),
    "clear": path("M3.5,14.5 L12.5,5.5 L20.5,13.5 L14,20 L9,20 Z M8,10 L16,18 M14,20 L21,20"),
    "close": path("M6,6 L18,18 M18,6 L6,18"),
    "command": rect(2, 4, 20, 16, 2) + path("M6,9 L9.5,12 L6,15 M11.5,15.5 L17,15.5"),
    "communication": arrow(3.5, 8, 20.5, 8) + arrow(20.5, 16, 3.5, 16),
    "company": path("M4,21 L4,5 L13,3 L13,21 M13,9 L20,11 L20,21 M2,21 L22,21"
                    " M7,8 L10,8 M7,12 L10,12 M7,16 L10,16 M16,14.5 L17,14.5 M16,17.5 L17,17.5"),
    "config": path("M4,6 L7,6 M11,6 L20,6 M4,12 L13,12 M17,12 L20,12 M4,18 L5,18 M9,18 L20,18")
              + circle(9, 6, 2) + circle(15, 12, 2) + circle(7, 18, 2),
    "connected1": path("M1.5,12 L4,12") + PLUG_BODY + path("M9.5,10 L13,10 M9.5,14 L13,14")
                  + rect(13, 8, 5.5, 8, 1) + path("M18.5,12 L22.5,12"),
    "customize": path("M14.5,3.2 A5.2,5.2 0 0 0 10,10.2 L3.6,16.6 A2.1,2.1 0 0 0 6.6,19.6"
                      " L13,13.2 A5.2,5.2 0 0 0 20,8.7 L17,11.4 L14.2,10.8 L13.6,8 Z"),
    "customizelayout": rect(3, 4, 18, 16, 1.5) + path("M3,9 L21,9 M10,9 L10,20 M10,14.5 L21,14.5"),
    "data": ellipse(12, 6, 7, 2.5) + path("M5,6 L5,18 A7,2.5 0 0 0 19,18 L19,6 M5,12 A7,2.5 0 0 0 19,12"),
    "debug": ellipse(12, 14, 5, 6.5) + path("M9,8.6 Q12,4.5 15,8.6 M12,9 L12,20.5"
                                            " M7,11 L3.5,9 M7,14.5 L3,14.5 M7.5,18 L4,21"
                                            " M17,11 L20.5,9 M17,14.5 L21,14.5 M16.5,18 L20,21"
                                            " M10.5,6.5 L8.5,3 M13.5,6.5 L15.5,3"),
    "delete": path("M4,7 L20,7 M9,7 L9,4 L15,4 L15,7 M6,7 L7,21 L17,21 L18,7 M10,11 L10,17 M14,11 L14,17"),
    "direction": path("M12,3 L19,20 L12,16 L5,20 Z"),
    "disconnected1": path("M1.5,12 L3,12") + rect(3, 8, 5.5, 8, 1) + path("M8.5,10 L11,10 M8.5,14 L11,14")
                     + rect(15.5, 8, 5.5, 8, 1) + path("M21,12 L22.5,12 M13.2,5 L13.2,7 M13.2,17 L13.2,19"),
    "download": path("M12,3 L12,15 M7,10 L12,15 L17,10 M4,15 L4,20 L20,20 L20,15"),
    "embed": path("M8,7 L3,12 L8,17 M16,7 L21,12 L16,17 M14,5 L10,19"),
    "export1": path("M13,4 L4,4 L4,20 L13,20") + arrow(9, 12, 21, 12),
    "frametag": CORNERS + group(TAG, 6.5, 6.5, 0.46),
    "fusion": circle(9, 12, 6.2) + circle(15, 12, 6.2),
    "globalrestart": RESTART_ARC + group(GLOBE, 7, 7, 0.42),
    "globalsetting": group(GLOBE, 0, 0, 0.82) + gear(18, 18, 4.6, 3.2, 8, 1.3),
    "gyro": circle(12, 12, 9) + ellipse(12, 12, 9, 3.2) + ellipse(12, 12, 3.2, 9) + circle(12, 12, 1.4, True),
    "horizontalsplit": rect(3, 4, 18, 16, 1.5) + path("M3,12 L21,12"),
    "human": circle(12, 5, 2.5) + path("M12,8 L12,15 M7,11 L12,9.5 L17,11 M12,15 L8.5,21 M12,15 L15.5,21"),
    "import": path("M11,4 L20,4 L20,20 L11,20") + arrow(3, 12, 15, 12),
    "keepontop": path("M8.5,3 L15.5,3 M10,3 L10,10 L7,14 L17,14 L14,10 L14,3 M12,14 L12,21"),
    "led": path("M8,15 L8,10 A4,4 0 0 1 16,10 L16,15 M6.5,15 L17.5,15 M10,15 L10,21.5 M14,15 L14,19.5"
                " M3.5,6 L5.5,7.2 M20.5,6 L18.5,7.2 M12,1.8 L12,3.4 M6.3,2.6 L7.4,4.3 M17.7,2.6 L16.6,4.3"),
    "lightning": path("M13.5,2 L5,14 L11,14 L10,22 L19,9.5 L13,9.5 Z"),
    "linechart": path("M3,3 L3,21 L21,21 M6.5,16 L10.5,10 L14,13.5 L20,5"),
    "list": circle(5, 6, 1.2, True) + circle(5, 12, 1.2, True) + circle(5, 18, 1.2, True)
            + path("M9,6 L20,6 M9,12 L20,12 M9,18 L20,18"),
    "location": path("M12,21.5 C12,21.5 5,14.5 5,9.5 A7,7 0 0 1 19,9.5 C19,14.5 12,21.5 12,21.5 Z")
                + circle(12, 9.5, 2.5),
    "mag": MAGNET,
    "map": path("M3,6 L9,4 L15,6 L21,4 L21,18 L15,20 L9,18 L3,20 Z M9,4 L9,18 M15,6 L15,20"),
    "maximize": rect(5, 5, 14, 14, 1),
    "minimize": path("M5,17 L19,17"),
    "model0": model(path("M4,8 L10,5 L16,8 L16,16 L10,19 L4,16 Z M4,8 L10,11 L16,8 M10,11 L10,19"), "0"),
    "model1": model(circle(10, 11, 7) + ellipse(10, 11, 7, 2.5), "1"),
    "model2": model(ellipse(10, 16.5, 6, 2) + path("M4,16.5 L10,3 L16,16.5"), "2"),
    "model3": model(ellipse(10, 5, 6, 2) + path("M4,5 L4,17 A6,2 0 0 0 16,17 L16,5"), "3"),
    "model4": model(path("M3,16 L10,3 L17,14 L11,19.5 Z M10,3 L11,19.5"), "4"),
    "model5": model(path("M10,2 L16.5,10 L12.5,10 L12.5,19.5 L7.5,19.5 L7.5,10 L3.5,10 Z"), "5"),
    "needle": path("M12,2 L15,12 L12,22 L9,12 Z") + filled("M12,2 L15,12 L9,12 Z") + circle(12, 12, 1),
    "newwindow": rect(3, 6, 13, 14, 1.2) + path("M3,9.5 L16,9.5 M19.5,2.5 L19.5,9.5 M16,6 L23,6"),
    "normalizefrommaximize": rect(4, 8, 12, 12, 1) + path("M8,8 L8,4 L20,4 L20,16 L16,16"),
    "openfile": path("M3,19 L3,5.5 L9,5.5 L11,7.5 L19,7.5 L19,11 M3,19 L6,11 L22,11 L19,19 Z"),
    "operate": path("M9,8 L9,21.5 L12.2,18.4 L14.6,22.5 L16.6,21.4 L14.2,17.3 L18.6,17.3 Z"
                    " M9,2 L9,4.2 M4.2,4.2 L5.6,5.6 M13.8,4.2 L12.4,5.6 M3,8.5 L5,8.5"),
    "pause": rect(6, 5, 4, 14, 1) + rect(14, 5, 4, 14, 1),
    "play": path("M7,4 L19.5,12 L7,20 Z"),
    "popup": path("M17,14 L17,20 L4,20 L4,7 L10,7") + path("M14,3 L21,3 L21,10 M21,3 L11.5,12.5"),
    "poweroff": path("M12,3 L12,11.5 M7,6.5 A8,8 0 1 0 17,6.5"),
    "protocol": rect(2, 9, 20, 6, 1) + filled("M2.8,9.8 L6.4,9.8 L6.4,14.2 L2.8,14.2 Z")
                + path("M7,9 L7,15 M12,9 L12,15 M17,9 L17,15")
                + arrow(7, 4.5, 19, 4.5, 2.4) + arrow(17, 19.5, 5, 19.5, 2.4),
    "protocoldata": rect(3, 3, 18, 5.5, 1) + filled("M3.7,3.7 L7.3,3.7 L7.3,7.8 L3.7,7.8 Z")
                    + path("M8,3 L8,8.5 M13,3 L13,8.5 M3,13 L21,13 M3,17 L16,17 M3,21 L18,21"),
    "purereading": path("M2,12 Q12,2.5 22,12 Q12,21.5 2,12 Z") + circle(12, 12, 3.2),
    "quadrotor": rect(9.5, 9.5, 5, 5, 1) + path("M9.5,9.5 L7.8,7.8 M14.5,9.5 L16.2,7.8 M9.5,14.5 L7.8,16.2"
                                                " M14.5,14.5 L16.2,16.2")
                 + circle(5.5, 5.5, 3) + circle(18.5, 5.5, 3) + circle(5.5, 18.5, 3) + circle(18.5, 18.5, 3),
    "question": circle(12, 12, 9.5) + path("M9.2,9.4 A2.8,2.8 0 1 1 13.2,11.9 Q12,12.6 12,14.3")
                + circle(12, 17.3, 1, True),
    "read": rect(12, 5, 9, 14, 1.2) + path("M14.5,2.5 L14.5,5 M18.5,2.5 L18.5,5 M14.5,19 L14.5,21.5"
                                           " M18.5,19 L18.5,21.5") + arrow(12, 12, 2.5, 12),
    "recording1": circle(12, 12, 9) + circle(12, 12, 4.5, True),
    "replay1": arc_arrow(12, 12, 9, 300, 240, 3.2) + path("M10,8.5 L15.5,12 L10,15.5 Z"),
    "restart": RESTART_ARC,
    "restartanchor": RESTART_ARC + group(ANCHOR, 6.6, 6.6, 0.45),
    "restarttag": RESTART_ARC + group(TAG, 6.8, 6.8, 0.43),
    "save": path("M4,4 L17,4 L20,7 L20,20 L4,20 Z") + path("M8,4 L8,9 L15,9 L15,4") + rect(7, 13, 10, 7),
    "scatter3dchart": path("M7,16 L7,3 M7,16 L21,16 M7,16 L2.5,20.5") + circle(11, 7.5, 1.3, True)
                      + circle(15, 11, 1.3, True) + circle(18, 5.5, 1.3, True) + circle(10.5, 19.5, 1.3, True)
                      + circle(14.5, 19, 1.3, True),
    "scatterchart": path("M3,3 L3,21 L21,21") + circle(7.5, 15.5, 1.4, True) + circle(10.5, 9.5, 1.4, True)
                    + circle(14, 14, 1.4, True) + circle(17.5, 6.5, 1.4, True) + circle(18.5, 12.5, 1.4, True),
    "screenshot": path("M3,8 L7,8 L9,5 L15,5 L17,8 L21,8 L21,19 L3,19 Z") + circle(12, 13, 3.5),
    "serialport2": path("M2,7 L22,7 L19.5,17 L4.5,17 Z")
                   + "".join(circle(x, 10.5, 0.95, True) for x in (6, 9, 12, 15, 18))
                   + "".join(circle(x, 13.8, 0.95, True) for x in (7.5, 10.5, 13.5, 16.5)),
    "setting": gear(12, 12, 9.5, 6.8, 8, 3),
    "stable": rect(2, 9, 20, 6, 3) + circle(12, 12, 1.6, True) + path("M9.3,9 L9.3,15 M14.7,9 L14.7,15"),
    "static": circle(12, 6, 3) + path("M12,9 L6,21 M12,9 L18,21 M12,9 L12,21"),
    "store": rect(3, 4, 18, 5, 1) + path("M5,9 L5,20 L19,20 L19,9 M10,13 L14,13"),
    "tag": TAG,
    "tagstatus": group(TAG, 0, 0, 0.62) + path("M9,18 L12,18 L14,14 L16.5,22 L18.5,17 L22,17"),
    "target": circle(12, 12, 8.5) + circle(12, 12, 4.5) + circle(12, 12, 1.3, True)
              + path("M12,1.5 L12,5 M12,19 L12,22.5 M1.5,12 L5,12 M19,12 L22.5,12"),
    "track": path("M4.5,19 Q7,9 12,13 Q17,17 19.5,6", 'stroke-dasharray="2.2,2.6"') + circle(4.5, 19, 1.8, True)
             + circle(19.5, 5, 2.4),
    "update": arc_arrow(12, 12, 8.5, 200, 340, 3) + arc_arrow(12, 12, 8.5, 20, 160, 3),
    "updatefirmware1": CHIP + arrow(12, 15.5, 12, 8.5, 2.6),
    "upload": path("M12,15 L12,3 M7,8 L12,3 L17,8 M4,15 L4,20 L20,20 L20,15"),
    "verticalsplit": rect(3, 4, 18, 16, 1.5) + path("M12,4 L12,20"),
    "vip": path("M3,8 L7.5,13 L12,5 L16.5,13 L21,8 L19,19 L5,19 Z M5.5,16 L18.5,16"),
    "website": GLOBE,
    "wirelesssetting": path("M4,13.5 A8.5,8.5 0 0 1 16,13.5 M6.8,16.3 A4.6,4.6 0 0 1 13.2,16.3"
                            " M1.2,10.7 A12.4,12.4 0 0 1 18.8,10.7")
                       + circle(10, 19.2, 1.2, True) + gear(19, 19, 3.9, 2.7, 7, 1.1),
    "write": rect(12, 5, 9, 14, 1.2) + path("M14.5,2.5 L14.5,5 M18.5,2.5 L18.5,5 M14.5,19 L14.5,21.5"
                                            " M18.5,19 L18.5,21.5") + arrow(2.5, 12, 11, 12),
    "color-palette": path("M12,3 A9,9 0 0 0 12,21 C14,21 14.5,19.5 13.5,18 C12.5,16.5 13.5,15 15.5,15"
                          " L17.5,15 A3.5,3.5 0 0 0 21,11.5 C21,6.8 17,3 12,3 Z")
                     + circle(7.5, 11.5, 1.3, True) + circle(9, 7, 1.3, True) + circle(13.5, 6.5, 1.3, True)
                     + circle(17, 9.5, 1.3, True),
    "ahrs-calibration1": circle(12, 12, 9) + path("M3.5,14.2 L20.5,9.8 M7.5,12.5 L10.3,12.5 L12,14.3 L13.7,12.5"
                                                  " L16.5,12.5 M12,3 L12,5"),
    "accx+": arrow(3, 18, 21, 18) + text("X+", 4, 4, 8),
    "accx-": arrow(21, 18, 3, 18) + text("X-", 4, 4, 8),
    "accy+": arrow(5, 21, 5, 3) + text("Y+", 10, 8, 8),
    "accy-": arrow(5, 3, 5, 21) + text("Y-", 10, 8, 8),
    "accz+": arrow(19, 5, 4, 20) + text("Z+", 11.5, 13, 7),
    "accz-": arrow(4, 20, 19, 5) + text("Z-", 11.5, 13, 7),
    "magx": group(MAGNET, 0, 0, 0.55) + text("X", 14, 12, 9, 1.7),
    "magy": group(MAGNET, 0, 0, 0.55) + text("Y", 14, 12, 9, 1.7),
    "magz": group(MAGNET, 0, 0, 0.55) + text("Z", 14, 12, 9, 1.7),
    "accelerometer": path("M4.2,17.5 A8.5,8.5 0 1 1 19.8,17.5 M12,4.6 L12,6.2 M5.6,8.6 L6.8,9.6"
                          " M18.4,8.6 L17.2,9.6 M12,14.5 L16,8.5 M7,20 L17,20") + circle(12, 14.5, 1.5, True),
    "range": path("M3,5.5 L3,18.5 M21,5.5 L21,18.5") + arrow(5.5, 12, 18.5, 12, 2.8, both=True),
    "signalreceiver": path("M12,10.5 L8,21.5 M12,10.5 L16,21.5 M9.4,17.5 L14.6,17.5") + circle(12, 9, 1.5, True)
                      + path("M8.5,5.5 A5,5 0 0 0 8.5,12.5 M15.5,5.5 A5,5 0 0 1 15.5,12.5"
                             " M5.7,2.7 A9,9 0 0 0 5.7,15.3 M18.3,2.7 A9,9 0 0 1 18.3,15.3"),
    "selectall": rect(3, 3, 18, 18, 1.5, 'stroke-dasharray="2.6,2.6"') + path("M8,12.2 L11,15.2 L16.5,9"),
    "new": DOC + path("M12.5,11 L12.5,18 M9,14.5 L16,14.5"),
    "menu1": path("M4,6 L20,6 M4,12 L20,12 M4,18 L20,18"),
    "productSetting1": rect(2.5, 3, 12.5, 17, 2) + path("M5.5,7 L12,7 M5.5,10.5 L9.5,10.5")
                       + gear(17.5, 17, 4.8, 3.3, 8, 1.4),
    "dop": path("M4,20.5 L6,17 L8,20.5 Z M16,20.5 L18,17 L20,20.5 Z M10,6.5 L12,3 L14,6.5 Z")
           + path("M6.5,17.5 L11.5,13.5 M17.5,17.5 L12.5,13.5 M12,7 L12,12.5", 'stroke-dasharray="1.6,1.8"')
           + circle(12, 13.5, 1.6, True),
    "zoom": circle(10, 10, 6.5) + path("M14.8,14.8 L21,21 M10,7 L10,13 M7,10 L13,10"),
    # Toggle pictures: a chain joined and broken; a switch off and on.
    "connected": rect(2.5, 9.5, 11, 5, 2.5, 'transform="rotate(-45 12 12)"')
                 + rect(10.5, 9.5, 11, 5, 2.5, 'transform="rotate(-45 12 12)"'),
    "disconnected": rect(0.5, 9.5, 9.5, 5, 2.5, 'transform="rotate(-45 12 12)"')
                    + rect(14, 9.5, 9.5, 5, 2.5, 'transform="rotate(-45 12 12)"')
                    + path("M6.5,6.5 L8.2,8.2 M15.8,15.8 L17.5,17.5 M10.2,4 L10.6,6.2 M13.8,20 L13.4,17.8"),
    "switch_off": rect(2, 7, 20, 10, 5) + circle(7, 12, 3),
    "switch_on": '<path fill="#000" fill-rule="evenodd" stroke="none" d="M7,7 L17,7 A5,5 0 0 1 17,17 '
                 'L7,17 A5,5 0 0 1 7,7 Z M17,9 A3,3 0 1 0 17,15 A3,3 0 1 0 17,9 Z"/>' + rect(2, 7, 20, 10, 5),
}

# A clock face drawn as an almost full circle turning back, its head at the upper left.
GENERAL["history"] = (path("M4.3,16.5 A9,9 0 1 0 3.5,9.5") + head(3.5, 9.5, -0.3, -1.0, 3.0)
                      + path("M12,7.5 L12,12 L15.5,14"))

# Drawn on the pixel grid (1 px lines on half-pixel positions) so that the 16 px
# pictures stay crisp at their natural size.
INTERNAL = {
    "checkbox_unchecked": rect(2.5, 2.5, 11, 11, 2),
    "checkbox_checked": rect(2.5, 2.5, 11, 11, 2) + path("M5,8.2 L7.2,10.4 L11.2,5.8", 'stroke-width="1.8"'),
    "checkbox_indeterminate": rect(2.5, 2.5, 11, 11, 2) + path("M5.5,8 L10.5,8", 'stroke-width="2"'),
    "radio_unchecked": circle(8, 8, 5.5),
    "radio_checked": circle(8, 8, 5.5) + circle(8, 8, 3, True),
    "up_arrow": path("M4.5,10 L8,6.5 L11.5,10", 'stroke-width="1.5"'),
    "down_arrow": path("M4.5,6.5 L8,10 L11.5,6.5", 'stroke-width="1.5"'),
    "left_arrow": path("M10,4.5 L6.5,8 L10,11.5", 'stroke-width="1.5"'),
    "right_arrow": path("M6.5,4.5 L10,8 L6.5,11.5", 'stroke-width="1.5"'),
    "branch_open": path("M4.5,6.5 L8,10 L11.5,6.5", 'stroke-width="1.5"'),
    "branch_closed": path("M6.5,4.5 L10,8 L6.5,11.5", 'stroke-width="1.5"'),
}

STATUS_COLOURS = {
    "gray": ("#b0b0b0", "#6d6d6d"),
    "green": ("#4cd353", "#1d8a26"),
    "red": ("#f0463f", "#a51c1c"),
    "yellow": ("#ffd23a", "#c48c00"),
    "blue": ("#3d9bff", "#0d4fa8"),
    "cyan": ("#3fdcec", "#00838f"),
}


def raw_svg(body, size=24):
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" viewBox="0 0 {size} {size}">\n'
        f"{body}\n</svg>\n"
    )


def light(name, light_c, dark_c):
    return raw_svg(
        f'<defs><radialGradient id="g" cx="9.5" cy="8.5" r="12" gradientUnits="userSpaceOnUse">'
        f'<stop offset="0" stop-color="#ffffff"/><stop offset="0.25" stop-color="{light_c}"/>'
        f'<stop offset="1" stop-color="{dark_c}"/></radialGradient></defs>'
        f'<circle cx="12" cy="12" r="9.5" fill="url(#g)" stroke="{dark_c}" stroke-width="1"/>'
        '<ellipse cx="10" cy="7.6" rx="4.2" ry="2.4" fill="#ffffff" fill-opacity="0.55"/>')


def anchor_badge(light_c, dark_c):
    glyph = ANCHOR
    return raw_svg(
        f'<circle cx="12" cy="12" r="11" fill="{light_c}" stroke="{dark_c}" stroke-width="1"/>'
        f'<g transform="translate(4.2,4) scale(0.65)" fill="none" stroke="#ffffff" stroke-width="2.6" '
        f'stroke-linecap="round" stroke-linejoin="round">{glyph}</g>')


def console(light_c, dark_c):
    return raw_svg(
        f'<rect x="1.5" y="3" width="21" height="14.5" rx="2" fill="{light_c}" stroke="{dark_c}" stroke-width="1"/>'
        f'<path d="M12,17.5 L12,20.5 M7.5,21 L16.5,21" fill="none" stroke="{dark_c}" stroke-width="1.8" '
        'stroke-linecap="round"/>'
        '<path d="M5.5,7.5 L8.5,10.2 L5.5,13 M10.5,13.2 L15.5,13.2" fill="none" stroke="#ffffff" '
        'stroke-width="1.8" stroke-linecap="round" stroke-linejoin="round"/>')


LOGO = raw_svg(
    '<defs><linearGradient id="b" x1="0" y1="0" x2="24" y2="24" gradientUnits="userSpaceOnUse">'
    '<stop offset="0" stop-color="#2aa7ff"/><stop offset="1" stop-color="#0a4f9c"/></linearGradient></defs>'
    '<rect x="1" y="1" width="22" height="22" rx="5" fill="url(#b)"/>'
    '<path d="M6,7 L15,7 M10.5,7 L10.5,18.5" fill="none" stroke="#ffffff" stroke-width="2.4" '
    'stroke-linecap="round"/>'
    '<circle cx="16.5" cy="15.5" r="1.7" fill="#ffb300"/>'
    '<path d="M16.5,11.3 A4.2,4.2 0 0 1 20.7,15.5 M16.5,8.6 A6.9,6.9 0 0 1 23,15" fill="none" '
    'stroke="#ffb300" stroke-width="1.4" stroke-linecap="round"/>')


def write(folder, name, content):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name + ".svg"), "w", encoding="utf-8") as fh:
        fh.write(content)


def main():
    for name, body in GENERAL.items():
        write(os.path.join(OUT, "general"), name, svg(body))
    for name, body in INTERNAL.items():
        write(os.path.join(OUT, "internal"), name, svg(body, 16, SMALL_STROKE))
    images = os.path.join(OUT, "images")
    for colour, (lc, dc) in STATUS_COLOURS.items():
        write(images, "light" + colour, light(colour, lc, dc))
        if colour in ("gray", "green", "red", "yellow"):
            write(images, "anchor" + colour, anchor_badge(lc, dc))
            write(images, "console" + colour, console(lc, dc))
    write(images, "talmeno_logo", LOGO)
    print(f"{len(GENERAL)} general, {len(INTERNAL)} internal, "
          f"{len(os.listdir(images))} status pictures written under {OUT}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
