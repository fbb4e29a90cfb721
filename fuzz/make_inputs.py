#!/usr/bin/env python3
"""Writes the conversion fuzzer's seed corpus (fuzz/corpus/) and the hand-made awkward inputs
(tests/data/awkward/) in its byte layout: six colour bytes; the step text, head, mid and close,
each a count byte and that many UTF-16LE code units; then the input text as UTF-16LE. The step
fuzzer's (fuzz/corpus-step/, tests/data/awkward-step/) are a step text alone, as UTF-16LE.

Text is given as Python strings; "\\ud83d"-style escapes stand for single code units, so lone
surrogates can be written. Run it again after changing a table; it rewrites every file it owns.
"""

import pathlib
import struct

ROOT = pathlib.Path(__file__).resolve().parent.parent

STARTUP_COLORS = (255, 0, 255, 0, 255, 0)
STARTUP_TAGS = ("[color=#", "]", "[/color]")


def units(text):
    """The UTF-16 code units of text, keeping lone surrogates as they are."""
    out = []
    for ch in text:
        cp = ord(ch)
        if cp > 0xFFFF:
            cp -= 0x10000
            out += [0xD800 + (cp >> 10), 0xDC00 + (cp & 0x3FF)]
        else:
            out.append(cp)
    return out


def encode(text, step="1", tags=STARTUP_TAGS, colors=STARTUP_COLORS):
    data = bytearray(colors)
    for field in (step, *tags):
        field_units = units(field)
        assert len(field_units) < 256, field
        data.append(len(field_units))
        data += b"".join(struct.pack("<H", u) for u in field_units)
    data += b"".join(struct.pack("<H", u) for u in units(text))
    return bytes(data)


GRINNING = "\U0001F600"  # one surrogate pair
FLAG_CN = "\U0001F1E8\U0001F1F3"  # two regional indicators
FAMILY = "\U0001F468\u200d\U0001F469\u200d\U0001F467"  # joined by ZWJ
THUMB_MEDIUM = "\U0001F44D\U0001F3FD"  # skin-tone modifier
KEYCAP_1 = "1\ufe0f\u20e3"
HANGUL_GAG = "\u1100\u1161\u11a8"  # conjoining jamo L V T
DEVANAGARI_KSSI = "\u0915\u094d\u0937\u093f"  # consonant, virama, consonant, vowel sign

SEEDS = {
    "abc-startup": encode("ABC"),
    "spaced-forum-line": encode("  你好, world!\r\n彩虹字 " + GRINNING + "  ", step="2"),
    "html-preset-step3": encode("Hello 世界", step="3", tags=("<font color=", ">", "</font>")),
    "qq-preset-grey-to-red": encode("QQ空间", tags=("[ftc=", "]", "[/ft]"),
                                    colors=(128, 128, 128, 255, 0, 0)),
    "empty-template": encode("ABC", tags=("", "", "")),
    "emoji-sequences": encode("A" + FLAG_CN + FAMILY + "B" + THUMB_MEDIUM + KEYCAP_1 + "\U0001F1EF"),
    "marks-jamo-indic-step2": encode("e\u0301a\u0308\u0323 " + HANGUL_GAG + DEVANAGARI_KSSI +
                                     "\u0e01\u0e33\u06001", step="2"),
}

