#!/usr/bin/env python3
"""Installs the build into a scratch prefix and renders a sung line through the installed
Bleepifier.lv2 with lv2apply, the command-line host of lilv, which runs one frame at a time: the
square's output must follow the input's pitch, note by note, as bleepify's pitch track hears it,
and with the power off the output is the input, exactly the default block length late.

    lv2apply_render.py BUILD_DIR SCRATCH_DIR BLEEPIFY
"""
import math
import os
import shutil
import statistics
import struct
import subprocess
import sys
import wave

URI = "http://tanuvo.example/plugins/bleepifier"
RATE = 44100
NOTES = [(220.0, 0.5), (330.0, 0.5), (262.0, 0.5), (196.0, 0.5)]  # Hz, seconds
GAP = 0.15
LATENCY = 1024  # the default block length: lv2apply tells no block length


def read_samples(path):
    """The first channel of a 16-bit or 32-bit float WAV file, as floats."""
    with open(path, "rb") as f:
        data = f.read()
    pos, fmt, channels, bits, body = 12, None, 1, 16, b""
    while pos + 8 <= len(data):
        tag, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        chunk = data[pos + 8:pos + 8 + size]
        if tag == b"fmt ":
            fmt, channels = struct.unpack("<HH", chunk[:4])
            bits = struct.unpack("<H", chunk[14:16])[0]
            if fmt == 0xFFFE:  # extensible: the real format leads the sub-format GUID
                fmt = struct.unpack("<H", chunk[24:26])[0]
        elif tag == b"data":
            body = chunk
        pos += 8 + size + (size & 1)
    if fmt == 3 and bits == 32:
        values = struct.unpack(f"<{len(body) // 4}f", body)
    elif fmt == 1 and bits == 16:
        values = [v / 32768.0 for v in struct.unpack(f"<{len(body) // 2}h", body)]
    else:
        sys.exit(f"{path}: unexpected WAV format {fmt}/{bits}")
    return list(values[::channels])


def write_line(path):
    samples = [0.0] * int(GAP * RATE)
    for hz, seconds in NOTES:
        n = int(seconds * RATE)
        for i in range(n):
            swell = math.sin(math.pi * i / n)
            t = i / RATE
            value = sum(math.sin(2 * math.pi * hz * h * t + 0.7 * h * h) / h for h in range(1, 7))
            samples.append(0.25 * swell * value)
        samples.extend([0.0] * int(GAP * RATE))
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", int(max(-1.0, min(1.0, s)) * 32767))
                                 for s in samples))


def pitch_track(bleepify, path):
    listing = subprocess.run([bleepify, "pitch", path], check=True, capture_output=True,
                             text=True).stdout.splitlines()[1:]
    track = []
    for line in listing:
        time, hz = line.split(",")
        track.append((float(time), None if hz == "none" else float(hz)))
    return track


def main():
    build, scratch, bleepify = sys.argv[1:4]
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    prefix = os.path.join(scratch, "prefix")
    subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True,
                   stdout=subprocess.DEVNULL)
    bundle = os.path.join(prefix, "lib", "lv2", "Bleepifier.lv2")
    if not os.path.isfile(os.path.join(bundle, "manifest.ttl")):
        sys.exit("no Bleepifier.lv2 in the installed tree")

    source = os.path.join(scratch, "line.wav")
    result = os.path.join(scratch, "square.wav")
    write_line(source)
    env = dict(os.environ, LV2_PATH=os.path.dirname(bundle) + ":/usr/lib/lv2")
    subprocess.run(["lv2apply", "-i", source, "-o", result, "-c", "effect", "1",
                    "-c", "depth", "0.55", URI], check=True, env=env)

    bypassed = os.path.join(scratch, "bypassed.wav")
    subprocess.run(["lv2apply", "-i", source, "-o", bypassed, "-c", "power", "0", URI],
                   check=True, env=env)

    failures = []
    line = read_samples(source)
    late = read_samples(bypassed)
    if late[:LATENCY] != [0.0] * LATENCY or late[LATENCY:] != line[:len(line) - LATENCY]:
        failures.append(f"with the power off the output is not the input {LATENCY} samples late")
    square = read_samples(result)
    change = sum((a - b) ** 2 for a, b in zip(square[LATENCY:], line)) / sum(b * b for b in line)
    print(f"square against the input: residual {change:.2f} of the input's energy")
    if change < 0.3:
        failures.append("the square sounds like the input")

    played = pitch_track(bleepify, result)
    start = GAP
    for hz, seconds in NOTES:
        # The middle of each note, clear of the plug-in's latency and the swells' quiet ends.
        heard = [p for t, p in played if start + 0.2 * seconds < t < start + 0.8 * seconds and p]
        if len(heard) < 5:
            failures.append(f"{hz} Hz note: no pitch in the output")
        else:
            median = statistics.median(heard)
            print(f"{hz:6.1f} Hz in, {median:7.2f} Hz out ({len(heard)} windows)")
            if abs(12 * math.log2(median / hz)) > 0.5:
                failures.append(f"{hz} Hz note came out at {median:.1f} Hz")
        start += seconds + GAP
    if failures:
        sys.exit("; ".join(failures))


if __name__ == "__main__":
    main()
