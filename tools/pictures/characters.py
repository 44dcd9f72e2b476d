"""Recipes for the 26 character images, keyed by image number (1..26).

Each entry gives the picture size, the head-top line that fixes the figure's scale, and
a recipe that draws the parts back to front."""

import math

import creatures
import props
from figure import Figure
from paint import cel, dark, ellipse, hexc, limb
from panels import star

C = hexc


def school_uniform(f, skirt, ribbon, pose=("down", "down")):
    f.legs(C("#ffffff"), C("#6e3c2c"))
    f.skirt(skirt, pleats=7)
    f.torso(C("#fbfbff"))
    f.part(lambda c: f.poly([(-0.36, f.rv(f.sh) - 0.04), (0.36, f.rv(f.sh) - 0.04),
                             (0.0, f.rv(f.sh) + 0.35)]), skirt)
    hands = f.arms(C("#fbfbff"), pose)
    f.neck()
    f.bow(f.X(0), f.sh + 0.2 * f.R, 0.24 * f.R, ribbon)
    return hands


def sakura(f):
    """Image 1: first-year schoolgirl, pink twin tails, cherry-blossom clip."""
    hair = C("#ff9cc2")
    f.twintails(hair, length=2.7, spread=1.6)
    f.back_hair("short", hair)
    school_uniform(f, C("#36457e"), C("#e8405a"))
    f.head()
    f.face(C("#4aa0e8"), mouth="open")
    f.bangs("straight", hair, ahoge=True)
    for s in (-1, 1):
        f.bow(f.X(s * 0.98), f.Y(-0.75), 0.22 * f.R, C("#e8405a"))
    ctx = f.ctx
    cel(ctx, lambda c: star(c, f.X(0.55), f.Y(-0.5), 0.2 * f.R, 0.11 * f.R), C("#ffd8e6"),
        lw=f.lw, offset=0.02 * f.R)


def kaede(f):
    """Image 18: Sakura's senior: long chestnut hair, glasses, blazer, a book in hand."""
    hair = C("#8a4a36")
    f.back_hair("long", hair, length=2.9)
    f.legs(C("#3a3a4a"), C("#4a2c24"), sock_top=f.hem + 0.1 * f.R)
    f.skirt(C("#36457e"), pleats=7)
    blazer = C("#2f3d6a")
    f.torso(C("#fbfbff"))
    f.bow(f.X(0), f.sh + 0.2 * f.R, 0.2 * f.R, C("#e8405a"))
    for s in (-1, 1):
        f.part(lambda c, s=s: f.poly([(s * 0.52, f.rv(f.sh) - 0.04), (s * 0.14, f.rv(f.sh)),
                                      (s * 0.05, f.rv(f.waist) + 0.05), (s * 0.46, f.rv(f.waist) + 0.05)]),
               blazer)
    hands = f.arms(blazer, ("down", (0.25, f.rv(f.waist) - 0.25)), sleeve_len=0.9)
    props.book(f, hands[1][0] - 0.1 * f.R, hands[1][1] - 0.05 * f.R, 0.75 * f.R, 0.55 * f.R,
               C("#b0403a"), C("#fff6e0"))
    f.part(lambda c: c.arc(hands[1][0], hands[1][1], 0.12 * f.R, 0, 2 * math.pi), f.skin, offset=0.3)
    f.neck()
    f.head()
    f.face(C("#c27a2a"), mouth="smile")
    f.bangs("swept", hair, locks=1.3)
    ctx = f.ctx
    ctx.set_source_rgb(*C("#6a3040"))
    ctx.set_line_width(f.lw * 1.1)
    for s in (-1, 1):
        ellipse(ctx, f.X(s * 0.42), f.Y(0.33), 0.27 * f.R, 0.22 * f.R)
        ctx.stroke()
    f.move(-0.15, 0.3)
    f.curve((-0.08, 0.24), (0.08, 0.24), (0.15, 0.3))
    ctx.stroke()
    leaf = C("#f06a2a")
    cel(ctx, lambda c: star(c, f.X(-0.6), f.Y(-0.55), 0.22 * f.R, 0.1 * f.R), leaf, lw=f.lw,
        offset=0.02 * f.R)


def lily(f):
    """Image 2: apprentice witch with a wide hat and a broom."""
    hair = C("#ff8a4a")
    f.back_hair("wavy", hair, length=2.6)
    props.broom(f, (1.75, -0.2), (2.1, 3.6), C("#a86a3a"), C("#f0c860"))
    f.legs(C("#5a2a7a"), C("#3a2a3a"))
    robe = C("#7a4ab8")
    f.skirt(robe, flare=1.15, length=0.35, frill=C("#ffd86a"))
    f.torso(robe)
    f.arms(robe, ("down", (1.75, 1.55)), sleeve_len=0.8)
    f.neck()
    f.bow(f.X(0), f.sh + 0.2 * f.R, 0.22 * f.R, C("#ffd86a"))
    f.head()
    f.face(C("#3cb878"), mouth="grin")
    f.bangs("swept", hair, locks=1.1)
    props.witch_hat(f, C("#5a3290"), C("#ff7aa8"))


