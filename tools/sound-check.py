#!/usr/bin/python3
"""Checks recordings of the game's sound (raw signed 16-bit mono, as parec
writes them).

  sound-check.py fidelity RECORDING.raw THEME.wav [--min-percent 99] [--slice-ms 23]
      Cuts the recording and the theme into slices (23 ms by default) and counts the
      slices of the recording that match the theme, treated as looping:
      each slice is aligned on its own, near where the previous one matched,
      so a glitch (a gap, a repeated or dropped stretch) costs only the
      slices it touches. Fails below the given share of matching slices.

  sound-check.py clipping RECORDING.raw
      Counts the samples at full scale (|s| >= 32767) and fails if any.

  sound-check.py key-delay SINK KEY EFFECT.wav [--with OTHER.wav]... [--presses 24]
                  [--interval 0.5] [--max-median 60]
      Records SINK's monitor (parec) while pressing KEY in the focused window
      (xdotool) every INTERVAL seconds, and finds where EFFECT.wav begins after
      each press, alone or with one of the OTHER sounds begun with it (a punch
      that lands sounds with the opponent's hit). Fails when the median delay
      from key to sound is above MAX_MEDIAN ms, or when fewer than a third of
      the presses were heard (a press while the hero reels from a blow makes
      no sound).

Each prints one line with the figures. Needs numpy (Debian's python3-numpy).
"""

import argparse
import subprocess
import sys
import threading
import time
import wave

import numpy as np

# A slice matches when its normalised correlation with the theme at the
# aligned position is at least this, and its level is within LEVEL_DB of the
# theme's there (after the recording's overall gain, reported, is taken out).
MIN_CORRELATION = 0.95
LEVEL_DB = 1.0
# Slices of the theme quieter than this (RMS, full scale 1) count as silence:
# the recording matches there when it is as quiet.
SILENT_RMS = 1e-3
# How far (seconds) a slice may sit from where the previous one ended: a
# slice is looked for within TRACK_SECONDS of it first, then within
# WIDE_SECONDS (a gap or a skip), and after LOST_SLICES slices without a
# match in the whole loop.
TRACK_SECONDS = 0.003
WIDE_SECONDS = 0.5
LOST_SLICES = 20
# A press is heard where the first 30 ms of its sound correlate at least
# this well with the recording, the music underneath included (measured
# 0.81 to 0.95 where it was heard, below 0.5 elsewhere).
KEY_SOUND_CORRELATION = 0.75


def read_raw(path):
    return np.fromfile(path, dtype="<i2").astype(np.float64) / 32768.0


def read_wav(path):
    with wave.open(path, "rb") as file:
        if file.getnchannels() != 1 or file.getsampwidth() != 2:
            sys.exit(f"sound-check: {path} is not 16-bit mono")
        data = file.readframes(file.getnframes())
        return np.frombuffer(data, dtype="<i2").astype(np.float64) / 32768.0, file.getframerate()


class LoopingTheme:
    """The theme as an endless loop, searched for the best place of a slice."""

    def __init__(self, samples, slice_length):
        self.samples = samples
        self.length = len(samples)
        self.slice_length = slice_length
        squares = np.concatenate([[0.0], np.cumsum(np.concatenate([samples, samples]) ** 2)])
        # Energy of the slice-long stretch starting at each position.
        self.energy = squares[slice_length : slice_length + self.length] - squares[: self.length]

    def stretch(self, start, length=None):
        indices = start + np.arange(self.slice_length if length is None else length)
        return np.take(self.samples, indices, mode="wrap")

    def search(self, piece, expected, reach):
        """Best start for PIECE within REACH samples of EXPECTED (the whole
        loop when REACH is None), with its normalised correlation."""
        if reach is None or 2 * reach >= self.length:
            first, span = 0, self.length
        else:
            first, span = expected - reach, 2 * reach + 1
        window = self.stretch(first, span + self.slice_length - 1)
        if span <= 512:
            products = np.correlate(window, piece, mode="valid")
        else:
            size = 1 << (len(window) - 1).bit_length()
            products = np.fft.irfft(
                np.fft.rfft(window, size) * np.conj(np.fft.rfft(piece, size)), size
            )[:span]
        starts = (first + np.arange(span)) % self.length
        norm = np.sqrt(np.maximum(self.energy[starts], 1e-20) * max(np.dot(piece, piece), 1e-20))
        scores = products / norm
        best = int(np.argmax(scores))
        return int(starts[best]), float(scores[best])


