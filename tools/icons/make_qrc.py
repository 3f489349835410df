#!/usr/bin/env python3
"""Writes the two resource lists of the artwork from the files present."""
import os

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
RES = os.path.join(ROOT, "src", "resources")


def qrc(prefix, entries):
    lines = ['<!DOCTYPE RCC><RCC version="1.0">', f'<qresource prefix="{prefix}">']
    lines += [f'    <file alias="{alias}">{path}</file>' for alias, path in entries]
    lines += ["</qresource>", "</RCC>", ""]
    return "\n".join(lines)


def pngs(folder):
    return sorted(n for n in os.listdir(folder) if n.endswith(".png"))


def main():
    cs = os.path.join(RES, "color_scheme")
    entries = [("style.qss", "style.qss"), ("internal_colorscheme.ini", "internal_colorscheme.ini")]
    for sub in ("general_icons", "internal_icons"):
        entries += [(f"{sub}/{n}", f"{sub}/{n}") for n in pngs(os.path.join(cs, sub))]
    with open(os.path.join(cs, "color_scheme.qrc"), "w") as fh:
        fh.write(qrc("/color_scheme", entries))
    images = os.path.join(RES, "icons", "images")
    with open(os.path.join(RES, "icons", "icons.qrc"), "w") as fh:
        fh.write(qrc("/images", [(n, f"images/{n}") for n in pngs(images)]))


if __name__ == "__main__":
    main()
