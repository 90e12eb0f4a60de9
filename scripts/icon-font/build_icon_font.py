#!/usr/bin/python3
"""Builds the Motifex Icons font from Font Awesome Free, Tabler Icons and a few drawn glyphs.

The application looks icons up by private-use code point. Where Font Awesome Free has a glyph at the
code point, that glyph is taken; the others are other Font Awesome Free icons, Tabler Icons or drawn
here, scaled into the same 512-unit em and centred on the same point as the Font Awesome glyphs, so that
every icon looks alike when drawn centred in a square.

Usage: build_icon_font.py --fontawesome DIR --tabler DIR --out FONT --codepoints FILE --licenses FILE
(DIR are the unpacked npm packages, i.e. the folders holding package.json.)
"""

import argparse
import logging
import math
import re
from pathlib import Path

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.areaPen import AreaPen
from fontTools.pens.boundsPen import BoundsPen
from fontTools.pens.recordingPen import RecordingPen
from fontTools.pens.reverseContourPen import ReverseContourPen
from fontTools.pens.transformPen import TransformPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.misc.transform import Transform
from fontTools.ttLib import TTFont

FONTAWESOME_VERSION = "6.7.2"
TABLER_VERSION = "3.49.0"

FAMILY = "Motifex Icons"
STYLE = "Regular"
POSTSCRIPT_NAME = "MotifexIcons-Regular"
VERSION = "1.000"

UNITS_PER_EM = 512
# Font Awesome's glyphs fill y = -64..448; its line box centres on the same height, so a glyph drawn
# centred in a square by the line box sits centred by its ink as well.
CENTRE_Y = 192
ASCENT = 464
DESCENT = 80
# 2024-01-01T00:00:00Z in seconds since 1904-01-01: fixed so that every build gives the same bytes.
FIXED_TIMESTAMP = 3786825600

FA_COPYRIGHT = ('Copyright (c) 2024 Fonticons, Inc. (https://fontawesome.com), '
                'with Reserved Font Name: "Font Awesome".')
OWN_COPYRIGHT = "Drawn glyphs and arrangement: Copyright (c) the Motifex authors."

STROKE = 48  # line width of drawn outline glyphs, close to Font Awesome Regular and Tabler at this scale


# ---------------------------------------------------------------------------------------------------
# Outline helpers: every drawn shape is recorded as separate contours, then oriented as TrueType wants
# (filled areas clockwise, holes counter-clockwise).

class Contour:
    """One closed contour of straight lines and circular arcs (as quadratic segments)."""

    def __init__(self, start):
        self.ops = [("moveTo", (start,))]

    def line(self, point):
        self.ops.append(("lineTo", (point,)))
        return self

    def arc(self, centre, radius, start_angle, end_angle):
        """Arc from start_angle to end_angle (degrees), split so that no quadratic spans over 45 deg."""
        steps = max(1, math.ceil(abs(end_angle - start_angle) / 45.0 - 1e-9))
        step = (end_angle - start_angle) / steps
        cx, cy = centre
        for i in range(steps):
            a0 = math.radians(start_angle + i * step)
            a1 = math.radians(start_angle + (i + 1) * step)
            mid = (a0 + a1) / 2
            reach = radius / math.cos((a1 - a0) / 2)
            control = (cx + reach * math.cos(mid), cy + reach * math.sin(mid))
            end = (cx + radius * math.cos(a1), cy + radius * math.sin(a1))
            self.ops.append(("qCurveTo", (control, end)))
        return self

    def draw(self, pen):
        ops = list(self.ops)
        start = ops[0][1][0]
        last_op, last_args = ops[-1]
        if len(ops) > 1 and math.dist(last_args[-1], start) < 1e-6:
            # A contour that returns to its start ends exactly there, so no doubled point is stored.
            ops[-1] = (last_op, last_args[:-1] + (start,))
        for op, args in ops:
            getattr(pen, op)(*args)
        pen.closePath()


def polar(centre, radius, angle):
    return (centre[0] + radius * math.cos(math.radians(angle)),
            centre[1] + radius * math.sin(math.radians(angle)))