def mikoto(f):
    """Image 3: shrine maiden with long black hair and a paper wand."""
    hair = C("#2c2638")
    f.back_hair("hime", hair, length=3.0)
    f.part(lambda c: f.poly([(-0.5, f.rv(f.waist) - 0.1), (0.5, f.rv(f.waist) - 0.1),
                             (1.0, f.rv(f.ground) - 0.1), (-1.0, f.rv(f.ground) - 0.1)]), C("#d8304a"))
    for s in (-1, 1):
        f.part(lambda c, s=s: ellipse(c, f.X(s * 0.45), f.ground - 0.1 * f.R, 0.22 * f.R,
                                      0.1 * f.R), C("#fbfbff"))
    f.torso(C("#fbfbff"), top_w=0.55)
    ctx = f.ctx
    ctx.set_source_rgb(*C("#d8304a"))
    ctx.set_line_width(f.lw * 1.5)
    f.move(-0.3, f.rv(f.sh) - 0.02)
    f.line(0.15, f.rv(f.waist) - 0.1)
    ctx.stroke()
    f.move(0.3, f.rv(f.sh) - 0.02)
    f.line(-0.05, f.rv(f.sh) + 0.35)
    ctx.stroke()
    hands = f.arms(C("#fbfbff"), ("down", (0.72, f.rv(f.waist) - 0.1)), sleeve_len=0.95, width=0.3)
    props.gohei(f, hands[1])
    f.neck()
    f.head()
    f.face(C("#c83a4a"), eyes="sleepy", mouth="smile")
    f.bangs("straight", hair, locks=1.5, lock_w=0.3)
    f.bow(f.X(0.95), f.Y(-0.8), 0.2 * f.R, C("#d8304a"))


def kasumi(f):
    """Image 4: ninja girl, violet outfit, high ponytail and a long red scarf."""
    hair = C("#4a3a8a")
    f.ponytail(hair, side=-1, length=1.8, reach=0.78)
    f.back_hair("short", hair)
    props.scarf_tail(f, C("#e03a4a"), side=1, reach=1.38)
    f.legs(C("#3a2e5a"), C("#3a2e5a"), sock_top=f.hem - 0.1 * f.R, apart=0.2)
    suit = C("#6a4ab0")
    f.skirt(suit, flare=0.7, length=-0.2)
    f.torso(suit, top_w=0.45, waist_w=0.34)
    f.ctx.set_source_rgb(*C("#ffcf4a"))
    f.ctx.set_line_width(0.12 * f.R)
    f.move(-0.36, f.rv(f.waist) - 0.05)
    f.line(0.36, f.rv(f.waist) - 0.05)
    f.ctx.stroke()
    hands = f.arms(suit, ("down", (0.55, f.rv(f.sh) + 0.35)), sleeve_len=0.7)
    cel(f.ctx, lambda c: star(c, hands[1][0] + 0.05 * f.R, hands[1][1] - 0.3 * f.R, 0.25 * f.R,
                              0.08 * f.R, 4), C("#b8c0d0"), lw=f.lw, offset=0.02 * f.R)
    f.neck()
    f.head()
    f.part(lambda c: f.poly([(-0.48, f.rv(f.sh) - 0.15), (0.48, f.rv(f.sh) - 0.15),
                             (0.5, f.rv(f.sh) + 0.1), (-0.5, f.rv(f.sh) + 0.1)]), C("#e03a4a"))
    f.face(C("#8a5ad8"), eyes="sharp", mouth="smile")
    f.bangs("spiky", hair, locks=0.8)
    f.part(lambda c: f.poly([(-1.0, -0.55), (1.0, -0.55), (1.0, -0.38), (-1.0, -0.38)]),
           C("#e03a4a"))
    f.part(lambda c: c.rectangle(f.X(-0.2), f.Y(-0.55), 0.4 * f.R, 0.17 * f.R), C("#c0c8d8"))


def koko(f):
    """Image 5: cat-eared girl in a mint hoodie with a curling tail."""
    hair = C("#c89a6a")
    ctx = f.ctx
    limb(ctx, [f.pt(0.3, f.rv(f.waist) + 0.3), f.pt(1.4, f.rv(f.waist) + 0.6),
               f.pt(1.7, f.rv(f.waist) - 0.2), f.pt(1.45, f.rv(f.waist) - 0.7)], 0.2 * f.R, hair, f.lw)
    f.back_hair("bob", hair)
    hood = C("#6ad8b8")
    f.legs(C("#fbfbff"), C("#ff7a8a"), sock_top=f.hem + 0.45 * f.R)
    f.skirt(C("#3a4a6a"), flare=0.6, length=-0.35)
    f.part(lambda c: ellipse(c, f.X(0), f.sh + 0.05 * f.R, 0.75 * f.R, 0.28 * f.R), hood)
    f.torso(hood, top_w=0.55, waist_w=0.5, drop=0.25)
    f.part(lambda c: c.rectangle(f.X(-0.28), f.waist - 0.1 * f.R, 0.56 * f.R, 0.25 * f.R),
           dark(hood, 0.9))
    f.arms(hood, ((-0.55, f.rv(f.waist) - 0.05), ("hip")), sleeve_len=1.0, width=0.24)
    f.neck()
    props.animal_ears(f, "cat", hair, C("#ffc0c8"))
    f.head()
    f.face(C("#f0a02a"), mouth="cat")
    f.bangs("short", hair, locks=0.6)
    ctx.set_source_rgb(*C("#fbfbff"))
    ctx.set_line_width(0.05 * f.R)
    for s in (-1, 1):
        f.move(s * 0.12, f.rv(f.sh) + 0.05)
        f.line(s * 0.14, f.rv(f.sh) + 0.5)
        ctx.stroke()


