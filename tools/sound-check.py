#!/usr/bin/python3
"""Checks the game's sound; each check prints one line with its figures and fails below its bar.

  sound-check.py fidelity RECORDING.raw THEME.wav SLICE_MS MIN_PERCENT
      The share of the recording's slices (raw 16-bit mono at 44.1 kHz, as parec writes) that
      match the looping theme, each aligned on its own, so a glitch costs only its slices.
  sound-check.py key-delay SINK KEY MAX_MEDIAN_MS EFFECT.wav WITH.wav
      The delay from KEY to EFFECT (or EFFECT with WITH: a punch that lands) on SINK's monitor.
"""

import subprocess
import sys
import threading
import time
import wave

import numpy as np

RATE = 44100
# A slice matches when its normalised correlation with the theme where aligned is at least this,
# and its level within LEVEL_DB of the theme's there (the recording's overall gain taken out).
MIN_CORRELATION = 0.95
LEVEL_DB = 1.0
# Theme slices quieter than this RMS (full scale 1) are silence, matched by a quiet recording.
SILENT_RMS = 1e-3
# A slice is looked for within TRACK (samples) of where the previous one ended, then within
# WIDE (a gap or a skip), and after LOST_SLICES slices without a match in the whole loop.
TRACK = round(0.003 * RATE)
WIDE = round(0.5 * RATE)
LOST_SLICES = 20
# A press is heard where the first 30 ms of its sound correlate at least this well with the
# recording, music included (measured 0.81 to 0.95 where heard, below 0.5 elsewhere).
KEY_SOUND_CORRELATION = 0.75


def read_wav(path):
    with wave.open(path, "rb") as file:
        if (file.getnchannels(), file.getsampwidth(), file.getframerate()) != (1, 2, RATE):
            sys.exit(f"sound-check: {path} is not 16-bit mono at {RATE} Hz")
        return np.frombuffer(file.readframes(file.getnframes()), dtype="<i2") / 32768.0


def rms(samples):
    return float(np.sqrt(np.mean(samples**2)))


def best_place(theme, piece, first, span):
    """Where PIECE fits best among SPAN starts from FIRST in the looping THEME, and its correlation."""
    window = np.take(theme, first + np.arange(span + len(piece) - 1), mode="wrap")
    size = 1 << (len(window) - 1).bit_length()
    products = np.fft.irfft(np.fft.rfft(window, size) * np.conj(np.fft.rfft(piece, size)), size)[:span]
    squares = np.concatenate([[0.0], np.cumsum(window**2)])
    energy = np.maximum(squares[len(piece) :] - squares[:span], 1e-20)
    scores = products / np.sqrt(energy * max(np.dot(piece, piece), 1e-20))
    best = int(np.argmax(scores))
    return (first + best) % len(theme), float(scores[best])


def fidelity(recording_path, theme_path, slice_ms, min_percent):
    slice_ms, min_percent = float(slice_ms), float(min_percent)
    recording = np.fromfile(recording_path, dtype="<i2") / 32768.0
    theme, length = read_wav(theme_path), round(slice_ms / 1000 * RATE)
    count = len(recording) // length
    if count < 10:
        sys.exit(f"sound-check: {recording_path} holds only {count} slices")
    found = []  # (correlation, recorded RMS, theme RMS) per slice
    expected, lost, realigned = 0, LOST_SLICES, 0  # lost: slices since the last match
    for index in range(count):
        piece = recording[index * length : (index + 1) * length]
        start, score = expected, -1.0
        if rms(piece) > SILENT_RMS / 10:
            for reach in (TRACK, WIDE) if lost < LOST_SLICES else (WIDE, None):
                first, span = (0, len(theme)) if reach is None else (expected - reach, 2 * reach + 1)
                start, score = max((start, score), best_place(theme, piece, first, span), key=lambda f: f[1])
                if score >= MIN_CORRELATION:
                    break
        if score >= MIN_CORRELATION:
            realigned += index > lost and start != expected % len(theme)
            expected, lost = start + length, 0
        else:
            expected, lost = expected + length, lost + 1
        found.append((score, rms(piece), rms(np.take(theme, start + np.arange(length), mode="wrap"))))
    ratios = [r / t for c, r, t in found if c >= MIN_CORRELATION and t > SILENT_RMS]
    gain = float(np.median(ratios)) if ratios else 1.0
    matched = sum(recorded <= SILENT_RMS * gain if reference <= SILENT_RMS else score >= MIN_CORRELATION
                  and recorded > 0 and abs(20 * np.log10(recorded / (gain * reference))) <= LEVEL_DB
                  for score, recorded, reference in found)
    percent = 100.0 * matched / count
    print(
        f"fidelity: {matched} of {count} slices of {slice_ms:g} ms match the theme ({percent:.1f} %,"
        f" at least {min_percent:g} % needed: {'ok' if percent >= min_percent else 'FAILED'});"
        f" correlation >= {MIN_CORRELATION}, level within {LEVEL_DB:g} dB;"
        f" overall gain {20 * np.log10(gain):+.2f} dB; {realigned} re-alignments"
    )
    return percent >= min_percent