def circle(centre, radius):
    return Contour(polar(centre, radius, 0)).arc(centre, radius, 0, 360)


def capsule(p1, p2, width):
    """A straight stroke with round caps."""
    angle = math.degrees(math.atan2(p2[1] - p1[1], p2[0] - p1[0]))
    half = width / 2
    contour = Contour(polar(p1, half, angle + 90))
    contour.arc(p1, half, angle + 90, angle + 270)
    contour.line(polar(p2, half, angle - 90))
    contour.arc(p2, half, angle - 90, angle + 90)
    return contour


def arc_band(centre, radius, start_angle, end_angle, width):
    """A circular stroke with butt ends, from start_angle to end_angle counter-clockwise."""
    half = width / 2
    contour = Contour(polar(centre, radius + half, start_angle))
    contour.arc(centre, radius + half, start_angle, end_angle)
    contour.line(polar(centre, radius - half, end_angle))
    contour.arc(centre, radius - half, end_angle, start_angle)
    return contour


def rounded_rect(x0, y0, x1, y1, radius):
    contour = Contour((x0 + radius, y0))
    contour.line((x1 - radius, y0)).arc((x1 - radius, y0 + radius), radius, 270, 360)
    contour.line((x1, y1 - radius)).arc((x1 - radius, y1 - radius), radius, 0, 90)
    contour.line((x0 + radius, y1)).arc((x0 + radius, y1 - radius), radius, 90, 180)
    contour.line((x0, y0 + radius)).arc((x0 + radius, y0 + radius), radius, 180, 270)
    return contour


def polygon(points):
    contour = Contour(points[0])
    for point in points[1:]:
        contour.line(point)
    return contour


def signed_area(contour):
    pen = AreaPen()
    contour.draw(pen)
    return pen.value


class Shape:
    """Filled contours and holes; draws them with TrueType orientation."""

    def __init__(self):
        self.parts = []  # (drawable, is_hole); a drawable has draw(pen)

    def fill(self, contour):
        self.parts.append((contour, False))
        return self

    def hole(self, contour):
        self.parts.append((contour, True))
        return self

    def draw(self, pen):
        for contour, is_hole in self.parts:
            # AreaPen reports clockwise contours as negative.
            clockwise = signed_area(contour) < 0
            if clockwise == is_hole:
                contour.draw(ReverseContourPen(pen))
            else:
                contour.draw(pen)


class Recorded:
    """Contours taken from a source glyph, drawn as they are."""

    def __init__(self, recording):
        self.recording = recording

    def draw(self, pen):
        self.recording.replay(pen)


class Transformed:
    """Another drawable drawn through an affine transformation."""

    def __init__(self, inner, matrix):
        self.inner, self.matrix = inner, matrix

    def draw(self, pen):
        self.inner.draw(TransformPen(pen, self.matrix))


def contours_of(glyph_set, name):
    pen = RecordingPen()
    glyph_set[name].draw(pen)
    contours, current = [], []
    for op, args in pen.value:
        current.append((op, args))
        if op in ("closePath", "endPath"):
            recording = RecordingPen()
            recording.value = current
            contours.append(Recorded(recording))
            current = []
    return contours


def bounds_of(drawable):
    pen = BoundsPen(None)
    drawable.draw(pen)
    return pen.bounds


# ---------------------------------------------------------------------------------------------------
# Glyph sources

class Sources:
    def __init__(self, fontawesome_dir, tabler_dir):
        webfonts = Path(fontawesome_dir) / "webfonts"
        self.fa = {
            "regular": TTFont(webfonts / "fa-regular-400.ttf"),
            "solid": TTFont(webfonts / "fa-solid-900.ttf"),
        }
        self.fa_cmap = {style: font.getBestCmap() for style, font in self.fa.items()}
        self.fa_glyphs = {style: font.getGlyphSet() for style, font in self.fa.items()}
        dist = Path(tabler_dir) / "dist"
        self.tabler = TTFont(dist / "fonts" / "tabler-icons.ttf")
        self.tabler_glyphs = self.tabler.getGlyphSet()
        self.tabler_cmap = self.tabler.getBestCmap()
        licence = (Path(tabler_dir) / "LICENSE").read_text(encoding="utf-8")
        self.tabler_copyright = next(line.strip() for line in licence.splitlines() if line.startswith("Copyright"))
        # One line of text, for the font's licence record.
        self.tabler_licence = " ".join(licence.split())
        css = (dist / "tabler-icons.css").read_text(encoding="utf-8")
        self.tabler_codepoints = {
            name: int(code, 16)
            for name, code in re.findall(r'\.ti-([a-z0-9-]+):before\s*\{\s*content:\s*"\\([0-9a-f]+)"', css)
        }

    def fa_style_at(self, codepoint):
        for style in ("regular", "solid"):  # the regular style matches the weight the program asks for
            if codepoint in self.fa_cmap[style]:
                return style
        return None