def kohaku(f):
    """Image 6: fox girl in a kimono with a folding fan."""
    hair = C("#f08a3a")
    ctx = f.ctx

    def tail(c):
        w = f.rv(f.waist)
        f.move(0.2, w + 0.1)
        f.curve((1.2, w + 0.2), (1.9, w - 0.3), (2.0, w - 1.2))
        f.curve((2.05, w - 1.8), (1.7, w - 2.3), (1.35, w - 2.35))
        f.curve((1.5, w - 1.9), (1.3, w - 1.3), (1.0, w - 1.1))
        f.curve((1.25, w - 0.7), (0.9, w - 0.2), (0.2, w - 0.2))
        c.close_path()

    def tip(c):
        c.set_source_rgb(*C("#fffaf0"))
        ellipse(c, f.X(1.65), f.Y(f.rv(f.waist) - 2.1), 0.5 * f.R, 0.5 * f.R)
        c.fill()
    cel(ctx, tail, hair, lw=f.lw, offset=0.08 * f.R, gloss=tip)
    f.back_hair("long", hair, length=2.3)
    kimono = C("#f4f0ff")
    f.part(lambda c: f.poly([(-0.45, f.rv(f.waist) - 0.1), (0.45, f.rv(f.waist) - 0.1),
                             (0.75, f.rv(f.ground) - 0.15), (-0.75, f.rv(f.ground) - 0.15)]),
           C("#c8344a"))
    for s in (-1, 1):
        f.part(lambda c, s=s: ellipse(c, f.X(s * 0.3), f.ground - 0.1 * f.R, 0.2 * f.R, 0.1 * f.R),
               C("#7a4a3a"))
    f.torso(kimono, top_w=0.55, waist_w=0.45)
    f.ctx.set_source_rgb(*C("#c8344a"))
    f.ctx.set_line_width(f.lw * 1.6)
    f.move(-0.35, f.rv(f.sh) - 0.02)
    f.line(0.12, f.rv(f.waist) - 0.1)
    ctx.stroke()
    f.part(lambda c: c.rectangle(f.X(-0.48), f.waist - 0.3 * f.R, 0.96 * f.R, 0.28 * f.R),
           C("#ffcf4a"))
    hands = f.arms(kimono, ((-0.7, f.rv(f.waist) - 0.2), "down"), sleeve_len=1.0, width=0.34)
    props.folding_fan(f, (hands[-1][0] + 0.05 * f.R, hands[-1][1] - 0.05 * f.R), C("#ff7aa0"))
    f.neck()
    props.animal_ears(f, "fox", hair, C("#fffaf0"))
    f.head()
    f.face(C("#d8a020"), eyes="closed", mouth="cat")
    f.bangs("parted", hair, locks=1.0)
    cel(ctx, lambda c: star(c, f.X(-0.75), f.Y(-0.45), 0.2 * f.R, 0.1 * f.R), C("#ff7aa0"),
        lw=f.lw, offset=0.02 * f.R)


def alicia(f):
    """Image 7: young knight with a raised sword and a star shield."""
    hair = C("#ffd85a")
    f.ponytail(hair, side=-1, length=2.0)
    f.back_hair("short", hair)
    f.legs(C("#c0c8d8"), C("#6a7088"), sock_top=f.hem - 0.05 * f.R)
    f.skirt(C("#3a6ad8"), flare=0.9, pleats=4)
    armour = C("#cdd6e6")
    f.torso(armour, top_w=0.55)
    f.part(lambda c: f.poly([(-0.3, f.rv(f.sh) + 0.1), (0.3, f.rv(f.sh) + 0.1), (0.25, f.rv(f.waist) - 0.1),
                             (0, f.rv(f.waist)), (-0.25, f.rv(f.waist) - 0.1)]), C("#3a6ad8"))
    hands = f.arms(armour, ((-0.95, f.rv(f.waist) - 0.3), (1.05, f.rv(f.sh) + 0.6)),
                   sleeve_len=1.0, width=0.24)
    props.sword(f, hands[1], C("#e8eef8"), C("#ffcf4a"), tilt=0.4)
    f.part(lambda c: c.arc(hands[1][0], hands[1][1], 0.13 * f.R, 0, 2 * math.pi), f.skin, offset=0.3)
    props.shield(f, hands[-1][0] - 0.15 * f.R, hands[-1][1] + 0.1 * f.R, 0.62 * f.R, C("#3a6ad8"),
                 C("#ffcf4a"))
    f.neck()
    for s in (-1, 1):
        f.part(lambda c, s=s: ellipse(c, f.X(s * 0.52), f.sh + 0.08 * f.R, 0.28 * f.R, 0.2 * f.R), armour)
    f.head()
    f.face(C("#2a6ad8"), mouth="grin")
    f.bangs("swept", hair, locks=0.9)
    props.tiara(f, C("#cdd6e6"), C("#3a6ad8"))


def usami(f):
    """Image 8: bunny-eared girl in a pink frilled dress hugging a carrot."""
    hair = C("#e8e0ff")
    f.back_hair("bob", hair, length=1.0)
    dress = C("#ffb8d0")
    f.legs(C("#fbfbff"), C("#d86a8a"))
    f.skirt(dress, flare=1.0, frill=C("#fbfbff"))
    f.torso(dress)
    hands = f.arms(dress, ((-0.2, f.rv(f.waist) - 0.2), (0.25, f.rv(f.waist) - 0.15)), sleeve_len=0.45)
    carrot = C("#ff8a2a")

    def body(c):
        f.move(-0.15, f.rv(f.sh) + 0.15)
        f.curve((0.15, f.rv(f.sh) + 0.1), (0.3, f.rv(f.sh) + 0.2), (0.3, f.rv(f.sh) + 0.3))
        f.line(-0.25, f.rv(f.waist) + 0.35)
        c.close_path()
    for dx in (-0.1, 0.05, 0.2):
        cel(f.ctx, lambda c, dx=dx: ellipse(c, f.X(dx - 0.05), f.sh + 0.05 * f.R, 0.09 * f.R,
                                            0.22 * f.R), C("#5cc060"), lw=f.lw, offset=0)
    cel(f.ctx, body, carrot, lw=f.lw, offset=0.04 * f.R)
    for s, h in hands.items():
        f.part(lambda c, h=h: c.arc(h[0], h[1], 0.12 * f.R, 0, 2 * math.pi), f.skin, offset=0.3)
    f.neck()
    props.animal_ears(f, "bunny", hair, C("#ffc0d8"))
    f.head()
    f.face(C("#e8405a"), mouth="open")
    f.bangs("straight", hair, locks=0.8)
    f.bow(f.X(0), f.Y(-1.0), 0.25 * f.R, C("#ff6a9a"))