AWKWARD = {
    "pair-at-chunk-end-step2": encode("A" + GRINNING + "BC" + GRINNING + "D", step="2"),
    "pair-at-chunk-end-step1": encode("A" + GRINNING + "B"),
    "pairs-only-step3": encode(GRINNING * 5, step="3"),
    "pair-at-text-end-step2": encode("AB" + GRINNING, step="2"),
    "lone-high-surrogate-at-end": encode("AB\ud83d"),
    "lone-high-surrogate-at-chunk-end-step2": encode("A\ud83dBC", step="2"),
    "lone-low-surrogate": encode("A\ude00B"),
    "low-before-high-swapped-pair": encode("A\ude00\ud83dB", step="2"),
    "combining-marks-step1": encode("e\u0301a\u0308\u0323o"),
    "combining-marks-step2": encode("e\u0301a\u0308\u0323o", step="2"),
    "crlf-step1": encode("A\r\nB"),
    "crlf-step2": encode("A\r\nB", step="2"),
    "lone-cr-and-tab": encode("A\rB\tC"),
    "ideographic-space-is-not-blank": encode("A\u3000B"),
    "tabs-outside-spaces-are-kept": encode(" \tA B\t  "),
    "tab-run-step2-is-tagged": encode("A\t\tB", step="2"),
    "empty-text": encode(""),
    "all-spaces": encode("      "),
    "one-unit": encode("X", step="5"),
    "step-99999999999": encode("ABCDEFG", step="99999999999"),
    "step-minus-3": encode("ABCDEFG", step="-3"),
    "step-2.5-ties-to-2": encode("ABCDEFG", step="2.5"),
    "step-3.5-ties-to-4": encode("ABCDEFGHIJ", step="3.5"),
    "step-12abc-trailing-text": encode("ABCDEFGHIJKLMNOP", step="12abc"),
    "step-empty": encode("ABC", step=""),
    "step-equals-length": encode("ABCD", step="4"),
    "step-one-below-length": encode("ABCD", step="3"),
    "step-2147483648-just-past-range": encode("ABC", step="2147483648"),
    "descending-and-equal-channels": encode("ABCDEFGH", colors=(255, 7, 200, 0, 7, 201)),
    "red-fixed-green-and-blue-vary": encode("ABCD", colors=(10, 0, 255, 10, 255, 0)),
    "only-blue-varies-step2": encode("ABCDEFG", step="2", colors=(40, 50, 0, 40, 50, 9)),
    "nul-and-bom-units": encode("\x00\ufeffA\x00"),
    "cluster-starts-at-chunk-end-step2": encode("AB" + THUMB_MEDIUM + "CD", step="2"),
    "cluster-spans-two-steps-step2": encode("X" + FAMILY + "YZ", step="2"),
    "cluster-at-text-end-step3": encode("AB" + FLAG_CN, step="3"),
    "lone-regional-indicator": encode("A\U0001F1E8B"),
    "mark-on-a-space-is-not-blank": encode("A \u0301B"),
    "prepend-joins-a-digit": encode("\u06001A"),
    "joiner-before-copyright-sign": encode("\U0001F468\u200d\u00a9A"),
    "crlf-then-mark-step2": encode("e\u0301\r\n\u0301", step="2"),
    # Chunk ends far inside a run of flags, where a boundary depends on the letters before it.
    "flag-run-odd-letter-step5": encode("A" + "\U0001F1E8" + FLAG_CN * 40 + "B", step="5"),
    "flag-run-read-on-step100": encode("x" * 70 + FLAG_CN * 60 + "\u0301" + FLAG_CN, step="100"),
    "long-cluster-of-marks-step7": encode("a" + "\u0301" * 200 + "b" + "\u0308" * 90, step="7"),
}


def step_text(text):
    """A step text alone, as the step target reads it: UTF-16LE units."""
    return b"".join(struct.pack("<H", u) for u in units(text))


STEP_SEEDS = {
    "two": step_text("2"),
    "spaces-sign-fraction": step_text("  +3.5"),
    "negative": step_text("-7"),
    "trailing-text": step_text("12abc"),
    "exponent-is-text": step_text("1e3"),
}

STEP_AWKWARD = {
    "int32-max": step_text("2147483647"),
    "int32-max-half-rounds-out-of-range": step_text("2147483647.5"),
    "int32-min": step_text("-2147483648"),
    "int32-min-half-stays": step_text("-2147483648.5"),
    "twenty-digits": step_text("99999999999999999999"),
    "leading-zeros": step_text("000000000000000000042"),
    "half-above-by-a-far-digit": step_text("2.50000000000000000001"),
    "point-without-digits": step_text("7."),
    "fraction-without-whole": step_text(".6"),
    "full-width-digits-are-text": step_text("\uff13"),
    "lone-surrogate": step_text("\ud83d5"),
}


def write(directory, table):
    directory.mkdir(parents=True, exist_ok=True)
    for name, data in table.items():
        (directory / name).write_bytes(data)


if __name__ == "__main__":
    write(ROOT / "fuzz" / "corpus", SEEDS)
    write(ROOT / "tests" / "data" / "awkward", AWKWARD)
    write(ROOT / "fuzz" / "corpus-step", STEP_SEEDS)
    write(ROOT / "tests" / "data" / "awkward-step", STEP_AWKWARD)