class Glyph:
    """What one code point shows: name, meaning, where its outline comes from, and the outline."""

    def __init__(self, codepoint, name, meaning):
        self.codepoint = codepoint
        self.name = name.replace("-", "_")  # glyph names keep to letters, digits, '.' and '_'
        self.meaning = meaning
        self.source = ""
        self.licence = ""
        self.advance = UNITS_PER_EM
        self.outline = None  # drawable in final font units


def centred(drawable, advance, transform=Transform(), size=None):
    """Moves the drawable's ink so that it is centred in the advance and on CENTRE_Y; with a size,
    scales it first so that its larger side is that long."""
    if size is not None:
        x0, y0, x1, y1 = bounds_of(Transformed(drawable, transform))
        transform = Transform().scale(size / max(x1 - x0, y1 - y0)).transform(transform)
    x0, y0, x1, y1 = bounds_of(Transformed(drawable, transform))
    shift = Transform().translate(advance / 2 - (x0 + x1) / 2, CENTRE_Y - (y0 + y1) / 2)
    return Transformed(drawable, shift.transform(transform))


def from_fontawesome(sources, glyph, style=None, icon=None, transform=None, advance=None):
    """A Font Awesome Free glyph: the one at the glyph's own code point, or a named icon moved here."""
    if icon is None:
        style = sources.fa_style_at(glyph.codepoint)
        if style is None:
            raise SystemExit(f"Font Awesome Free {FONTAWESOME_VERSION} has no glyph at U+{glyph.codepoint:04X}")
        icon = sources.fa_cmap[style][glyph.codepoint]
    glyph_set = sources.fa_glyphs[style]
    source_glyph = glyph_set[icon]
    glyph.advance = advance or source_glyph.width
    glyph.source = f"Font Awesome Free {FONTAWESOME_VERSION} {style} \"{icon}\""
    if transform is None:
        glyph.outline = source_glyph
    else:
        glyph.outline = centred(source_glyph, glyph.advance, transform)
        home = max(cp for cp, name in sources.fa_cmap[style].items() if name == icon)  # its private-use one
        glyph.source += f" (U+{home:04X})"
        angle = round(math.degrees(math.atan2(transform[1], transform[0])))
        if angle:
            glyph.source += f", rotated {angle} degrees"
    glyph.licence = "OFL-1.1"


# Tabler's icons sit on a 24-unit grid with a 2-unit margin inside an em of 1000; this scale gives their
# 20-unit content about the height of a Font Awesome glyph and strokes as wide as Font Awesome Regular.
TABLER_SCALE = 0.56


def from_tabler(sources, glyph, icon):
    codepoint = sources.tabler_codepoints.get(icon)
    if codepoint is None or codepoint not in sources.tabler_cmap:
        raise SystemExit(f"Tabler Icons {TABLER_VERSION} has no icon \"{icon}\"")
    source_glyph = sources.tabler_glyphs[sources.tabler_cmap[codepoint]]
    glyph.outline = centred(source_glyph, UNITS_PER_EM, Transform().scale(TABLER_SCALE))
    glyph.advance = UNITS_PER_EM
    glyph.source = f"Tabler Icons {TABLER_VERSION} \"{icon}\" (U+{codepoint:04X}, outline style)"
    glyph.licence = "MIT"


# Ink size of drawn glyphs: the height of most Font Awesome glyphs.
DRAWN_SIZE = 448