def haruto(f):
    """Image 9: sporty boy with a cap and a football."""
    hair = C("#7a4a2a")
    f.back_hair("short", hair)
    f.legs(C("#fbfbff"), C("#e83a3a"), sock_top=f.hem + 0.6 * f.R)
    ctx = f.ctx
    shorts = C("#2a5ad8")
    for s in (-1, 1):
        f.part(lambda c, s=s: f.poly([(s * 0.02, f.rv(f.waist) - 0.1), (s * 0.48, f.rv(f.waist) - 0.1),
                                      (s * 0.52, f.rv(f.hem) - 0.1), (s * 0.05, f.rv(f.hem) - 0.1)]),
               shorts)
    shirt = C("#ffcf3a")
    f.torso(shirt, top_w=0.55, waist_w=0.45, drop=0.05)
    ctx.set_source_rgb(*C("#e83a3a"))
    ctx.set_line_width(0.1 * f.R)
    f.move(-0.48, f.rv(f.sh) + 0.4)
    f.line(0.48, f.rv(f.sh) + 0.4)
    ctx.stroke()
    hands = f.arms(shirt, ("down", (0.68, f.rv(f.waist) - 0.15)), sleeve_len=0.35)
    bx, by = hands[1][0] + 0.2 * f.R, hands[1][1] + 0.1 * f.R

    def ball_marks(c):
        c.set_source_rgb(*C("#3a3a4a"))
        star(c, bx, by, 0.15 * f.R, 0.1 * f.R)
        c.fill()
        for a in range(5):
            ang = -math.pi / 2 + a * 2 * math.pi / 5
            c.arc(bx + math.cos(ang) * 0.38 * f.R, by + math.sin(ang) * 0.38 * f.R, 0.09 * f.R, 0,
                  2 * math.pi)
            c.fill()
    cel(ctx, lambda c: c.arc(bx, by, 0.38 * f.R, 0, 2 * math.pi), C("#fbfbff"), lw=f.lw,
        offset=0.05 * f.R, gloss=ball_marks)
    f.part(lambda c: c.arc(hands[1][0], hands[1][1], 0.12 * f.R, 0, 2 * math.pi), f.skin, offset=0.3)
    f.neck()
    f.head()
    f.face(C("#3a8a4a"), eyes="boy", mouth="grin", blush=False)
    f.bangs("spiky", hair, locks=0.3)
    props.cap(f, C("#e83a3a"), C("#fbfbff"))
    ctx.set_source_rgba(*C("#ff8a8a"), 0.35)
    for s in (-1, 1):
        ellipse(ctx, f.X(s * 0.6), f.Y(0.6), 0.12 * f.R, 0.06 * f.R)
        ctx.fill()


def chloe(f):
    """Image 10: gothic girl with silver twin tails and a lace parasol."""
    hair = C("#d8dcef")
    hands_parasol = (f.X(-0.75), f.waist - 0.2 * f.R)
    props.parasol(f, hands_parasol, C("#4a2a5a"), C("#fbfbff"), radius=1.05, lift=2.6, tilt=-0.3)
    f.twintails(hair, length=2.4, spread=1.4, high=-0.3)
    f.back_hair("short", hair)
    dress = C("#4a2a5a")
    f.legs(C("#2e2438"), C("#5a2a4a"))
    f.skirt(C("#fbfbff"), flare=1.05, length=0.15)
    f.skirt(dress, flare=0.95, frill=C("#e8e0f0"))
    f.torso(dress)
    f.part(lambda c: f.poly([(-0.2, f.rv(f.sh)), (0.2, f.rv(f.sh)), (0.1, f.rv(f.waist) - 0.05),
                             (-0.1, f.rv(f.waist) - 0.05)]), C("#fbfbff"))
    f.arms(dress, ((-0.75, f.rv(f.waist) - 0.2), "down"), sleeve_len=0.9)
    f.neck()
    f.head()
    f.face(C("#b83a6a"), eyes="sleepy", mouth="flat")
    f.bangs("straight", hair, locks=1.1)
    f.bow(f.X(0), f.sh + 0.18 * f.R, 0.22 * f.R, C("#b83a6a"))
    f.bow(f.X(0.75), f.Y(-0.95), 0.3 * f.R, C("#4a2a5a"))


def twin(f, accent, side):
    """Images 11 and 12: the twins, mirror images in blue and pink."""
    hair = C("#ffc86a")
    f.ponytail(hair, side=side, length=1.9)
    f.back_hair("bob", hair, length=0.7)
    f.legs(C("#fbfbff"), dark(accent, 0.6))
    f.skirt(accent, flare=0.95, pleats=6)
    f.torso(C("#fbfbff"))
    f.part(lambda c: f.poly([(-0.5, f.rv(f.sh) - 0.04), (0.5, f.rv(f.sh) - 0.04),
                             (0.45, f.rv(f.sh) + 0.2), (0.0, f.rv(f.sh) + 0.42),
                             (-0.45, f.rv(f.sh) + 0.2)]), accent)
    # The inner hand reaches to the picture's edge, towards the other twin's hand.
    inner_x = 3 + 0.12 * f.R if side > 0 else f.w - 3 - 0.12 * f.R
    inner = ((inner_x - f.cx) / f.R, f.rv(f.sh) + 0.75)
    pose = (inner, "down") if side > 0 else ("down", inner)
    f.arms(C("#fbfbff"), pose, sleeve_len=0.35)
    f.neck()
    f.bow(f.X(0), f.sh + 0.22 * f.R, 0.2 * f.R, C("#ffcf4a"))
    f.head()
    f.face(accent, mouth="open" if side > 0 else "smile")
    f.bangs("swept" if side > 0 else "straight", hair, locks=0.8)
    f.bow(f.X(side * 0.85), f.Y(-0.85), 0.3 * f.R, accent)


