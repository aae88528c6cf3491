#!/usr/bin/env python3
"""Writes the recorder's two sounds, sounds/chimes.wav and sounds/chord.wav, from plain sine tones.

chimes: three bell-like notes falling (an accepted stamp). chord: a short, low minor chord (a card that
is not in the member list). 16-bit mono at 16 kHz keeps each file small.
"""
import math
import pathlib
import struct
import wave

RATE = 16000


def bell(freq, start, length, total, gain):
    """Samples of one struck note: a quick attack, then an exponential decay, with a soft overtone."""
    out = [0.0] * total
    first = int(start * RATE)
    for i in range(int(length * RATE)):
        t = i / RATE
        env = min(1.0, t / 0.005) * math.exp(-t * 4.0)
        s = math.sin(2 * math.pi * freq * t) + 0.3 * math.sin(2 * math.pi * freq * 2.76 * t) * math.exp(-t * 8)
        if first + i < total:
            out[first + i] += gain * env * s
    return out


def mix(parts, total):
    return [sum(p[i] for p in parts) for i in range(total)]


def write(path, samples):
    peak = max(abs(s) for s in samples) or 1.0
    frames = b"".join(struct.pack("<h", int(32767 * 0.8 * s / peak)) for s in samples)
    with wave.open(str(path), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


def main():
    folder = pathlib.Path(__file__).resolve().parent.parent / "sounds"
    folder.mkdir(exist_ok=True)
    total = int(1.2 * RATE)
    chimes = mix([bell(1318.5, 0.0, 1.2, total, 1.0),   # E6
                  bell(1046.5, 0.18, 1.0, total, 0.9),  # C6
                  bell(784.0, 0.36, 0.84, total, 0.8)],  # G5
                 total)
    write(folder / "chimes.wav", chimes)
    total = int(0.8 * RATE)
    chord = mix([bell(220.0, 0.0, 0.8, total, 1.0),     # A3
                 bell(261.6, 0.0, 0.8, total, 0.8),     # C4
                 bell(329.6, 0.0, 0.8, total, 0.7)],    # E4
                total)
    write(folder / "chord.wav", chord)


if __name__ == "__main__":
    main()