def drawn(glyph, shape, description, advance=UNITS_PER_EM, size=DRAWN_SIZE):
    glyph.outline = centred(shape, advance, size=size)
    glyph.advance = advance
    glyph.source = f"drawn for Motifex: {description}"
    glyph.licence = "OFL-1.1"


# ---------------------------------------------------------------------------------------------------
# Drawn glyphs (designed in em units, y up; centred afterwards)

def draw_angle():
    vertex = (0, 0)
    arm_angle = 50
    shape = Shape()
    shape.fill(capsule(vertex, (400, 0), STROKE))
    shape.fill(capsule(vertex, polar(vertex, 440, arm_angle), STROKE))
    # Butt ends: they lie inside the arms, where round caps would bulge out of them.
    shape.fill(arc_band(vertex, 240, 0, arm_angle, STROKE))
    return shape


def draw_distance_from_centre():
    centre = (0, 0)
    outer = 224
    ring = 40
    direction = 35
    shape = Shape()
    shape.fill(circle(centre, outer)).hole(circle(centre, outer - ring))
    shape.fill(circle(centre, 48))
    # An arrow from the centre whose tip touches the ring: the distance is measured outwards.
    tip = polar(centre, outer - ring + 8, direction)
    head_base = polar(centre, outer - ring - 104, direction)
    shape.fill(capsule(centre, polar(centre, outer - ring - 90, direction), STROKE))
    shape.fill(polygon([tip, polar(head_base, 76, direction - 90), polar(head_base, 76, direction + 90)]))
    return shape


def draw_grid(cells, gap, radius, size=448):
    cell = (size - (cells - 1) * gap) / cells
    shape = Shape()
    for row in range(cells):
        for column in range(cells):
            x0 = column * (cell + gap)
            y0 = row * (cell + gap)
            shape.fill(rounded_rect(x0, y0, x0 + cell, y0 + cell, radius))
    return shape


def draw_largest_first(sources):
    """Font Awesome's sort arrow beside a large and a small square: large ones come first."""
    arrow = min(contours_of(sources.fa_glyphs["solid"], "arrow-down-wide-short"),
                key=lambda contour: bounds_of(contour)[0])
    shape = Shape()
    shape.parts.append((arrow, False))
    shape.fill(rounded_rect(288, 192, 512, 416, 40))
    shape.fill(rounded_rect(320, -32, 480, 128, 32))
    return shape


# ---------------------------------------------------------------------------------------------------
# The glyph table: every character the program draws with its icon font.

def rotation(degrees):
    return Transform().rotate(math.radians(degrees))