def mina(f):
    twin(f, C("#4a8ae8"), 1)


def mio(f):
    twin(f, C("#f0609a"), -1)


def airi(f):
    """Image 13: idol singer with buns, a flared stage dress and a microphone."""
    hair = C("#4ad8d0")
    f.buns(hair, y=-1.05, x=0.85, r=0.38)
    f.back_hair("long", hair, length=2.0)
    dress = C("#ff7ab8")
    f.legs(C("#fbfbff"), C("#ff5a9a"))
    f.skirt(C("#fbfbff"), flare=1.45, length=0.1)
    f.skirt(dress, flare=1.35, frill=C("#fff0a0"), pleats=8)
    f.torso(dress)
    hands = f.arms(dress, ((-1.35, f.rv(f.sh) - 0.3), (0.72, f.rv(f.sh) + 0.1)), sleeve_len=0.3)
    for i, (dx, dy) in enumerate(((-1.7, -1.0), (-1.95, -0.4), (1.6, -0.6))):
        cel(f.ctx, lambda c, dx=dx, dy=dy: star(c, f.X(dx), f.Y(f.rv(f.sh) + dy), 0.16 * f.R,
                                                0.07 * f.R), C("#ffd84a"), lw=f.lw * 0.8,
            offset=0.01 * f.R)
    f.neck()
    f.bow(f.X(0), f.sh + 0.2 * f.R, 0.26 * f.R, C("#fff0a0"))
    f.head()
    f.face(C("#ff5a9a"), mouth="open")
    f.bangs("parted", hair, locks=0.9)
    cel(f.ctx, lambda c: star(c, f.X(-0.6), f.Y(-0.7), 0.2 * f.R, 0.09 * f.R), C("#ffd84a"),
        lw=f.lw, offset=0.02 * f.R)
    # The microphone is held up in front of the hair, beside the mouth.
    props.microphone(f, hands[1], C("#ff5a9a"))
    f.part(lambda c: c.arc(hands[1][0], hands[1][1], 0.12 * f.R, 0, 2 * math.pi), f.skin, offset=0.3)


def viola(f):
    """Image 14: little vampire with a wide cape and a red bow."""
    hair = C("#3a3450")
    props.cape(f, C("#2a2440"), C("#c8284a"), span=1.75)
    f.back_hair("bob", hair, length=0.8)
    f.legs(C("#2a2440"), C("#5a1a2a"))
    dress = C("#2e2a4a")
    f.skirt(dress, flare=0.9, frill=C("#c8284a"))
    f.torso(dress)
    f.arms(dress, ("down", "down"), sleeve_len=0.9)
    f.neck()
    for s in (-1, 1):
        f.part(lambda c, s=s: f.poly([(s * 0.1, f.rv(f.sh)), (s * 0.75, f.rv(f.sh) - 0.7),
                                      (s * 0.8, f.rv(f.sh) - 0.05)]), C("#c8284a"))
    f.bow(f.X(0), f.sh + 0.15 * f.R, 0.26 * f.R, C("#c8284a"))
    f.head()
    f.face(C("#e02a3a"), mouth="fang")
    f.bangs("parted", hair, locks=0.7)
    for s in (-1, 1):
        f.part(lambda c, s=s: f.poly([(s * 0.2, -1.05), (s * 0.75, -1.3), (s * 0.55, -0.95)]),
               C("#2a2440"))


def hinata(f):
    """Image 15: sunny girl in a yellow sundress, short orange hair, waving."""
    hair = C("#ff9a3a")
    f.back_hair("bob", hair, length=0.6)
    dress = C("#ffd84a")
    f.legs(None, C("#e86a2a"))
    f.skirt(dress, flare=1.0, frill=C("#fbfbff"))
    f.torso(dress)
    f.arms(dress, ((-0.95, f.rv(f.sh) - 0.75), "down"), sleeve_len=0.2)
    f.neck()
    f.bow(f.X(0), f.sh + 0.18 * f.R, 0.22 * f.R, C("#ff7a3a"))
    f.head()
    f.face(C("#e87a1a"), eyes="closed", mouth="open")
    f.bangs("short", hair, locks=0.55, ahoge=True)
    sun = C("#ff8a2a")
    for i in range(8):
        a = i * math.pi / 4
        cel(f.ctx, lambda c, a=a: c.arc(f.X(0.75) + math.cos(a) * 0.2 * f.R,
                                        f.Y(-0.75) + math.sin(a) * 0.2 * f.R, 0.11 * f.R, 0,
                                        2 * math.pi), C("#ffe84a"), lw=f.lw * 0.8, offset=0.0)
    cel(f.ctx, lambda c: c.arc(f.X(0.75), f.Y(-0.75), 0.15 * f.R, 0, 2 * math.pi), sun,
        lw=f.lw * 0.8, offset=0.01 * f.R)


