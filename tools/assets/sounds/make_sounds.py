"""Makes every sound of the game: the spoken instruction and its closing sentence, the prompts between
puzzles, the five praise words and the mouse click, and writes the table data/sounds.tsv.

Speech comes from festival with the Russian clunits voice (recorded-speech units, clearer and more
natural than the formant voices), sentence by sentence; each sentence is trimmed of its silence,
given a gentle warm EQ and placed on a timeline with sox pads so that it starts exactly at the moment
the screen acts it out. Every file is then brought to one loudness (EBU R128) and encoded with oggenc.

Run with /usr/bin/python3 (tools/assets/sounds/make.sh). Deterministic: festival's clunits voice is,
sox runs in repeatable mode (-R), oggenc gets fixed stream serial numbers.
"""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", "..", ".."))
DATA = os.path.join(ROOT, "data")
OUT = os.path.join(DATA, "sounds")

VOICE = "voice_msu_ru_nsh_clunits"
# Texts are UTF-8; "+" before a vowel marks the stress where the voice's lexicon places it wrongly.
# Checked word by word with festival's syllable stress for every sentence below.
TARGET_LUFS = -18.0        # every spoken sound; the click is matched by RMS instead
PEAK_CEILING_DB = -1.0     # no sample above this after normalising
MAX_QUICKEN = 1.08         # a sentence may be sped up this much (pitch kept) to fit before its next cue
MIN_GAP = 0.06             # silence kept between a sentence's end and the next cue
LEAD_IN = 0.08             # silence before the first word of a short sound
# Numbered sounds lose (rate * channels * 2 * 0.02) frames at their end when played, so their
# speech must end earlier than that with room to spare.
RESOURCE_TAIL = 0.12

# Speech items: key, file, rate, channels, duration (s), [(start s, sentence)], kind, comment.
# Sentence starts are the cue times of the instruction's picture show.
SPEECH = [
    ("141", "sounds/instruction.ogg", 44000, 2, 17.0, [
        (0.35, "Здравствуй! Давай соберём картинку из кусочков."),
        (5.000, "Слева лежат кусочки."),
        (6.931, "Смотри!"),
        (7.930, "Перенес+и кусочек в рамку."),
        (10.160, "Вот рамка. Собери в ней всю картинку."),
        (14.400, "Вот так!"),
        (15.300, "Картинка готова!"),
    ], "resource", "spoken instruction; sentences start at the cues 5.0, 6.931, 7.93, 10.16, 14.4, 15.3 s"),
    ("ENDHELPSOUND", "sounds/endhelp.ogg", 44000, 2, 5.16, [
        (0.30, "Понятно? Чтобы начать игру, нажми на клавишу проб+ел."),
    ], "blob", "closing page of the instruction: «Понятно? Чтобы начать игру, нажми на клавишу пробел.»"),
    ("145", "sounds/prompt_mosaic.ogg", 44000, 2, 2.05, [
        (LEAD_IN, "Теперь собери мозаику!"),
    ], "resource", "prompt for the second puzzle: «Теперь собери мозаику!»"),
    ("146", "sounds/prompt_figures.ogg", 44000, 2, 1.52, [
        (LEAD_IN, "Собери фигуры!"),
    ], "resource", "prompt for the third puzzle: «Собери фигуры!»"),
]

# Praise words: blob name, file, rate, word; stereo, 2.0 s, with a bright plucked chime after the word.
PRAISE = [
    ("bravo_sound", "sounds/bravo.ogg", 44100, "Браво!"),
    ("gotovo_sound", "sounds/gotovo.ogg", 11025, "Готово!"),
    ("molodec_sound", "sounds/molodec.ogg", 44100, "Молод+ец!"),
    ("otlichno_sound", "sounds/otlichno.ogg", 44100, "Отлично!"),
    ("ura_sound", "sounds/ura.ogg", 22050, "Ура!"),
]
PRAISE_DURATION = 2.0
CHIME_NOTES = [(15, 0.00), (19, 0.09), (22, 0.18), (27, 0.27)]   # C6 E6 G6 C7 (semitones above A4), seconds