def build_glyphs(sources):
    table = []

    def add(codepoint, name, meaning):
        glyph = Glyph(codepoint, name, meaning)
        table.append(glyph)
        return glyph

    fa = lambda cp, name, meaning: from_fontawesome(sources, add(cp, name, meaning))

    fa(0x002B, "plus", "add an item; add operator of an input function; add-function button")
    fa(0x0030, "zero", "dynamic-value input \"zero\"")
    fa(0xF00D, "xmark", "multiply operator of an input function")
    fa(0xF015, "house", "Main tab")
    fa(0xF03E, "image", "Canvas tab")
    fa(0xF044, "pen-to-square", "edit the shape of a shape chooser")
    fa(0xF060, "arrow-left", "placement \"Linear from Right\"")
    fa(0xF061, "arrow-right", "placement \"Linear from Left\"; source \"result\" of an input function")
    fa(0xF062, "arrow-up", "placement \"Linear from Bottom\"")
    fa(0xF063, "arrow-down", "placement \"Linear from Top\"")
    fa(0xF06E, "eye", "colour visibility button, checked")
    fa(0xF070, "eye-slash", "colour visibility button, unchecked")
    fa(0xF07D, "arrows-up-down", "dynamic-value input \"y\" (item Y position)")
    fa(0xF07E, "arrows-left-right", "dynamic-value input \"x\" (item X position)")
    fa(0xF129, "info", "Metadata tab")
    fa(0xF160, "arrow-down-wide-short", "Order tab; sort items")
    fa(0xF187, "box-archive", "colour presets (load or save)")
    fa(0xF24D, "clone", "duplicate an item")
    fa(0xF2ED, "trash-can", "remove an item")
    fa(0xF2F1, "rotate", "Rotation tab")
    fa(0xF304, "pen", "edit an item")
    fa(0xF522, "dice", "dynamic-value input \"random\"")
    fa(0xF53F, "palette", "Color tab; custom colour")
    fa(0xF545, "ruler", "dynamic-value input \"item_radius\" (relative item size)")
    fa(0xF56D, "file-arrow-down", "save a rotation or order preset")
    fa(0xF574, "file-arrow-up", "load a rotation or order preset")
    fa(0xF5C3, "swatchbook", "colour from presets")
    fa(0xF61F, "shapes", "Items tab; select the shape of a shape chooser")

    # Placements radiating from a corner: Font Awesome's arrow turned to point away from that corner.
    for codepoint, name, corner, degrees in ((0xE093, "arrow-from-top-left", "Top Left", -45),
                                             (0xE091, "arrow-from-top-right", "Top Right", -135),
                                             (0xE09D, "arrow-from-bottom-right", "Bottom Right", 135),
                                             (0xE09F, "arrow-from-bottom-left", "Bottom Left", 45)):
        from_fontawesome(sources, add(codepoint, name, f"placement \"Radial from {corner} Corner\""),
                         style="solid", icon="arrow-right", transform=rotation(degrees), advance=UNITS_PER_EM)

    from_fontawesome(sources, add(0xF31D, "arrows-from-centre", "placement \"Radial from Center\""),
                     style="solid", icon="maximize", transform=Transform())
    from_fontawesome(sources, add(0xE0A5, "arrows-to-centre", "placement \"From Outside to Inside\""),
                     style="solid", icon="arrows-to-dot", transform=Transform())

    drawn(add(0xF88C, "largest-first",
              "placement \"Largest Space First\"; dynamic-value input \"item_index\""),
          draw_largest_first(sources),
          "Font Awesome Free solid \"arrow-down-wide-short\" arrow with a large and a small square",
          size=None)
    drawn(add(0xE08C, "angle", "dynamic-value input \"polar_angle\" (angle to the item from the centre)"),
          draw_angle(), "two arms with an arc between them")
    drawn(add(0xE09E, "distance-from-centre",
              "dynamic-value input \"polar_distance\" (distance from the centre)"),
          draw_distance_from_centre(), "circle with its centre and an arrow from the centre to the rim")
    drawn(add(0xE196, "grid-2", "precision \"1 mm\""), draw_grid(2, 48, 36), "2 x 2 grid of squares")
    drawn(add(0xE195, "grid-3", "precision \"0.1 mm\""), draw_grid(3, 40, 24), "3 x 3 grid of squares")
    drawn(add(0xE198, "grid-4", "precision \"0.01 mm\""), draw_grid(4, 32, 16), "4 x 4 grid of squares")

    from_tabler(sources, add(0xF345, "parent", "dynamic-value input \"parent\"; use the parent value or colour; "
                                               "source \"input\" of an input function"),
                "arrow-back-up")
    from_tabler(sources, add(0xF661, "function", "operator \"map\" of an input function"), "math-function")

    return sorted(table, key=lambda glyph: glyph.codepoint)


# ---------------------------------------------------------------------------------------------------
# Font assembly

# Ink may reach this far out of the em square before a glyph is shrunk (a fraction of a pixel at icon sizes).
SQUARE_TOLERANCE = 8


def fit_into_square(glyph):
    """Shrinks a glyph that reaches out of the em square centred on it.

    The program draws each icon centred in a square of the font's pixel size; Font Awesome's wide icons
    (up to 1.25 em) would lose their sides there. Scaling about the glyph's own centre keeps its
    optical placement.
    """
    x0, y0, x1, y1 = bounds_of(glyph.outline)
    centre_x = glyph.advance / 2
    half = UNITS_PER_EM / 2
    overshoot = max(centre_x - half - x0, x1 - centre_x - half, CENTRE_Y - half - y0, y1 - CENTRE_Y - half)
    if overshoot <= SQUARE_TOLERANCE:
        return
    scale = min(half / max(centre_x - x0, x1 - centre_x), half / max(CENTRE_Y - y0, y1 - CENTRE_Y))
    advance = min(glyph.advance, UNITS_PER_EM)
    matrix = (Transform().translate(advance / 2, CENTRE_Y).scale(scale).translate(-centre_x, -CENTRE_Y))
    glyph.outline = Transformed(glyph.outline, matrix)
    glyph.advance = advance
    glyph.source += f", scaled by {scale:.2f} to fit the em square"


