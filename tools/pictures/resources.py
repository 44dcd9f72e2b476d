"""The program's picture resources: ids, file names and the picture each one holds."""

import glyphs
import panels
import symbols
import characters

ENGLISH_DAYS = [("sun", "Sun.", 28, 119), ("mon", "Mon.", 28, 117), ("tue", "Tues.", 36, 121),
                ("wed", "Wed.", 28, 122), ("thu", "Thurs.", 42, 120), ("fri", "Fri.", 28, 116),
                ("sat", "Sat.", 28, 118)]
JAPANESE_DAYS = [("sun", "日", 126), ("mon", "月", 124), ("tue", "火", 128), ("wed", "水", 129),
                 ("thu", "木", 127), ("fri", "金", 123), ("sat", "土", 125)]
LARGE_DIGIT_IDS = [103, 104, 105, 106, 107, 108, 109, 110, 112, 113]


def bitmaps():
    """(resource id, file name, maker) for the 52 BITMAP resources, in ImageTable slot order."""
    out = [(101, "watch_panel.bmp", panels.watch_panel),
           (157, "player_panel.bmp", panels.player_panel)]
    out += [(130 + d, f"digit_small_{d}.bmp", lambda d=d: glyphs.small_digit(d)) for d in range(10)]
    out += [(rid, f"digit_large_{d}.bmp", lambda d=d: glyphs.large_digit(d))
            for d, rid in enumerate(LARGE_DIGIT_IDS)]
    out += [(140, "slash_small.bmp", glyphs.small_slash),
            (141, "colon_small.bmp", glyphs.small_colon),
            (114, "slash_large.bmp", glyphs.large_slash),
            (115, "colon_large.bmp", glyphs.large_colon)]
    out += [(rid, f"week_en_{key}.bmp", lambda t=text, w=w: glyphs.english_label(t, w))
            for key, text, w, rid in ENGLISH_DAYS]
    out += [(rid, f"week_ja_{key}.bmp", lambda ch=ch: glyphs.japanese_label(ch))
            for key, ch, rid in JAPANESE_DAYS]
    out += [(146, "mark_year.bmp", lambda: glyphs.cjk_mark("年")),
            (145, "mark_month.bmp", lambda: glyphs.cjk_mark("月")),
            (144, "mark_day.bmp", lambda: glyphs.cjk_mark("日")),
            (142, "mark_am.bmp", lambda: glyphs.ampm("AM")),
            (143, "mark_pm.bmp", lambda: glyphs.ampm("PM"))]
    out += [(147 + s, f"symbol_{s}.bmp", lambda s=s: symbols.symbol(s)) for s in range(7)]
    return out


def pngs():
    """(resource id, file name, image number) for the 26 PNG resources, by image number."""
    return [(characters.TABLE[n][2], f"character_{n:02d}.png", n) for n in range(1, 27)]