def rms(x):
    return float(np.sqrt(np.mean(x**2)))


def fidelity(args):
    recording = read_raw(args.recording)
    theme, rate = read_wav(args.theme)
    slice_length = int(round(args.slice_ms / 1000 * rate))
    loop = LoopingTheme(theme, slice_length)
    track = int(round(TRACK_SECONDS * rate))
    wide = int(round(WIDE_SECONDS * rate))
    count = len(recording) // slice_length
    if count < 10:
        sys.exit(f"sound-check: {args.recording} holds only {count} slices")

    # First pass: where each slice sits in the theme and how well it fits.
    found = []  # (correlation, recorded RMS, theme RMS) per slice
    expected = 0
    lost = LOST_SLICES  # slices since the last match: none yet
    realigned = 0
    for index in range(count):
        piece = recording[index * slice_length : (index + 1) * slice_length]
        start, score = expected, -1.0
        if rms(piece) > SILENT_RMS / 10:
            for reach in (track, wide, None):
                if reach is None and lost < LOST_SLICES:
                    break
                if reach != track or lost < LOST_SLICES:
                    start, score = max((start, score), loop.search(piece, expected, reach),
                                       key=lambda found: found[1])
                if score >= MIN_CORRELATION:
                    break
        if score >= MIN_CORRELATION:
            realigned += index > lost and start != expected % loop.length
            expected, lost = start + slice_length, 0
        else:
            expected, lost = expected + slice_length, lost + 1
        found.append((score, rms(piece), rms(loop.stretch(start))))

    # The overall gain of the chain (stream and sink volumes), from the
    # slices that fit in shape.
    ratios = [r / t for c, r, t in found if c >= MIN_CORRELATION and t > SILENT_RMS]
    gain = float(np.median(ratios)) if ratios else 1.0
    matched = 0
    for score, recorded, reference in found:
        if reference <= SILENT_RMS:
            matched += recorded <= SILENT_RMS * gain
        elif score >= MIN_CORRELATION and recorded > 0:
            matched += abs(20 * np.log10(recorded / (gain * reference))) <= LEVEL_DB
    percent = 100.0 * matched / count
    verdict = "ok" if percent >= args.min_percent else "FAILED"
    print(
        f"fidelity: {matched} of {count} slices of {args.slice_ms:g} ms match the theme"
        f" ({percent:.1f} %, at least {args.min_percent:g} % needed: {verdict});"
        f" correlation >= {MIN_CORRELATION}, level within {LEVEL_DB:g} dB;"
        f" overall gain {20 * np.log10(gain):+.2f} dB; {realigned} re-alignments"
    )
    return 0 if percent >= args.min_percent else 1


def clipping(args):
    samples = np.fromfile(args.recording, dtype="<i2").astype(np.int32)
    if len(samples) == 0:
        sys.exit(f"sound-check: {args.recording} is empty")
    clipped = int(np.count_nonzero(np.abs(samples) >= 32767))
    peak = int(np.max(np.abs(samples)))
    peak_db = 20 * np.log10(max(peak, 1) / 32768.0)
    seconds = len(samples) / args.rate
    verdict = "ok" if clipped == 0 else "FAILED"
    print(
        f"clipping: {clipped} samples at full scale in {seconds:.1f} s;"
        f" peak {peak} ({peak_db:.1f} dBFS): {verdict}"
    )
    return 0 if clipped == 0 else 1