def tsukuyo(f):
    """Image 16: Hinata's quiet sister of the night, silver hair and a star wand."""
    hair = C("#c8c8ea")
    f.back_hair("long", hair, length=2.6)
    dress = C("#2c3a7a")

    def stars(c):
        c.set_source_rgb(*C("#ffe88a"))
        for dx, dy in ((-0.4, 0.5), (0.3, 0.3), (0.6, 0.7), (-0.2, 0.9), (0.0, 0.55)):
            star(c, f.X(dx), f.waist + dy * f.R, 0.07 * f.R, 0.03 * f.R)
            c.fill()
    f.legs(C("#2c3a7a"), C("#1e2550"))
    cel(f.ctx, lambda c: f.skirt_path(c, 1.0, 0.1), dress, lw=f.lw, offset=0.06 * f.R, gloss=stars)
    f.torso(dress)
    hands = f.arms(dress, ("down", (0.85, f.rv(f.sh) + 0.35)), sleeve_len=0.9)
    f.neck()
    f.bow(f.X(0), f.sh + 0.18 * f.R, 0.2 * f.R, C("#8a9ae8"))
    f.head()
    f.face(C("#6a5ad8"), eyes="sleepy", mouth="smile")
    f.bangs("straight", hair, locks=1.4)
    props.star_wand(f, hands[1], (0.45, -1.15), C("#e8e8f8"), C("#ffe84a"))
    f.part(lambda c: c.arc(hands[1][0], hands[1][1], 0.12 * f.R, 0, 2 * math.pi), f.skin, offset=0.3)
    ctx = f.ctx
    ctx.new_path()
    ctx.arc(f.X(-0.72), f.Y(-0.7), 0.22 * f.R, 0, 2 * math.pi)
    ctx.new_sub_path()
    ctx.arc_negative(f.X(-0.62), f.Y(-0.78), 0.2 * f.R, 2 * math.pi, 0)
    ctx.set_source_rgb(*C("#ffe84a"))
    ctx.fill()


def marin(f):
    """Image 19: pirate captain with a tricorn hat, long coat and a spyglass."""
    hair = C("#3a6ae0")
    f.back_hair("wavy", hair, length=2.4)
    coat = C("#c8343a")
    f.legs(C("#fbfbff"), C("#3a2a2a"), sock_top=f.hem)
    f.part(lambda c: f.poly([(-0.45, f.rv(f.waist) - 0.2), (0.45, f.rv(f.waist) - 0.2),
                             (1.25, f.rv(f.hem) + 0.25), (0.5, f.rv(f.hem) + 0.05),
                             (-0.5, f.rv(f.hem) + 0.05), (-1.25, f.rv(f.hem) + 0.25)]), coat)
    f.skirt(C("#fbfbff"), flare=0.6, length=-0.1)
    f.torso(C("#fbfbff"))
    for s in (-1, 1):
        f.part(lambda c, s=s: f.poly([(s * 0.55, f.rv(f.sh) - 0.04), (s * 0.15, f.rv(f.sh)),
                                      (s * 0.2, f.rv(f.waist)), (s * 0.48, f.rv(f.waist))]), coat)
    f.ctx.set_source_rgb(*C("#ffcf4a"))
    for s in (-1, 1):
        for k in range(3):
            f.ctx.arc(f.X(s * 0.3), f.sh + (0.25 + k * 0.22) * f.R, 0.05 * f.R, 0, 2 * math.pi)
            f.ctx.fill()
    hands = f.arms(coat, ("hip", (0.9, f.rv(f.sh) + 0.25)), sleeve_len=0.95, width=0.24)
    props.telescope(f, hands[1], C("#b88a3a"), C("#ffcf4a"))
    f.part(lambda c: c.arc(hands[1][0], hands[1][1], 0.12 * f.R, 0, 2 * math.pi), f.skin, offset=0.3)
    f.neck()
    f.head()
    f.face(C("#28a0a8"), eyes="sharp", mouth="grin")
    f.bangs("swept", hair, locks=1.0)
    props.pirate_hat(f, C("#2a2c48"), C("#ffcf4a"))


def elna(f):
    """Image 20: elf archer with a green tunic and a longbow."""
    hair = C("#a8e08a")
    f.back_hair("long", hair, length=2.8)
    props.bow_weapon(f, f.X(-1.05), f.Y(f.rv(f.sh) - 1.3), f.Y(f.rv(f.hem) + 0.4),
                     C("#9a6a3a"), C("#f0f0e0"))
    tunic = C("#3a9a5a")
    f.legs(C("#7a5a3a"), C("#5a3a2a"), sock_top=f.hem + 0.2 * f.R)
    f.skirt(tunic, flare=0.85, length=-0.1)
    f.torso(tunic)
    f.ctx.set_source_rgb(*C("#8a5a2a"))
    f.ctx.set_line_width(0.12 * f.R)
    f.move(-0.4, f.rv(f.waist) - 0.05)
    f.line(0.4, f.rv(f.waist) - 0.05)
    f.ctx.stroke()
    f.arms(tunic, ((-1.05, f.rv(f.waist) - 0.25), "down"), sleeve_len=0.5)
    f.neck()
    props.animal_ears(f, "elf", hair, hair)
    f.head(ears=False)
    f.face(C("#2a9a6a"), mouth="smile")
    f.bangs("parted", hair, locks=1.2)
    f.part(lambda c: ellipse(c, f.X(0.8), f.Y(-0.7), 0.15 * f.R, 0.15 * f.R), C("#ff8ac0"))


