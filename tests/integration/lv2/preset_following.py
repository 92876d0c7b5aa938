#!/usr/bin/env python3
"""How well the LV2 factory presets follow the pitch of their input, and how loud they play.

The inputs: a female and a male voice spoken by espeak-ng, the built-in sung phrase and a
plucked string, all at 48 kHz. Each preset of the built bundle's presets.ttl is rendered through
the plug-in by bleepify, and bleepify's pitch track (the plug-in's own detector, one frame per
1024 samples) is read on the input and on the output. A steady voiced frame is one whose input
pitch agrees with both neighbours' within 30 cents and whose input is above -40 dBFS; the preset
follows it when the output's pitch there is within 50 cents of the input's. Level is the
output's RMS against the input's over the whole file.

    preset_following.py BLEEPIFY PRESETS_TTL SCRATCH_DIR [--table] [--depth D]

It prints following and level per input and preset, and fails unless every pitched preset
follows at least 95% of each input's steady frames, or as many as the sine at Depth 1.0 does where
that is fewer (the detector's own limit). --table only prints; --depth D plays every preset at
Depth D, to compare Depths. Exits 77 (skipped) without espeak-ng or sox.
"""
import argparse
import math
import os
import re
import shutil
import subprocess
import sys

sys.dont_write_bytecode = True  # no cache beside the sources
from lv2apply_render import pitch_track, read_samples  # noqa: E402

RATE = 48000
BLOCK = 1024
WORDS = "la la la, laaa la, la la laaa"
# espeak-ng options: a female voice near 215 Hz and a male one near 85 Hz.
VOICES = {"female": ["-v", "en+f3", "-s", "100", "-p", "60"],
          "male": ["-v", "en+m3", "-s", "100", "-p", "35"]}
WAVEFORMS = ["sine", "square", "triangle", "saw", "noise-long", "noise-short"]
PITCHED = 4  # the waveforms before the noises
SINE_REFERENCE = {"label": "Sine at Depth 1.0", "effect": 0,
                  "options": ["--effect", "sine", "--depth", "1"]}
TARGET = 95.0
# The same input on every run: sox's random numbers repeat and it adds no dither.
SOX = ["sox", "-R", "-D"]


def run(command, **kwargs):
    return subprocess.run(command, check=True, stdout=subprocess.DEVNULL, **kwargs)


def make_inputs(bleepify, scratch):
    """The input files by name, at 48 kHz."""
    inputs = {}
    for name, options in VOICES.items():
        spoken = os.path.join(scratch, name + "-22k.wav")
        run(["espeak-ng", *options, "-w", spoken, WORDS])
        inputs[name] = os.path.join(scratch, name + ".wav")
        run(SOX + [spoken, "-r", str(RATE), inputs[name]])
    demo = os.path.join(scratch, "demo")
    run([bleepify, "--demo", demo], stderr=subprocess.DEVNULL)
    inputs["phrase"] = os.path.join(scratch, "phrase.wav")
    run(SOX + [os.path.join(demo, "input.wav"), "-r", str(RATE), inputs["phrase"]],
        stderr=subprocess.DEVNULL)
    # A plucked string over two octaves, each note dying away.
    notes = []
    for i, note in enumerate(["E2", "A2", "D3", "G3", "B3", "E4", "C3", "A2"]):
        notes.append(os.path.join(scratch, f"note{i}.wav"))
        run(SOX + ["-n", "-r", str(RATE), "-b", "16", "-c", "1", notes[-1], "synth", "0.8",
                   "pluck", note, "fade", "0", "0.8", "0.5", "gain", "-6"])
    inputs["pluck"] = os.path.join(scratch, "pluck.wav")
    run(SOX + [*notes, inputs["pluck"]])
    return inputs


def read_presets(path):
    """The presets in file order, with the bleepify options that play them."""
    presets = []
    with open(path) as f:
        text = f.read()
    for block in text.split(" a pset:Preset")[1:]:
        values = dict((s, float(v)) for s, v in re.findall(
            r'lv2:symbol "(\w+)" ;\s*pset:value ([-0-9.eE]+)', block))
        effect = int(values["effect"])
        options = ["--effect", WAVEFORMS[effect], "--duty", str(values.pop("duty_ratio") / 100)]
        for symbol in ("volume", "power", "mix", "depth", "tone", "steps"):
            options += ["--" + symbol, str(values[symbol])]
        presets.append({"label": re.search(r'rdfs:label "([^"]*)"', block).group(1),
                        "effect": effect, "options": options})
    return presets


def frame_levels(samples):
    levels = []
    for start in range(0, len(samples), BLOCK):
        frame = samples[start:start + BLOCK]
        energy = sum(v * v for v in frame) / BLOCK
        levels.append(10 * math.log10(energy) if energy > 0 else -math.inf)
    return levels


def cents(a, b):
    return abs(1200 * math.log2(a / b))


class Input:
    def __init__(self, bleepify, path):
        self.path = path
        samples = read_samples(path)
        self.energy = sum(v * v for v in samples)
        levels = frame_levels(samples)
        pitch = [hz for _, hz in pitch_track(bleepify, path)]
        self.steady = [i for i in range(1, len(pitch) - 1)
                       if levels[i] > -40 and all(pitch[j] for j in (i - 1, i, i + 1))
                       and cents(pitch[i], pitch[i - 1]) <= 30
                       and cents(pitch[i], pitch[i + 1]) <= 30]
        self.pitch = pitch

    def measure(self, bleepify, preset, output):
        """Following in percent of the steady frames, and level in dB against the input."""
        run([bleepify, "--block", str(BLOCK), *preset["options"], self.path, output],
            stderr=subprocess.DEVNULL)
        played = [hz for _, hz in pitch_track(bleepify, output)]
        followed = sum(1 for i in self.steady
                       if played[i] and cents(played[i], self.pitch[i]) <= 50)
        energy = sum(v * v for v in read_samples(output))
        level = 10 * math.log10(energy / self.energy) if energy > 0 else -math.inf
        return 100.0 * followed / max(1, len(self.steady)), level


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("bleepify")
    parser.add_argument("presets_ttl")
    parser.add_argument("scratch")
    parser.add_argument("--table", action="store_true")
    parser.add_argument("--depth")
    args = parser.parse_args()
    bleepify, scratch = args.bleepify, args.scratch
    missing = [tool for tool in ("espeak-ng", "sox") if not shutil.which(tool)]
    if missing:
        print("skipped: no " + " or ".join(missing))
        sys.exit(77)
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)

    presets = read_presets(args.presets_ttl)
    if args.depth is not None:
        for preset in presets:
            preset["options"] += ["--depth", args.depth]
    output = os.path.join(scratch, "output.wav")
    failures = []
    for name, path in make_inputs(bleepify, scratch).items():
        source = Input(bleepify, path)
        reference, _ = source.measure(bleepify, SINE_REFERENCE, output)
        needed = min(TARGET, reference)
        print(f"{name}: {len(source.steady)} steady frames; sine at Depth 1.0 follows "
              f"{reference:.1f}%")
        for preset in presets:
            followed, level = source.measure(bleepify, preset, output)
            print(f"  {preset['label']:28s} {followed:5.1f}% {level:+6.1f} dB")
            if preset["effect"] < PITCHED and followed < needed:
                failures.append(f"{preset['label']} follows {followed:.1f}% of {name}")
    if len(presets) < len(WAVEFORMS):
        failures.append(f"only {len(presets)} presets in {args.presets_ttl}")
    if failures and not args.table:
        sys.exit("; ".join(failures))


if __name__ == "__main__":
    main()
