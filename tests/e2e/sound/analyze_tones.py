#!/usr/bin/env python3
"""Checks a recording of the sink (raw s16le stereo) for sine tones, one or several separated by
silence: each tone's length, pitch and level, and that it has no gaps or jumps anywhere (a sine
predictor over every sample). Tones at a fixed spacing can be checked one by one over several
recordings."""
import argparse
import math
import struct
import sys

# Silence this long between loud samples separates two tones.
TONE_GAP_SECONDS = 0.1


def tones_in(left, threshold, rate):
    """(first, last) sample of each loud stretch, stretches split at silent gaps."""
    loud = [i for i, v in enumerate(left) if abs(v) > threshold]
    if not loud:
        return []
    tones = []
    first = previous = loud[0]
    for i in loud[1:]:
        if i - previous > TONE_GAP_SECONDS * rate:
            tones.append((first, previous))
            first = i
        previous = i
    tones.append((first, previous))
    return tones


def check_tone(left, right, first, last, args):
    """Prints one tone's figures; returns its failures."""
    seconds = (last - first + 1) / args.rate
    # Leave out a few milliseconds at each end, where the tone starts and stops.
    margin = args.rate // 200
    body = range(first + margin, last - margin)

    # Pitch from the first to the last rising zero crossing, each placed between its samples.
    rising = [i - 1 + left[i - 1] / (left[i - 1] - left[i]) for i in body
              if left[i - 1] < 0.0 <= left[i]]
    frequency = (len(rising) - 1) / ((rising[-1] - rising[0]) / args.rate)
    rms = math.sqrt(sum(left[i] * left[i] for i in body) / len(body))
    level = rms * math.sqrt(2.0)
    channel_gap = max(abs(left[i] - right[i]) for i in body)

    # A sine obeys x[n+1] = 2 cos(w) x[n] - x[n-1]; a gap, a repeat or a jump breaks it.
    c = 2.0 * math.cos(2.0 * math.pi * args.frequency / args.rate)
    residuals = [abs(left[i + 1] - c * left[i] + left[i - 1]) for i in body]
    worst = max(residuals)
    worst_at = first + margin + residuals.index(worst)
    glitches = sum(1 for r in residuals if r > args.noise)

    print("tone %.3f s, %.2f Hz, amplitude %.4f, left-right %.5f, worst jump %.5f at %.3f s, "
          "%d glitches" % (seconds, frequency, level, channel_gap, worst, worst_at / args.rate,
                           glitches))
    failures = []
    if abs(seconds - args.seconds) > 0.02:
        failures.append("length %.3f s instead of %.3f s" % (seconds, args.seconds))
    if abs(frequency - args.frequency) > 0.005 * args.frequency:
        failures.append("pitch %.2f Hz instead of %.2f Hz" % (frequency, args.frequency))
    if abs(20 * math.log10(level / args.amplitude)) > 0.5:
        failures.append("level %.4f instead of %.4f" % (level, args.amplitude))
    if channel_gap > 0.001:
        failures.append("channels differ by %.5f" % channel_gap)
    if glitches:
        failures.append("%d discontinuities" % glitches)
    return failures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("capture")
    parser.add_argument("--rate", type=int, default=48000)
    parser.add_argument("--frequency", type=float, required=True)
    parser.add_argument("--amplitude", type=float, required=True)
    parser.add_argument("--seconds", type=float, required=True)
    parser.add_argument("--tones", type=int, default=1)
    # Largest predictor residual that is still the file's own quantisation, not a jump.
    parser.add_argument("--noise", type=float, default=0.01)
    # Tones that start this many seconds apart are checked one by one (with --clean).
    parser.add_argument("--spacing", type=float, default=0.0)
    parser.add_argument("--clean", default="")
    # Leading tones left out: a ring the case cut short on purpose.
    parser.add_argument("--skip", type=int, default=0)
    args = parser.parse_args()

    raw = open(args.capture, "rb").read()
    count = len(raw) // 4
    samples = struct.unpack("<%dh" % (2 * count), raw[: 4 * count])
    left = [samples[2 * i] / 32768.0 for i in range(count)]
    right = [samples[2 * i + 1] / 32768.0 for i in range(count)]

    tones = tones_in(left, 0.05 * args.amplitude, args.rate)[args.skip:]
    if not tones:
        print("no tone in the recording (%d frames)" % count)
        return 1
    if args.spacing:
        return check_slots(left, right, tones, args)
    failures = []
    if len(tones) != args.tones:
        failures.append("%d tones instead of %d" % (len(tones), args.tones))
    for first, last in tones:
        failures += check_tone(left, right, first, last, args)
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


def check_slots(left, right, tones, args):
    """Tones that start `spacing` seconds apart, each in its own slot (a tone cut by a gap
    counts as one tone with that gap). Slots found clean are added to the file `clean`, which
    keeps them over several recordings; passes when every slot has once been clean."""
    clean = set()
    try:
        clean = {int(line) for line in open(args.clean) if line.strip()}
    except OSError:
        pass
    slots = {}
    for first, last in tones:
        slot = round((first - tones[0][0]) / (args.spacing * args.rate))
        start, _ = slots.get(slot, (first, last))
        slots[slot] = (start, last)
    for slot, (first, last) in sorted(slots.items()):
        failures = check_tone(left, right, first, last, args)
        for failure in failures:
            print("FAIL: tone %d: %s" % (slot + 1, failure))
        if not failures and slot < args.tones:
            clean.add(slot)
    with open(args.clean, "w") as out:
        out.write("".join("%d\n" % slot for slot in sorted(clean)))
    missing = [slot + 1 for slot in range(args.tones) if slot not in clean]
    if missing:
        print("not yet heard whole: tones %s" % ", ".join(map(str, missing)))
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