def key_delay(args):
    rate = 44100
    recorder = subprocess.Popen(
        ["parec", "-d", f"{args.sink}.monitor", "--raw", "--format=s16le", f"--rate={rate}",
         "--channels=1", "--latency-msec=5"], stdout=subprocess.PIPE)
    chunks = []
    arrivals = []  # (time, samples received by then)

    def receive():
        total = 0
        while data := recorder.stdout.read1(4096):
            chunks.append(data)
            total += len(data) // 2
            arrivals.append((time.monotonic(), total))

    receiver = threading.Thread(target=receive)
    receiver.start()
    # One xdotool for all the presses: a press is sent the moment its line is written.
    keyboard = subprocess.Popen(["xdotool", "-"], stdin=subprocess.PIPE, text=True)
    time.sleep(1.0)
    pressed = []
    for _ in range(args.presses):
        keyboard.stdin.write(f"key {args.key}\n")
        keyboard.stdin.flush()
        pressed.append(time.monotonic())
        time.sleep(args.interval)
    time.sleep(0.5)
    keyboard.stdin.close()
    keyboard.wait()
    recorder.terminate()
    receiver.join()

    recording = np.frombuffer(b"".join(chunks), dtype="<i2").astype(np.float64) / 32768.0
    if not arrivals:
        sys.exit(f"sound-check: nothing was recorded from {args.sink}.monitor")
    # A sample reaches the recorder no earlier than the sink plays it; the
    # chunk that came soonest after its samples sets when the first one played.
    first_played = min(at - count / rate for at, count in arrivals)
    onset_length = int(0.03 * rate)

    def onset(path):
        samples, sample_rate = read_wav(path)
        if sample_rate != rate or len(samples) < onset_length:
            sys.exit(f"sound-check: {path} is not at {rate} Hz, or shorter than 30 ms")
        return samples[:onset_length]

    effect = onset(args.effect)
    onsets = [effect] + [effect + onset(other) for other in args.other]
    reach = int(0.4 * rate)
    delays = []
    for at in pressed:
        begin = int((at - first_played) * rate)
        piece = recording[max(begin, 0) : begin + reach + onset_length]
        if len(piece) < 2 * onset_length:
            continue
        energy = np.convolve(piece**2, np.ones(onset_length), mode="valid")
        score, best = -1.0, 0
        for sound in onsets:
            scores = np.correlate(piece, sound, mode="valid") / np.sqrt(
                np.maximum(energy * np.dot(sound, sound), 1e-20))
            index = int(np.argmax(scores))
            if scores[index] > score:
                score, best = float(scores[index]), index
        if score >= KEY_SOUND_CORRELATION:
            delays.append(1000.0 * best / rate)
    if len(delays) * 3 < len(pressed):
        print(f"key-delay: the sound was heard after only {len(delays)} of {len(pressed)} presses: FAILED")
        return 1
    median = float(np.median(delays))
    verdict = "ok" if median <= args.max_median else "FAILED"
    print(
        f"key-delay: {len(delays)} of {len(pressed)} presses heard, key to sound median {median:.0f} ms"
        f" (at most {args.max_median:g} ms: {verdict}), range {min(delays):.0f} to {max(delays):.0f} ms"
    )
    return 0 if median <= args.max_median else 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    check = commands.add_parser("fidelity")
    check.add_argument("recording")
    check.add_argument("theme")
    check.add_argument("--min-percent", type=float, default=99.0)
    check.add_argument("--slice-ms", type=float, default=23.0)
    check.set_defaults(run=fidelity)
    check = commands.add_parser("clipping")
    check.add_argument("recording")
    check.add_argument("--rate", type=int, default=44100)
    check.set_defaults(run=clipping)
    check = commands.add_parser("key-delay")
    check.add_argument("sink")
    check.add_argument("key")
    check.add_argument("effect")
    check.add_argument("--with", dest="other", action="append", default=[])
    check.add_argument("--presses", type=int, default=24)
    check.add_argument("--interval", type=float, default=0.5)
    check.add_argument("--max-median", type=float, default=60.0)
    check.set_defaults(run=key_delay)
    args = parser.parse_args()
    return args.run(args)


if __name__ == "__main__":
    sys.exit(main())