def feli(f):
    """Image 21: tiny flower fairy with butterfly wings and a wand."""
    hair = C("#ff9ad8")
    props.butterfly_wings(f, C("#a8e8ff"), C("#d8b8ff"), scale=1.1)
    f.buns(hair, y=-0.95, x=0.9, r=0.32)
    f.back_hair("short", hair)
    dress = C("#9ae0a0")
    f.legs(None, C("#ff7ab0"))

    def petals(c):
        f.move(-0.35, f.rv(f.waist) - 0.05)
        f.line(0.35, f.rv(f.waist) - 0.05)
        for i, u in enumerate((0.95, 0.6, 0.3, 0.0, -0.3, -0.6, -0.95)):
            f.line(u, f.rv(f.hem) + (0.05 if i % 2 == 0 else -0.2))
        c.close_path()
    f.part(petals, dress)
    f.torso(dress)
    hands = f.arms(dress, ((-0.75, f.rv(f.sh) + 0.6), (0.7, f.rv(f.sh) + 0.2)), sleeve_len=0.2)
    props.star_wand(f, hands[1], (0.3, -0.9), C("#fff0a0"), C("#ffe84a"))
    f.part(lambda c: c.arc(hands[1][0], hands[1][1], 0.12 * f.R, 0, 2 * math.pi), f.skin, offset=0.3)
    f.neck()
    f.head()
    f.face(C("#38b878"), mouth="open")
    f.bangs("short", hair, locks=0.6)
    for i in range(5):
        a = -math.pi / 2 + i * 2 * math.pi / 5
        cel(f.ctx, lambda c, a=a: c.arc(f.X(0) + math.cos(a) * 0.18 * f.R,
                                        f.Y(-1.1) + math.sin(a) * 0.18 * f.R, 0.12 * f.R, 0,
                                        2 * math.pi), C("#fff0f8"), lw=f.lw * 0.7, offset=0)
    f.part(lambda c: c.arc(f.X(0), f.Y(-1.1), 0.08 * f.R, 0, 2 * math.pi), C("#ffd84a"), lw=0)


def sera(f):
    """Image 22: angel with white wings, a halo and a long white dress."""
    hair = C("#fff0b0")
    props.feather_wings(f, C("#fbfbff"), span=2.25)
    f.back_hair("wavy", hair, length=3.1)
    dress = C("#f4f6ff")
    f.skirt(dress, flare=1.0, length=f.rv(f.ground) - f.rv(f.hem) - 0.05, frill=C("#a8d0ff"))
    f.torso(dress)
    f.ctx.set_source_rgb(*C("#ffd84a"))
    f.ctx.set_line_width(0.1 * f.R)
    f.move(-0.38, f.rv(f.waist) - 0.05)
    f.line(0.38, f.rv(f.waist) - 0.05)
    f.ctx.stroke()
    f.arms(dress, ((-0.12, f.rv(f.waist) + 0.05), (0.12, f.rv(f.waist) + 0.05)), sleeve_len=0.8)
    f.neck()
    f.head()
    f.face(C("#5ab0f0"), eyes="round", mouth="smile")
    f.bangs("parted", hair, locks=1.3)
    props.halo(f)


def noir(f):
    """Image 23: little demon queen with bat wings, horns and a trident."""
    hair = C("#6a2a8a")
    props.bat_wings(f, C("#4a2a6a"), span=2.2)
    ctx = f.ctx
    limb(ctx, [f.pt(0.2, f.rv(f.waist) + 0.1), f.pt(1.2, f.rv(f.waist) + 0.6),
               f.pt(1.6, f.rv(f.waist) - 0.1), f.pt(1.3, f.rv(f.waist) - 0.4)], 0.1 * f.R,
         C("#3a1a4a"), f.lw)
    f.twintails(hair, length=2.3, spread=1.45, high=-0.45)
    f.back_hair("short", hair)
    f.legs(C("#2a1a3a"), C("#c8284a"), sock_top=f.hem + 0.2 * f.R)
    dress = C("#3a1a4a")
    f.skirt(C("#c8284a"), flare=1.0, length=0.1)
    f.skirt(dress, flare=0.9, pleats=5)
    f.torso(dress)
    hands = f.arms(dress, ((-1.25, f.rv(f.sh) + 0.45), "hip"), sleeve_len=0.9)
    props.trident(f, hands[-1], C("#ffcf4a"), length=2.1)
    f.part(lambda c: c.arc(hands[-1][0], hands[-1][1], 0.12 * f.R, 0, 2 * math.pi), f.skin, offset=0.3)
    f.neck()
    f.bow(f.X(0), f.sh + 0.15 * f.R, 0.24 * f.R, C("#c8284a"))
    f.head()
    f.face(C("#e8283a"), eyes="sharp", mouth="fang")
    f.bangs("spiky", hair, locks=0.9)
    props.horns(f, C("#f0e0c8"))


