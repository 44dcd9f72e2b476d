"""A chibi figure facing the viewer, built from cel-shaded parts.

All measures derive from the face radius R, so one recipe scales to any picture height.
Parts are drawn back to front by the character recipes in characters.py."""

import math

import cairo

from paint import INK, cel, dark, ellipse, flat, hexc, light, limb, line_of, mix

SKIN = hexc("#ffe3d3")
WHITE = hexc("#fbfbff")
BLUSH = hexc("#ff8fa3")


class Figure:
    def __init__(self, ctx, width, height, top, cx=None, ground=None, scale=0.19):
        self.ctx = ctx
        self.w = width
        self.h = height
        self.cx = width / 2 if cx is None else cx
        self.ground = height - 1.5 if ground is None else ground
        span = self.ground - top
        self.R = R = span * scale
        self.hy = top + 1.15 * R
        self.chin = self.hy + 0.98 * R
        self.sh = self.hy + 1.02 * R
        self.waist = self.sh + 0.85 * R
        self.hem = self.waist + 0.75 * R
        self.lw = max(0.9, R * 0.035)
        self.skin = SKIN

    # -- helpers -------------------------------------------------------------------
    def X(self, u):
        return self.cx + u * self.R

    def Y(self, v):
        return self.hy + v * self.R

    def pt(self, u, v):
        return (self.X(u), self.Y(v))

    def poly(self, pts, closed=True):
        ctx = self.ctx
        ctx.move_to(*self.pt(*pts[0]))
        for p in pts[1:]:
            ctx.line_to(*self.pt(*p))
        if closed:
            ctx.close_path()

    def curve(self, *pts):
        """Cubic segments through points given in R units (3 per segment)."""
        for i in range(0, len(pts), 3):
            self.ctx.curve_to(*self.pt(*pts[i]), *self.pt(*pts[i + 1]), *self.pt(*pts[i + 2]))

    def move(self, u, v):
        self.ctx.move_to(*self.pt(u, v))

    def line(self, u, v):
        self.ctx.line_to(*self.pt(u, v))

    def part(self, build, colour, offset=None, **kw):
        cel(self.ctx, build, colour, lw=kw.pop("lw", self.lw),
            offset=self.R * 0.06 if offset is None else offset, **kw)

    # -- head ----------------------------------------------------------------------
    def face_path(self, ctx):
        self.move(-1.0, 0.0)
        ctx.arc(self.cx, self.hy, self.R, math.pi, 2 * math.pi)
        self.curve((1.0, 0.55), (0.55, 0.96), (0.0, 0.98),
                   (-0.55, 0.96), (-1.0, 0.55), (-1.0, 0.0))
        ctx.close_path()

    def neck(self):
        R = self.R
        self.part(lambda c: c.rectangle(self.X(-0.16), self.chin - R * 0.2, 0.32 * R, 0.35 * R),
                  dark(self.skin, 0.92), offset=0)

    def head(self, ears=True):
        if ears:
            for s in (-1, 1):
                self.part(lambda c, s=s: ellipse(c, self.X(s * 0.97), self.Y(0.25),
                                                  0.14 * self.R, 0.2 * self.R), self.skin)
        self.part(self.face_path, self.skin, offset=self.R * 0.05, shade=0.9)

    def eyes(self, iris, style="round", lash=None):
        """Anime eyes. Styles: round, sharp (thicker lashes, arched brows), sleepy (lowered
        lids), closed (happy arcs), boy and calm (smaller, no flick; calm has lowered lids)."""
        ctx = self.ctx
        R = self.R
        lash = lash or mix(dark(iris, 0.3), INK, 0.6)
        boyish = style in ("boy", "calm")
        lidded = style in ("sleepy", "calm")
        for s in (-1, 1):
            ex, ey = self.X(s * 0.42), self.Y(0.32)
            if style == "closed":
                ctx.set_source_rgb(*lash)
                ctx.set_line_width(R * 0.07)
                ctx.arc(ex, ey + 0.05 * R, 0.16 * R, math.pi * 1.15, math.pi * 1.85)
                ctx.stroke()
                continue
            rx = 0.17 * R if boyish else 0.2 * R
            ry = 0.21 * R if boyish else 0.25 * R
            top = ey - ry
            ctx.save()
            ellipse(ctx, ex, ey, rx, ry)
            ctx.set_source_rgb(*WHITE)
            ctx.fill_preserve()
            ctx.clip()
            ellipse(ctx, ex + s * 0.01 * R, ey + 0.03 * R, rx - 0.03 * R, 0.24 * R)
            g = cairo.LinearGradient(ex, ey - 0.25 * R, ex, ey + 0.25 * R)
            g.add_color_stop_rgb(0, *dark(iris, 0.45))
            g.add_color_stop_rgb(0.55, *iris)
            g.add_color_stop_rgb(1, *light(iris, 0.55))
            ctx.set_source(g)
            ctx.fill()
            ellipse(ctx, ex + s * 0.01 * R, ey + 0.02 * R, 0.085 * R, 0.13 * R)
            ctx.set_source_rgb(*dark(iris, 0.3))
            ctx.fill()
            ellipse(ctx, ex - s * 0.06 * R - 0.02 * R, ey - 0.07 * R, 0.065 * R, 0.08 * R)
            ctx.set_source_rgb(1, 1, 1)
            ctx.fill()
            ctx.arc(ex + s * 0.06 * R, ey + 0.12 * R, 0.035 * R, 0, 2 * math.pi)
            ctx.fill()
            if lidded:
                top = ey - 0.07 * R
                ctx.rectangle(ex - R * 0.3, ey - R, R * 0.6, R - 0.07 * R)
                ctx.set_source_rgb(*self.skin)
                ctx.fill()
            ctx.restore()
            ctx.set_source_rgb(*lash)
            ctx.set_line_width(R * (0.09 if style == "sharp" else 0.06 if boyish else 0.075))
            ctx.move_to(ex - s * (rx + 0.02 * R), top + 0.1 * R)
            ctx.curve_to(ex - s * 0.12 * R, top - 0.02 * R, ex + s * 0.12 * R, top - 0.02 * R,
                         ex + s * (rx + 0.05 * R), top + 0.1 * R)
            if not boyish:
                # A small flick at the outer corner, and a short lower lash.
                ctx.line_to(ex + s * 0.3 * R, top + 0.02 * R)
                ctx.stroke()
                ctx.set_line_width(R * 0.03)
                ctx.move_to(ex - s * 0.1 * R, ey + 0.255 * R)
                ctx.line_to(ex + s * 0.08 * R, ey + 0.255 * R)
            ctx.stroke()
        # Brows peeking under the fringe.
        arch = {"sharp": (-0.02, -0.16), "boy": (-0.12, -0.16), "calm": (-0.1, -0.1)}
        inner, outer = arch.get(style, (-0.08, -0.1))
        ctx.set_source_rgba(*lash, 0.8)
        ctx.set_line_width(R * (0.06 if boyish else 0.04))
        for s in (-1, 1):
            ctx.move_to(self.X(s * 0.28), self.Y(inner))
            ctx.line_to(self.X(s * 0.56), self.Y(outer))
            ctx.stroke()

    def mouth(self, style="smile"):
        ctx = self.ctx
        R = self.R
        mx, my = self.X(0), self.Y(0.72)
        ctx.set_source_rgb(*hexc("#8a3a44"))
        ctx.set_line_width(R * 0.045)
        if style == "smile":
            ctx.arc(mx, my - 0.08 * R, 0.1 * R, 0.2 * math.pi, 0.8 * math.pi)
            ctx.stroke()
        elif style == "open":
            ctx.move_to(mx - 0.12 * R, my - 0.04 * R)
            ctx.curve_to(mx - 0.1 * R, my + 0.16 * R, mx + 0.1 * R, my + 0.16 * R,
                         mx + 0.12 * R, my - 0.04 * R)
            ctx.close_path()
            ctx.fill_preserve()
            ctx.stroke()
            ellipse(ctx, mx, my + 0.06 * R, 0.06 * R, 0.035 * R)
            ctx.set_source_rgb(*hexc("#ff8a9a"))
            ctx.fill()
        elif style == "cat":
            for s in (-1, 1):
                ctx.arc(mx + s * 0.07 * R, my - 0.03 * R, 0.07 * R, 0.1 * math.pi, 0.9 * math.pi)
                ctx.stroke()
        elif style == "flat":
            ctx.move_to(mx - 0.07 * R, my)
            ctx.line_to(mx + 0.07 * R, my)
            ctx.stroke()
        elif style == "grin":
            ctx.move_to(mx - 0.15 * R, my - 0.05 * R)
            ctx.curve_to(mx - 0.1 * R, my + 0.14 * R, mx + 0.1 * R, my + 0.14 * R,
                         mx + 0.15 * R, my - 0.05 * R)
            ctx.close_path()
            ctx.set_source_rgb(1, 1, 1)
            ctx.fill_preserve()
            ctx.set_source_rgb(*hexc("#8a3a44"))
            ctx.stroke()
        elif style == "fang":
            ctx.arc(mx, my - 0.08 * R, 0.1 * R, 0.2 * math.pi, 0.8 * math.pi)
            ctx.stroke()
            ctx.move_to(mx + 0.03 * R, my + 0.005 * R)
            ctx.line_to(mx + 0.07 * R, my + 0.09 * R)
            ctx.line_to(mx + 0.09 * R, my - 0.01 * R)
            ctx.set_source_rgb(1, 1, 1)
            ctx.fill()

    def blush(self, alpha=0.45):
        for s in (-1, 1):
            flat(self.ctx, lambda c, s=s: ellipse(c, self.X(s * 0.62), self.Y(0.6),
                                                   0.15 * self.R, 0.075 * self.R), BLUSH, alpha)

    def face(self, iris, eyes="round", mouth="smile", blush=True):
        self.eyes(iris, eyes)
        if blush:
            self.blush()
        self.mouth(mouth)

    # -- hair ----------------------------------------------------------------------
    def hair_part(self, build, colour, sheen=False):
        R = self.R

        def gloss(c):
            c.set_source_rgba(*light(colour, 0.6), 0.7)
            c.set_line_width(R * 0.1)
            c.arc(self.cx, self.hy - 0.05 * R, 0.82 * R, 1.15 * math.pi, 1.6 * math.pi)
            c.stroke()
            c.arc(self.cx, self.hy - 0.05 * R, 0.82 * R, 1.68 * math.pi, 1.86 * math.pi)
            c.stroke()
        self.part(build, colour, gloss=gloss if sheen else None)

    def back_hair(self, style, colour, length=None):
        R = self.R
        y_end = length if length is not None else {"long": 2.7, "bob": 0.95, "short": 0.6,
                                                   "wavy": 2.9, "hime": 2.5}.get(style, 0.8)

        def long_back(c, wave=False):
            self.move(0, -1.18)
            self.curve((0.9, -1.18), (1.3, -0.5), (1.25, 0.4))
            if wave:
                self.curve((1.2, 1.0), (1.45, 1.5), (1.3, y_end - 0.5),
                           (1.25, y_end - 0.1), (1.05, y_end), (0.9, y_end - 0.15))
            else:
                self.curve((1.22, 1.2), (1.25, 2.0), (1.2, y_end))
            steps = 6
            for i in range(steps):
                u0 = 1.2 - 2.4 * (i + 1) / steps
                self.line(u0 + 1.2 / steps, y_end - 0.25)
                self.line(u0, y_end)
            if wave:
                self.curve((-1.25, y_end - 0.1), (-1.2, y_end - 0.5), (-1.3, y_end - 0.5),
                           (-1.45, 1.5), (-1.2, 1.0), (-1.25, 0.4))
            else:
                self.curve((-1.25, 2.0), (-1.22, 1.2), (-1.25, 0.4))
            self.curve((-1.3, -0.5), (-0.9, -1.18), (0, -1.18))
            c.close_path()

        if style in ("long", "hime", "wavy"):
            self.hair_part(lambda c: long_back(c, style == "wavy"), colour)
            self.strands(colour, y_end)
        elif style == "bob":
            def bob(c):
                self.move(0, -1.18)
                self.curve((1.0, -1.18), (1.35, -0.4), (1.28, 0.5),
                           (1.25, 0.85), (1.05, y_end + 0.05), (0.75, y_end))
                self.line(-0.75, y_end)
                self.curve((-1.05, y_end + 0.05), (-1.25, 0.85), (-1.28, 0.5),
                           (-1.35, -0.4), (-1.0, -1.18), (0, -1.18))
                c.close_path()
            self.hair_part(bob, colour)
        elif style == "tousled":
            def tousled(c):
                # Soft bumps around the crown so a short cut does not read as a helmet.
                n = 11
                for i in range(n + 1):
                    a0 = math.pi + i * math.pi / n
                    bump = 1.0 if i % 2 else 1.07
                    x = self.cx + 1.16 * R * bump * math.cos(a0)
                    y = self.Y(-0.12) + 1.1 * R * bump * math.sin(a0)
                    c.line_to(x, y) if i else c.move_to(x, y)
                self.curve((1.18, 0.3), (1.0, 0.62), (0.7, 0.62))
                self.line(-0.7, 0.62)
                self.curve((-1.0, 0.62), (-1.18, 0.3), (-1.16, -0.12))
                c.close_path()
            self.hair_part(tousled, colour)
        else:
            def short(c):
                ellipse(c, self.cx, self.Y(-0.12), 1.16 * R, 1.08 * R)
            self.hair_part(short, colour)

    def strands(self, colour, y_end):
        """A few darker flowing lines down long hair, beside the body."""
        ctx = self.ctx
        ctx.set_source_rgba(*line_of(colour), 0.45)
        ctx.set_line_width(self.lw * 0.8)
        for u in (-1.1, -0.95, 0.95, 1.1):
            self.move(u * 0.95, 0.9)
            self.curve((u * 1.02, 1.5), (u * 0.98, y_end - 0.8), (u, y_end - 0.35))
            ctx.stroke()

    def twintails(self, colour, length=2.6, spread=1.75, high=-0.55):
        for s in (-1, 1):
            def tail(c, s=s):
                self.move(s * 0.8, high - 0.15)
                self.curve((s * (spread + 0.2), high - 0.2), (s * (spread + 0.35), 1.0),
                           (s * spread, length - 0.5),
                           (s * (spread - 0.1), length - 0.2), (s * (spread - 0.35), length),
                           (s * (spread - 0.5), length + 0.1))
                self.curve((s * (spread - 0.3), length - 0.6), (s * (spread - 0.15), 0.9),
                           (s * 0.95, high + 0.35))
                c.close_path()
            self.hair_part(tail, colour)

    def ponytail(self, colour, side=1, length=2.0, reach=1.0):
        s = side * reach

        def tail(c):
            self.move(s * 0.3, -1.05)
            self.curve((s * 1.4, -1.6), (s * 1.9, -0.2), (s * 1.6, length - 0.6),
                       (s * 1.5, length - 0.2), (s * 1.3, length), (s * 1.1, length + 0.1))
            self.curve((s * 1.3, length - 0.6), (s * 1.4, 0.0), (s * 0.9, -0.6))
            c.close_path()
        self.hair_part(tail, colour)

    def buns(self, colour, y=-1.0, x=0.78, r=0.36):
        for s in (-1, 1):
            self.hair_part(lambda c, s=s: c.arc(self.X(s * x), self.Y(y), r * self.R, 0,
                                                2 * math.pi), colour)

    BANGS = {
        "straight": [(1.05, 0.25), (0.85, -0.25), (0.72, 0.1), (0.55, -0.3), (0.36, 0.08),
                     (0.2, -0.32), (0.0, 0.06), (-0.2, -0.32), (-0.36, 0.08), (-0.55, -0.3),
                     (-0.72, 0.1), (-0.85, -0.25), (-1.05, 0.25)],
        "swept": [(1.05, 0.35), (0.9, -0.25), (0.78, 0.15), (0.5, -0.4), (0.35, 0.02),
                  (0.05, -0.45), (-0.2, -0.05), (-0.35, -0.5), (-0.62, -0.1), (-0.72, -0.45),
                  (-1.05, 0.1)],
        "parted": [(1.05, 0.3), (0.88, -0.2), (0.72, 0.12), (0.45, -0.35), (0.3, -0.05),
                   (0.08, -0.6), (0.0, -0.75), (-0.08, -0.6), (-0.3, -0.05), (-0.45, -0.35),
                   (-0.72, 0.12), (-0.88, -0.2), (-1.05, 0.3)],
        "spiky": [(1.08, 0.2), (0.85, -0.3), (0.78, 0.12), (0.45, -0.35), (0.32, 0.1),
                  (0.05, -0.4), (-0.08, 0.12), (-0.35, -0.38), (-0.5, 0.08), (-0.75, -0.32),
                  (-0.85, 0.1), (-1.08, 0.2)],
        "short": [(1.05, 0.1), (0.8, -0.35), (0.62, -0.05), (0.35, -0.4), (0.15, -0.12),
                  (-0.1, -0.45), (-0.3, -0.15), (-0.55, -0.45), (-0.75, -0.1), (-1.05, 0.1)],
    }

    def bangs(self, style, colour, locks=0.9, lock_w=0.28, ahoge=False, tufts=()):
        ctx = self.ctx
        R = self.R
        tips = self.BANGS[style]
        for u, tip in tufts:
            base = -0.04 - math.sqrt(max(0.0, 1.14 ** 2 - u * u)) + 0.25
            self.hair_part(lambda c, u=u, tip=tip, base=base: self.poly(
                [(u - 0.28, base), (u + 0.12, tip), (u + 0.28, base)]), colour)

        def cap(c):
            c.arc(self.cx, self.Y(-0.04), 1.14 * R, math.pi * 1.0, math.pi * 2.0)
            for i, (u, v) in enumerate(tips):
                if i % 2 == 1:
                    pu, pv = tips[i - 1]
                    self.curve(((pu + u) / 2 + 0.02, (pv + v) / 2 - 0.1), (u + 0.06, v + 0.05), (u, v))
                else:
                    if i == 0:
                        self.line(u, v)
                    else:
                        pu, pv = tips[i - 1]
                        self.curve((pu - 0.04, pv + 0.1), (u + 0.1, v - 0.15), (u, v))
            c.close_path()
        if locks:
            for s in (-1, 1):
                def lock(c, s=s):
                    self.move(s * 1.12, -0.3)
                    self.curve((s * 1.15, 0.3), (s * 1.05, locks - 0.2), (s * (1.0 - lock_w / 2), locks))
                    self.curve((s * (1.0 - lock_w * 0.9), locks - 0.4), (s * (1.02 - lock_w), 0.1),
                               (s * (0.98 - lock_w), -0.3))
                    c.close_path()
                self.hair_part(lock, colour)
        # The fringe casts a soft shadow onto the forehead.
        ctx.save()
        ctx.new_path()
        self.face_path(ctx)
        ctx.clip()
        ctx.translate(0, 0.09 * R)
        ctx.new_path()
        cap(ctx)
        ctx.set_source_rgba(*dark(self.skin, 0.86), 0.9)
        ctx.fill()
        ctx.restore()
        self.hair_part(cap, colour, sheen=True)
        if ahoge:
            ctx.set_source_rgb(*line_of(colour))
            ctx.set_line_width(R * 0.11)
            self.move(0.05, -1.12)
            self.curve((0.1, -1.5), (0.5, -1.55), (0.45, -1.35))
            ctx.stroke()
            ctx.set_source_rgb(*colour)
            ctx.set_line_width(R * 0.07)
            self.move(0.05, -1.12)
            self.curve((0.1, -1.5), (0.5, -1.55), (0.45, -1.35))
            ctx.stroke()

    # -- body ----------------------------------------------------------------------
    def torso_path(self, c, top_w=0.5, waist_w=0.38, drop=0.0):
        y0 = self.sh - self.hy
        y1 = self.waist - self.hy + drop
        y0r = y0 / self.R
        y1r = y1 / self.R
        self.move(-top_w + 0.05, y0r - 0.04)
        self.line(top_w - 0.05, y0r - 0.04)
        self.curve((top_w + 0.08, y0r), (top_w + 0.02, y0r + 0.3), (waist_w, y1r))
        self.line(-waist_w, y1r)
        self.curve((-top_w - 0.02, y0r + 0.3), (-top_w - 0.08, y0r), (-top_w + 0.05, y0r - 0.04))
        c.close_path()

    def rv(self, y):
        """Picture y to R units below the head centre."""
        return (y - self.hy) / self.R

    def torso(self, colour, top_w=0.5, waist_w=0.38, drop=0.0):
        self.part(lambda c: self.torso_path(c, top_w, waist_w, drop), colour)

    def skirt_path(self, c, flare=0.95, length=None, top_w=0.38):
        y0 = self.rv(self.waist) - 0.05
        y1 = self.rv(self.hem) + (length or 0.0)
        self.move(-top_w, y0)
        self.line(top_w, y0)
        self.curve((top_w + 0.2, y0 + 0.3), (flare, y1 - 0.3), (flare, y1))
        self.curve((flare * 0.5, y1 + 0.1), (-flare * 0.5, y1 + 0.1), (-flare, y1))
        self.curve((-flare, y1 - 0.3), (-top_w - 0.2, y0 + 0.3), (-top_w, y0))
        c.close_path()

    def skirt(self, colour, flare=0.95, length=None, pleats=0, top_w=0.38, frill=None):
        y0 = self.rv(self.waist) - 0.05
        y1 = self.rv(self.hem) + (length or 0.0)
        build = lambda c: self.skirt_path(c, flare, length, top_w)
        self.part(build, colour)
        ctx = self.ctx
        if pleats:
            ctx.set_source_rgba(*line_of(colour), 0.6)
            ctx.set_line_width(self.lw * 0.8)
            for i in range(1, pleats):
                t = i / pleats * 2 - 1
                self.move(t * top_w, y0 + 0.05)
                self.line(t * flare * 0.95, y1 + 0.02)
                ctx.stroke()
        if frill:
            ctx.set_source_rgb(*frill)
            ctx.set_line_width(self.R * 0.09)
            self.move(-flare + 0.05, y1 - 0.02)
            self.curve((-flare * 0.5, y1 + 0.08), (flare * 0.5, y1 + 0.08), (flare - 0.05, y1 - 0.02))
            ctx.stroke()

    def legs(self, sock, shoe, sock_top=None, apart=0.24, width=0.25):
        R = self.R
        top = self.waist + 0.3 * R
        foot = self.ground - 0.16 * R
        for s in (-1, 1):
            x = self.X(s * apart)
            limb(self.ctx, [(x, top), (x, foot)], width * R, self.skin, self.lw)
            if sock:
                st = sock_top if sock_top is not None else foot - (foot - top) * 0.55
                limb(self.ctx, [(x, st), (x, foot)], width * R + 0.3, sock, self.lw)
            self.part(lambda c, x=x: ellipse(c, x + s * 0.04 * R, self.ground - 0.12 * R,
                                             0.2 * R, 0.13 * R), shoe)

    def arms(self, sleeve, pose=("down", "down"), hands=None, sleeve_len=0.65, width=0.2):
        """pose per side (-1 = picture left): 'down', 'hip', or an (u, v) hand point."""
        R = self.R
        results = {}
        for s, p in zip((-1, 1), pose):
            sx, sy = self.X(s * 0.44), self.sh + 0.14 * R
            if p == "down":
                hx, hy = self.X(s * 0.66), self.waist + 0.2 * R
                ex, ey = self.X(s * 0.62), (sy + hy) / 2
            elif p == "hip":
                hx, hy = self.X(s * 0.42), self.waist - 0.02 * R
                ex, ey = self.X(s * 0.85), (sy + hy) / 2 + 0.1 * R
            else:
                hx, hy = self.pt(*p)
                ex, ey = (sx + hx) / 2 + s * 0.15 * R, (sy + hy) / 2 + 0.1 * R
            pts = [(sx, sy), (ex, ey), (hx, hy)]
            limb(self.ctx, pts, width * R, self.skin, self.lw)
            # Sleeve covers the upper part of the arm.
            t = sleeve_len
            mid = ((sx + (ex - sx) * min(1, t * 2)), (sy + (ey - sy) * min(1, t * 2)))
            end = (ex + (hx - ex) * max(0, t * 2 - 1), ey + (hy - ey) * max(0, t * 2 - 1))
            if t > 0:
                limb(self.ctx, [(sx, sy), mid, end] if t > 0.5 else [(sx, sy), mid],
                     width * R * 1.25, sleeve, self.lw)
                # A cuff: a lighter band across the sleeve's open end.
                cx0, cy0 = end if t > 0.5 else mid
                px, py = (sx, sy) if t <= 0.5 else ((ex, ey) if t * 2 - 1 > 0.05 else (sx, sy))
                d = math.hypot(cx0 - px, cy0 - py) or 1.0
                ux, uy = (cx0 - px) / d, (cy0 - py) / d
                band = 0.06 * R
                limb(self.ctx, [(cx0 - ux * band, cy0 - uy * band), (cx0, cy0)],
                     width * R * 1.25, light(sleeve, 0.45), self.lw * 0.8, line=line_of(sleeve))
            self.part(lambda c, hx=hx, hy=hy: c.arc(hx, hy, 0.12 * R, 0, 2 * math.pi),
                      self.skin, offset=0.3)
            results[s] = (hx, hy)
        return results

    def bow(self, x, y, size, colour):
        """A ribbon bow centred at picture point (x, y)."""
        R = size

        for s in (-1, 1):
            def wing(c, s=s):
                c.move_to(x, y)
                c.curve_to(x + s * R * 0.6, y - R * 0.7, x + s * R * 1.2, y - R * 0.5, x + s * R * 1.1, y)
                c.curve_to(x + s * R * 1.2, y + R * 0.5, x + s * R * 0.6, y + R * 0.7, x, y)
                c.close_path()
            cel(self.ctx, wing, colour, lw=self.lw, offset=size * 0.15)
            def tail(c, s=s):
                c.move_to(x, y)
                c.line_to(x + s * R * 0.55, y + R * 1.2)
                c.line_to(x + s * R * 0.25, y + R * 1.05)
                c.line_to(x + s * R * 0.05, y + R * 1.25)
                c.close_path()
            cel(self.ctx, tail, colour, lw=self.lw, offset=size * 0.1)
        cel(self.ctx, lambda c: ellipse(c, x, y, R * 0.28, R * 0.32), light(colour, 0.15),
            lw=self.lw, offset=0)