CLICK = ("MOUSE_CLICK_SOUND", "sounds/mouse_click.ogg", 44000, 2, 0.36)
CLICK_RMS_DB = -24.0       # a short transient: its RMS stays below the speech's (about -22 dB)
CLICK_PEAK_DB = -6.0       # and its peak no higher than the speech's peaks


def run(cmd, **kw):
    """Runs a command, failing loudly with its error output."""
    res = subprocess.run(cmd, capture_output=True, text=True, **kw)
    if res.returncode != 0:
        sys.exit("failed: %s\n%s" % (" ".join(cmd), res.stderr))
    return res


def sox(*args):
    return run(["sox", "-R", "-V1"] + [str(a) for a in args])


def duration(path):
    return float(run(["soxi", "-D", path]).stdout.strip())


def samples(path):
    return int(run(["soxi", "-s", path]).stdout.strip())


def festival_say(text, wav, work):
    """Synthesises one sentence to a mono WAV at festival's own rate."""
    if re.search(r'[^\w\s\-\'?!.,;+]', text):
        sys.exit("festival cannot read the characters of: " + text)
    scm = os.path.join(work, "say.scm")
    with open(scm, "w", encoding="utf-8") as f:
        f.write("(%s)\n" % VOICE)
        f.write('(utt.save.wave (utt.synth (Utterance Text "%s")) "%s" \'riff)\n' % (text, wav))
    run(["festival", "-b", scm])


def spoken(text, rate, channels, room, work, name):
    """One sentence, trimmed, warmed and resampled; quickened a little if it must fit in room s."""
    raw = os.path.join(work, name + "_raw.wav")
    trimmed = os.path.join(work, name + "_trim.wav")
    out = os.path.join(work, name + ".wav")
    festival_say(text, raw, work)
    # The trim threshold is low so that soft word endings stay whole.
    sox(raw, "-b", "24", trimmed, "silence", "1", "0.01", "-48d", "reverse", "silence", "1",
        "0.01", "-48d", "reverse")
    length = duration(trimmed)
    tempo = []
    if length > room:
        factor = length / room * 1.01
        if factor > MAX_QUICKEN:
            sys.exit("sentence does not fit its %.2f s: %s (%.2f s)" % (room, text, length))
        tempo = ["tempo", "-s", "%.4f" % factor]
    # Soften the cut edges and warm the voice a little: rumble off, a touch of body at 220 Hz,
    # a touch of presence at 2.8 kHz.
    sox(trimmed, "-b", "24", out, *tempo, "highpass", "70", "equalizer", "220", "1.2q", "+2",
        "equalizer", "2800", "1.5q", "+1.5", "fade", "h", "0.008", "-0", "0.03",
        "rate", "-v", rate, "channels", channels)
    length = duration(out)
    if length > room:
        sys.exit("sentence does not fit its %.2f s: %s (%.2f s)" % (room, text, length))
    return out, length


def timeline(parts, total, rate, out, work):
    """Places (start, wav) parts on a silent timeline of exactly total seconds with sox pads."""
    pieces = []
    at = 0.0
    for i, (start, wav) in enumerate(parts):
        padded = os.path.join(work, "pad%d.wav" % i)
        sox(wav, padded, "pad", "%.6f" % (start - at))
        pieces.append(padded)
        at = start + duration(wav)
    frames = int(round(total * rate))
    sox(*pieces, "-b", "24", out, "pad", "0", "%.6f" % total, "trim", "0", "%ds" % frames)
    if samples(out) != frames:
        sys.exit("timeline of %s is %d frames, not %d" % (out, samples(out), frames))