def build_font(glyphs, sources):
    for glyph in glyphs:
        fit_into_square(glyph)
    glyph_order = [".notdef"] + [glyph.name for glyph in glyphs]
    outlines = {".notdef": notdef_glyph()}
    metrics = {".notdef": (UNITS_PER_EM, 0)}
    for glyph in glyphs:
        pen = TTGlyphPen(None)
        glyph.outline.draw(_RoundingPen(pen))
        outlines[glyph.name] = pen.glyph()
        metrics[glyph.name] = (glyph.advance, 0)

    builder = FontBuilder(UNITS_PER_EM, isTTF=True)
    builder.setupGlyphOrder(glyph_order)
    builder.setupCharacterMap({glyph.codepoint: glyph.name for glyph in glyphs})
    builder.setupGlyf(outlines)
    glyf = builder.font["glyf"]
    for name in glyph_order:
        glyf[name].recalcBounds(glyf)
        metrics[name] = (metrics[name][0], getattr(glyf[name], "xMin", 0))
    builder.setupHorizontalMetrics(metrics)
    builder.setupHorizontalHeader(ascent=ASCENT, descent=-DESCENT, lineGap=0)
    builder.setupNameTable(name_records(glyphs, sources), mac=False)
    builder.setupOS2(
        version=4, usWeightClass=400, usWidthClass=5, fsType=0,
        sTypoAscender=ASCENT, sTypoDescender=-DESCENT, sTypoLineGap=0,
        usWinAscent=ASCENT, usWinDescent=DESCENT,
        fsSelection=0x40 | 0x80,  # REGULAR, USE_TYPO_METRICS
        achVendID="NONE", sxHeight=0, sCapHeight=0,
        ulUnicodeRange1=1, ulUnicodeRange2=1 << (60 - 32),  # Basic Latin, Private Use Area
        ulCodePageRange1=1)
    builder.setupPost(keepGlyphNames=True)
    builder.setupMaxp()
    head = builder.font["head"]
    head.created = FIXED_TIMESTAMP
    head.modified = FIXED_TIMESTAMP
    head.fontRevision = float(VERSION)
    builder.font.recalcTimestamp = False  # saving would otherwise stamp the current time
    return builder.font


class _RoundingPen:
    """Rounds coordinates to whole units before TTGlyphPen stores them (glyf keeps integers)."""

    def __init__(self, pen):
        self.pen = pen

    @staticmethod
    def _round(points):
        return [None if p is None else (round(p[0]), round(p[1])) for p in points]

    def moveTo(self, point):
        self.pen.moveTo(*self._round([point]))

    def lineTo(self, point):
        self.pen.lineTo(*self._round([point]))

    def qCurveTo(self, *points):
        self.pen.qCurveTo(*self._round(points))

    def curveTo(self, *points):
        raise SystemExit("cubic outlines are not expected in TrueType sources")

    def closePath(self):
        self.pen.closePath()

    def endPath(self):
        self.pen.endPath()

    def addComponent(self, name, transform):
        raise SystemExit("composite glyphs are not expected in the sources")


def notdef_glyph():
    pen = TTGlyphPen(None)
    Shape().fill(rounded_rect(64, -32, 448, 416, 0)).hole(rounded_rect(112, 16, 400, 368, 0)).draw(pen)
    return pen.glyph()


