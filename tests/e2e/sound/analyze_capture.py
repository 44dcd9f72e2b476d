#!/usr/bin/env python3
"""Dropout detector for a recording of the sink (raw s16le stereo) that should hold one sine
tone, played one or more times. It splits the recording into runs of unbroken tone: a run ends
where the sound stops (a gap) or where the waveform jumps (a sine predictor over every sample
catches repeats, skips and clicks too short to hear as silence). It reports every run with its
start, length, pitch and level, and the gaps between them, then checks them against what was
played: --runs tones of --seconds each at --frequency (and --amplitude, when given).

With --bridge, gaps up to that long inside a tone are reported but forgiven: the runs around them
count as one tone, which must hold --seconds of sound in all. That asks that every sample arrived
in order (nothing lost, nothing repeated) without asking the output path under Wine, which drops
a few milliseconds now and then on a busy machine whatever a program queues, never to stall."""
import argparse
import math
import sys

import numpy as np

CHUNK = 1 << 20
# A broken recording can hold thousands of runs: the first ones tell the story.
SHOWN = 40
# Runs shorter than this are the tone's own first and last samples, not sound.
SHORTEST_RUN_S = 0.002


def sound_mask(left, rate, frequency, threshold, jump):
    """True for every sample that lies inside unbroken tone."""
    c = 2.0 * math.cos(2.0 * math.pi * frequency / rate)
    # Within one cycle of the tone some sample is loud; a cycle without one is silence.
    window = int(rate / frequency) + 2
    count = len(left)
    mask = np.zeros(count, dtype=bool)
    for start in range(0, count, CHUNK):
        lo = max(start - window, 0)
        hi = min(start + CHUNK + window, count)
        x = left[lo:hi].astype(np.float32) / 32768.0
        loud = np.concatenate(([0], np.cumsum(np.abs(x) > threshold)))
        idx = np.arange(len(x))
        first = np.clip(idx - window // 2, 0, len(x))
        last = np.clip(idx + window // 2 + 1, 0, len(x))
        heard = loud[last] - loud[first] > 0
        # x[n+1] = c x[n] - x[n-1] holds for a sine; a gap, repeat or skip breaks it.
        smooth = np.ones(len(x), dtype=bool)
        residual = np.abs(x[2:] - c * x[1:-1] + x[:-2])
        smooth[1:-1] = residual <= jump
        smooth[0] = smooth[-1] = False
        keep = slice(start - lo, start - lo + min(CHUNK, count - start))
        mask[start:start + CHUNK] = (heard & smooth)[keep]
    return mask


def runs_of(mask, rate):
    edges = np.diff(np.concatenate(([0], mask.view(np.int8), [0])))
    starts = np.flatnonzero(edges == 1)
    ends = np.flatnonzero(edges == -1)
    shortest = int(SHORTEST_RUN_S * rate)
    return [(s, e) for s, e in zip(starts, ends) if e - s >= shortest]


def bridged(runs, rate, longest_gap):
    """The runs grouped into tones: a gap up to `longest_gap` seconds does not end a tone."""
    tones = []
    for start, end in runs:
        if tones and (start - tones[-1][-1][1]) / rate <= longest_gap:
            tones[-1].append((start, end))
        else:
            tones.append([(start, end)])
    return tones


def describe(left, start, end, rate):
    x = left[start:end].astype(np.float64) / 32768.0
    rising = np.flatnonzero((x[:-1] < 0.0) & (x[1:] >= 0.0))
    frequency = 0.0
    if len(rising) > 1:
        at = rising + x[rising] / (x[rising] - x[rising + 1])
        frequency = (len(at) - 1) / ((at[-1] - at[0]) / rate)
    level = math.sqrt(float(np.mean(x * x))) * math.sqrt(2.0)
    return frequency, level


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("capture")
    parser.add_argument("--rate", type=int, default=48000)
    parser.add_argument("--frequency", type=float, required=True)
    parser.add_argument("--seconds", type=float, required=True)
    parser.add_argument("--runs", type=int, default=1)
    parser.add_argument("--amplitude", type=float)
    parser.add_argument("--quiet", action="store_true", help="print only the summary")
    parser.add_argument("--bridge", type=float, default=0.0,
                        help="forgive gaps up to this many seconds inside a tone")
    args = parser.parse_args()

    frames = np.memmap(args.capture, dtype="<i2", mode="r")
    frames = frames[: len(frames) // 2 * 2].reshape(-1, 2)
    left, right = frames[:, 0], frames[:, 1]
    if len(left) == 0:
        print("empty recording")
        return 1
    expected = args.amplitude if args.amplitude else 0.5
    mask = sound_mask(left, args.rate, args.frequency, 0.05 * expected, 0.02 * expected)
    runs = runs_of(mask, args.rate)

    failures = []
    previous_end = None
    for number, (start, end) in enumerate(runs, 1):
        seconds = (end - start) / args.rate
        frequency, level = describe(left, start, end, args.rate)
        show = not args.quiet and number <= SHOWN
        if previous_end is not None and show:
            print("  gap %.3f s" % ((start - previous_end) / args.rate))
        previous_end = end
        if show:
            print("run %d at %.3f s: %.3f s, %.2f Hz, level %.4f" %
                  (number, start / args.rate, seconds, frequency, level))
        if not args.bridge and abs(seconds - args.seconds) > 0.02:
            failures.append("run %d lasts %.3f s instead of %.3f s" % (number, seconds,
                                                                    args.seconds))
        if abs(frequency - args.frequency) > 0.005 * args.frequency:
            failures.append("run %d pitch %.2f Hz" % (number, frequency))
        if args.amplitude and abs(20 * math.log10(max(level, 1e-9) / args.amplitude)) > 0.5:
            failures.append("run %d level %.4f instead of %.4f" % (number, level,
                                                                  args.amplitude))
    channel_gap = int(np.max(np.abs(left.astype(np.int32) - right.astype(np.int32))))
    if channel_gap > 33:
        failures.append("channels differ by %.5f" % (channel_gap / 32768.0))
    tones = bridged(runs, args.rate, args.bridge)
    if args.bridge:
        for number, tone in enumerate(tones, 1):
            sound = sum(e - s for s, e in tone) / args.rate
            if abs(sound - args.seconds) > 0.02:
                failures.append("tone %d holds %.3f s of sound instead of %.3f s" %
                                (number, sound, args.seconds))
        print("%d gaps up to %.3f s forgiven" % (len(runs) - len(tones), args.bridge))
    if len(tones) != args.runs:
        failures.append("%d tones instead of %d" % (len(tones), args.runs))
    whole = sum(1 for s, e in runs if abs((e - s) / args.rate - args.seconds) <= 0.02)
    print("%d runs, %d whole (%.3f s at %.0f Hz expected %d times), recording %.1f s" %
          (len(runs), whole, args.seconds, args.frequency, args.runs, len(left) / args.rate))
    for failure in failures[:SHOWN]:
        print("FAIL: " + failure)
    if len(failures) > SHOWN:
        print("FAIL: ... %d more" % (len(failures) - SHOWN))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