def loudness(path):
    """Integrated loudness (LUFS) and sample peak (dBFS) of a WAV file, from ffmpeg's ebur128."""
    res = run(["ffmpeg", "-hide_banner", "-nostats", "-i", path, "-af", "ebur128=peak=sample",
               "-f", "null", "-"])
    text = res.stderr
    lufs = float(re.findall(r"I:\s+(-?[\d.]+) LUFS", text)[-1])
    peak = float(re.findall(r"Peak:\s+(-?[\d.inf]+) dBFS", text)[-1])
    return lufs, peak


def stats(path):
    """Peak and RMS level (dBFS) from sox's stats."""
    text = run(["sox", path, "-n", "stats"]).stderr
    pk = float(re.search(r"Pk lev dB\s+(-?[\d.]+)", text).group(1))
    rms = float(re.search(r"RMS lev dB\s+(-?[\d.]+)", text).group(1))
    return pk, rms


def normalise(src, dst):
    """Brings a speech file to the target loudness, lowering it instead if its peak would clip."""
    lufs, peak = loudness(src)
    gain = TARGET_LUFS - lufs
    if peak + gain > PEAK_CEILING_DB:
        gain = PEAK_CEILING_DB - peak
    sox(src, "-b", "16", dst, "gain", "%.3f" % gain)


def encode(wav, ogg, serial):
    run(["oggenc", "-Q", "-q", "3", "--serial", str(serial), "-o", ogg, wav])


def chime(rate, work, name):
    """A short rising arpeggio of plucked notes, quiet, for after a praise word."""
    notes = []
    for i, (semitones, at) in enumerate(CHIME_NOTES):
        wav = os.path.join(work, "%s_note%d.wav" % (name, i))
        sox("-n", "-r", rate, "-c", "1", "-b", "24", wav, "synth", "0.55", "pluck", "%%%d" % semitones,
            "fade", "l", "0", "0.55", "0.5",
            "pad", "%.3f" % at, "gain", "-14")
        notes.append(wav)
    out = os.path.join(work, name + "_chime.wav")
    # Mellowed: the pluck's top harmonics would sound harsh next to the voice.
    sox("-m", *notes, out, "gain", "4", "highpass", "400", "lowpass", "5500")
    return out


def make_speech(item, serial, work, report):
    key, rel, rate, channels, total, sentences, kind, comment = item
    ends = [s for s, _ in sentences[1:]] + [total - (RESOURCE_TAIL if kind == "resource" else 0.15)]
    parts = []
    for i, ((start, text), end) in enumerate(zip(sentences, ends)):
        wav, length = spoken(text, rate, channels, end - start - MIN_GAP, work, "%s_%d" % (key, i))
        parts.append((start, wav))
        report["sentences"].append({"key": key, "start": start, "end": round(start + length, 3),
                                    "next": end, "text": text})
    line = os.path.join(work, key + "_line.wav")
    timeline(parts, total, rate, line, work)
    final = os.path.join(work, key + "_final.wav")
    normalise(line, final)
    encode(final, os.path.join(DATA, rel), serial)
    return final


def make_praise(item, serial, work, report):
    key, rel, rate, text = item
    room = 0.95
    wav, length = spoken(text, rate, 1, room, work, key)
    ring = chime(rate, work, key)
    word_at = 0.12
    chime_at = word_at + length + 0.04
    line = os.path.join(work, key + "_line.wav")
    timeline([(word_at, wav)], PRAISE_DURATION, rate, line, work)
    ring_line = os.path.join(work, key + "_ring.wav")
    timeline([(chime_at, ring)], PRAISE_DURATION, rate, ring_line, work)
    both = os.path.join(work, key + "_both.wav")
    sox("-m", "-v", "1", line, "-v", "1", ring_line, both, "fade", "t", "0", "-0", "0.12",
        "channels", "2")
    final = os.path.join(work, key + "_final.wav")
    normalise(both, final)
    encode(final, os.path.join(DATA, rel), serial)
    report["sentences"].append({"key": key, "start": word_at, "end": round(word_at + length, 3),
                                "next": chime_at, "text": text})
    return final