def name_records(glyphs, sources):
    uses_tabler = any(glyph.licence == "MIT" for glyph in glyphs)
    copyright_text = f"{OWN_COPYRIGHT} Font Awesome Free glyphs: {FA_COPYRIGHT}"
    if uses_tabler:
        copyright_text += f" Tabler Icons glyphs: {sources.tabler_copyright}."
    licence_text = ("This Font Software is licensed under the SIL Open Font License, Version 1.1. "
                    f"It contains glyphs of Font Awesome Free {FONTAWESOME_VERSION} (SIL Open Font License 1.1, "
                    "Reserved Font Name \"Font Awesome\")")
    if uses_tabler:
        licence_text += f" and of Tabler Icons {TABLER_VERSION}, which are also under this MIT License: {sources.tabler_licence}"
    licence_text = licence_text.rstrip(".") + ". See LICENSES.md and the licence files distributed with this font."
    return {
        "copyright": copyright_text,
        "familyName": FAMILY,
        "styleName": STYLE,
        "uniqueFontIdentifier": f"{VERSION};MOTIFEX;{POSTSCRIPT_NAME}",
        "fullName": f"{FAMILY} {STYLE}",
        "version": f"Version {VERSION}",
        "psName": POSTSCRIPT_NAME,
        "description": "Icon font of the Motifex pattern designer.",
        "licenseDescription": licence_text,
        "licenseInfoURL": "https://openfontlicense.org",
    }


# ---------------------------------------------------------------------------------------------------
# Companion files

def write_codepoints(glyphs, path):
    lines = ["# Motifex Icons: every character the program draws with its icon font.",
             "# Generated by build_icon_font.py; do not edit by hand.",
             "# code point | glyph name | meaning in the program | source glyph | licence", ""]
    for glyph in glyphs:
        lines.append(f"U+{glyph.codepoint:04X} | {glyph.name} | {glyph.meaning} | {glyph.source} | {glyph.licence}")
    Path(path).write_text("\n".join(lines) + "\n", encoding="utf-8")


def write_licences(glyphs, sources, path):
    rows = "\n".join(f"| U+{g.codepoint:04X} | {g.name} | {g.source} | {g.licence} |" for g in glyphs)
    text = f"""# Licences of the icon font

`MotifexIcons.ttf` (family "{FAMILY}", PostScript name "{POSTSCRIPT_NAME}") is built by
`scripts/icon-font/build.sh` from two openly licensed icon sets and a few glyphs drawn by the build
script. Because it contains glyphs of Font Awesome Free fonts, the font as a whole is distributed under
the SIL Open Font License 1.1; the Tabler Icons glyphs in it stay under their MIT licence as well.
The font does not use the Reserved Font Name "Font Awesome".

## Sources

- **Font Awesome Free {FONTAWESOME_VERSION}** (npm `@fortawesome/fontawesome-free@{FONTAWESOME_VERSION}`,
  `webfonts/fa-regular-400.ttf` and `webfonts/fa-solid-900.ttf`).
  {FA_COPYRIGHT}
  Fonts licensed under the SIL Open Font License 1.1: see `LICENSE-FontAwesomeFree-OFL.txt`.
- **Tabler Icons {TABLER_VERSION}** (npm `@tabler/icons-webfont@{TABLER_VERSION}`, `dist/fonts/tabler-icons.ttf`).
  {sources.tabler_copyright}. MIT License: see `LICENSE-TablerIcons-MIT.txt`.
- **Drawn glyphs**: drawn by `build_icon_font.py` for Motifex (some around a Font Awesome Free outline);
  distributed with the font under the SIL Open Font License 1.1.

## Glyphs

| code point | glyph | source | licence |
|---|---|---|---|
{rows}
"""
    Path(path).write_text(text, encoding="utf-8")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--fontawesome", required=True)
    parser.add_argument("--tabler", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--codepoints", required=True)
    parser.add_argument("--licenses", required=True)
    args = parser.parse_args()
    # The source fonts carry a few unused bytes in their 'post' tables, which fontTools reports.
    logging.getLogger("fontTools").setLevel(logging.ERROR)

    sources = Sources(args.fontawesome, args.tabler)
    glyphs = build_glyphs(sources)
    font = build_font(glyphs, sources)
    font.save(args.out)
    write_codepoints(glyphs, args.codepoints)
    write_licences(glyphs, sources, args.licenses)


if __name__ == "__main__":
    main()