def key_delay(sink, key, max_median, effect_path, with_path):
    parec = ["parec", "-d", f"{sink}.monitor", "--raw", "--format=s16le", f"--rate={RATE}", "--channels=1"]
    recorder = subprocess.Popen(parec + ["--latency-msec=5"], stdout=subprocess.PIPE)
    # One xdotool for all the presses: a press is sent the moment its line is written.
    keyboard = subprocess.Popen(["xdotool", "-"], stdin=subprocess.PIPE, text=True)
    pressed, arrivals = [], []  # arrivals: (time, data) as parec hands them over

    def press():
        time.sleep(1.0)
        for _ in range(24):
            print(f"key {key}", file=keyboard.stdin, flush=True)
            pressed.append(time.monotonic())
            time.sleep(0.5)
        time.sleep(0.5)
        keyboard.communicate()
        recorder.terminate()

    threading.Thread(target=press).start()
    while data := recorder.stdout.read1(4096):
        arrivals.append((time.monotonic(), data))
    if not arrivals:
        sys.exit(f"sound-check: nothing was recorded from {sink}.monitor")
    recording = np.frombuffer(b"".join(data for _, data in arrivals), dtype="<i2") / 32768.0
    # A sample reaches the recorder no earlier than the sink plays it; the chunk that came
    # soonest after its samples sets when the first one played.
    received = np.cumsum([len(data) // 2 for _, data in arrivals])
    first_played = min(at - count / RATE for (at, _), count in zip(arrivals, received))
    onset_length, reach = int(0.03 * RATE), int(0.4 * RATE)
    effect, other = read_wav(effect_path)[:onset_length], read_wav(with_path)[:onset_length]
    delays = []
    for at in pressed:
        begin = int((at - first_played) * RATE)
        piece = recording[max(begin, 0) : begin + reach + onset_length]
        if len(piece) < 2 * onset_length:
            continue
        energy = np.convolve(piece**2, np.ones(onset_length), mode="valid")
        best = max(
            (np.correlate(piece, sound, "valid") / np.sqrt(np.maximum(energy * np.dot(sound, sound), 1e-20))
             for sound in (effect, effect + other)), key=np.max)
        if np.max(best) >= KEY_SOUND_CORRELATION:
            delays.append(1000.0 * int(np.argmax(best)) / RATE)
    if len(delays) * 3 < len(pressed):
        print(f"key-delay: the sound was heard after only {len(delays)} of {len(pressed)} presses: FAILED")
        return False
    median, max_median = float(np.median(delays)), float(max_median)
    print(
        f"key-delay: {len(delays)} of {len(pressed)} presses heard, key to sound median {median:.0f} ms"
        f" (at most {max_median:g} ms: {'ok' if median <= max_median else 'FAILED'}),"
        f" range {min(delays):.0f} to {max(delays):.0f} ms"
    )
    return median <= max_median


if __name__ == "__main__":
    check = {"fidelity": fidelity, "key-delay": key_delay}.get((sys.argv + [""])[1])
    if not check or len(sys.argv) - 2 != check.__code__.co_argcount:
        sys.exit(__doc__)
    sys.exit(0 if check(*sys.argv[2:]) else 1)