def make_click(serial, work):
    """A crisp two-part mouse click (press, then release 75 ms later), a little wider in stereo."""
    key, rel, rate, channels, total = CLICK
    parts = []
    for i, (at, tone, level) in enumerate([(0.010, 3400, 0), (0.085, 2600, -5)]):
        body = os.path.join(work, "click_tone%d.wav" % i)
        sox("-n", "-r", rate, "-c", "1", "-b", "24", body, "synth", "0.018", "sine", tone,
            "fade", "l", "0", "0.018", "0.017", "gain", level - 6)
        snap = os.path.join(work, "click_snap%d.wav" % i)
        sox("-n", "-r", rate, "-c", "1", "-b", "24", snap, "synth", "0.004", "whitenoise",
            "highpass", "1500", "fade", "l", "0", "0.004", "0.0035", "gain", level - 2)
        mixed = os.path.join(work, "click_part%d.wav" % i)
        sox("-m", "-v", "1", body, "-v", "1", snap, mixed)
        parts.append((at, mixed))
    line = os.path.join(work, "click_line.wav")
    timeline(parts, total, rate, line, work)
    wide = os.path.join(work, "click_wide.wav")
    # A tiny inter-channel delay gives the click some width without moving it off centre.
    sox(line, wide, "remix", "1", "1", "delay", "0", "0.0004", "trim", "0", "%ds" % int(round(total * rate)))
    pk, rms = stats(wide)
    final = os.path.join(work, "click_final.wav")
    gain = min(CLICK_RMS_DB - rms, CLICK_PEAK_DB - pk)
    sox(wide, "-b", "16", final, "gain", "%.3f" % gain)
    encode(final, os.path.join(DATA, rel), serial)
    return final


def main():
    for tool in ("festival", "sox", "soxi", "oggenc", "ffmpeg"):
        if not shutil.which(tool):
            sys.exit("missing tool: %s (scripts/install-deps --assets)" % tool)
    os.makedirs(OUT, exist_ok=True)
    report = {"sentences": [], "files": []}
    rows = []
    with tempfile.TemporaryDirectory(prefix="tirlan-sounds-") as work:
        serial = 0x5EED0141
        finals = []
        for item in SPEECH:
            finals.append((item[0], item[1], make_speech(item, serial, work, report), item[7]))
            serial += 1
        for item in PRAISE:
            finals.append((item[0], item[1], make_praise(item, serial, work, report),
                           "praise word «%s» and a chime, stereo %d Hz, %.1f s" % (item[3].replace("+", ""), item[2], PRAISE_DURATION)))
            serial += 1
        finals.append((CLICK[0], CLICK[1], make_click(serial, work), "mouse click, stereo 44000 Hz, 0.36 s"))
        for key, rel, final, comment in finals:
            lufs, _ = loudness(final) if key != CLICK[0] else (float("nan"), 0)
            pk, rms = stats(final)
            report["files"].append({"key": key, "file": rel, "seconds": duration(final),
                                    "rate": int(run(["soxi", "-r", final]).stdout),
                                    "channels": int(run(["soxi", "-c", final]).stdout),
                                    "lufs": lufs, "peak_db": pk, "rms_db": rms,
                                    "ogg_bytes": os.path.getsize(os.path.join(DATA, rel))})
            rows.append((key, rel, comment))
    with open(os.path.join(DATA, "sounds.tsv"), "w", encoding="utf-8") as f:
        f.write("# Sounds: key<TAB>file (relative to data/)<TAB>comment. "
                "Made by tools/assets/sounds/make.sh.\n")
        for key, rel, comment in rows:
            f.write("%s\t%s\t%s\n" % (key, rel, comment))
    json.dump(report, sys.stdout, ensure_ascii=False, indent=1)
    sys.stdout.write("\n")


if __name__ == "__main__":
    main()