def claude(f):
    """Image 24: the young lady's butler, tailcoat and a tray with tea."""
    hair = C("#4a4a5e")
    f.back_hair("tousled", hair)
    coat = C("#2a2c44")
    for s in (-1, 1):
        f.part(lambda c, s=s: f.poly([(s * 0.2, f.rv(f.waist)), (s * 0.55, f.rv(f.waist) - 0.1),
                                      (s * 0.6, f.rv(f.hem) + 0.7), (s * 0.3, f.rv(f.hem) + 0.9)]), coat)
    ctx = f.ctx
    for s in (-1, 1):
        limb(ctx, [f.pt(s * 0.2, f.rv(f.waist)), f.pt(s * 0.22, f.rv(f.ground) - 0.2)], 0.3 * f.R,
             C("#34364e"), f.lw)
        f.part(lambda c, s=s: ellipse(c, f.X(s * 0.26), f.ground - 0.12 * f.R, 0.22 * f.R, 0.12 * f.R),
               C("#1e1e2a"))
    f.torso(C("#fbfbff"), top_w=0.55, waist_w=0.42, drop=0.1)
    f.part(lambda c: f.poly([(-0.22, f.rv(f.sh) + 0.2), (0.22, f.rv(f.sh) + 0.2), (0.28, f.rv(f.waist) + 0.1),
                             (-0.28, f.rv(f.waist) + 0.1)]), C("#8a2a3a"))
    for s in (-1, 1):
        f.part(lambda c, s=s: f.poly([(s * 0.57, f.rv(f.sh) - 0.04), (s * 0.12, f.rv(f.sh)),
                                      (s * 0.3, f.rv(f.waist) + 0.1), (s * 0.5, f.rv(f.waist) + 0.1)]), coat)
    hands = f.arms(coat, ("down", (0.72, f.rv(f.sh) + 0.3)), sleeve_len=0.95, width=0.22)
    f.part(lambda c: c.arc(hands[1][0], hands[1][1], 0.13 * f.R, 0, 2 * math.pi), C("#fbfbff"), offset=0.3)
    props.tray_with_tea(f, (hands[1][0] + 0.12 * f.R, hands[1][1] - 0.12 * f.R), C("#d8dce8"),
                        C("#fbfbff"), width=0.62)
    f.neck()
    f.bow(f.X(0), f.sh + 0.1 * f.R, 0.18 * f.R, C("#2a2c44"))
    f.head()
    f.face(C("#8a2a3a"), eyes="calm", mouth="smile", blush=False)
    f.bangs("swept", hair, locks=0.6)


def erika(f):
    """Image 25: young lady with golden drill curls, a burgundy gown and a fan."""
    hair = C("#ffd050")
    for s in (-1, 1):
        for k in range(3):
            y = 0.3 + k * 0.55
            r = 0.3 - k * 0.04
            f.hair_part(lambda c, s=s, y=y, r=r: ellipse(c, f.X(s * 1.05), f.Y(y), r * f.R * 1.1,
                                                         r * f.R * 1.2), hair)
            # A curl line turns each puff into a ringlet.
            f.ctx.set_source_rgba(*dark(hair, 0.6), 0.8)
            f.ctx.set_line_width(f.lw)
            ellipse(f.ctx, f.X(s * 1.05), f.Y(y + 0.05), r * f.R * 0.75, r * f.R * 0.6,
                    0.1 * math.pi, 0.95 * math.pi)
            f.ctx.stroke()
    f.back_hair("long", hair, length=1.5)
    gown = C("#9a2a4a")
    f.skirt(gown, flare=1.15, length=f.rv(f.ground) - f.rv(f.hem) - 0.05, frill=C("#ffd8e0"),
            pleats=6)
    f.torso(gown)
    hands = f.arms(gown, ((-0.35, f.rv(f.sh) + 0.05), "down"), sleeve_len=0.3)
    props.folding_fan(f, (hands[-1][0] + 0.05 * f.R, hands[-1][1] + 0.2 * f.R), C("#ffd8e0"),
                      radius=0.6)
    f.neck()
    f.bow(f.X(0), f.sh + 0.15 * f.R, 0.22 * f.R, C("#ffd8e0"))
    f.head()
    f.face(C("#c83a6a"), eyes="sleepy", mouth="smile")
    f.bangs("parted", hair, locks=0.7)
    props.tiara(f, C("#ffd84a"), C("#e8405a"))


# image number -> (width, height, PNG resource id, recipe, figure placement)
# placement: top line of the head (hair without hats), optional centre x.
TABLE = {
    1: (120, 176, 200, sakura, dict(top=14)),
    2: (157, 198, 199, lily, dict(top=50, cx=72)),
    3: (120, 183, 198, mikoto, dict(top=6)),
    4: (102, 188, 197, kasumi, dict(top=12, cx=50)),
    5: (122, 178, 196, koko, dict(top=24, cx=56)),
    6: (132, 179, 195, kohaku, dict(top=28, cx=58)),
    7: (151, 198, 194, alicia, dict(top=16, cx=80)),
    8: (116, 197, 193, usami, dict(top=48)),
    9: (113, 176, 192, haruto, dict(top=20, cx=52)),
    10: (131, 188, 191, chloe, dict(top=14, cx=76, scale=0.17)),
    11: (97, 180, 190, mina, dict(top=8, cx=42, scale=0.18)),
    12: (101, 180, 189, mio, dict(top=8, cx=58, scale=0.18)),
    13: (152, 174, 188, airi, dict(top=16, cx=82)),
    14: (138, 200, 187, viola, dict(top=16)),
    15: (117, 169, 186, hinata, dict(top=12, cx=64)),
    16: (120, 168, 185, tsukuyo, dict(top=6, cx=56)),
    17: (156, 111, 181, None, None),
    18: (134, 180, 184, kaede, dict(top=8, cx=64)),
    19: (154, 181, 183, marin, dict(top=34, cx=74)),
    20: (131, 186, 182, elna, dict(top=8, cx=68)),
    21: (127, 158, 201, feli, dict(top=16, scale=0.17)),
    22: (175, 221, 203, sera, dict(top=28)),
    23: (183, 219, 204, noir, dict(top=26)),
    24: (114, 219, 205, claude, dict(top=18, cx=50)),
    25: (108, 217, 202, erika, dict(top=14, scale=0.18)),
    26: (152, 151, 206, None, None),
}

CREATURES = {17: creatures.calico_cat, 26: creatures.fluffball}


def draw(number, ctx):
    w, h, _, recipe, place = TABLE[number]
    if number in CREATURES:
        CREATURES[number](ctx, w, h)
        return
    recipe(Figure(ctx, w, h, **place))
