"""Builds the mixed word library (data/tt.dat): common English words with a short Chinese meaning.

English side: the product of a Wikipedia rank and a film-subtitle rank, after names, inflected
forms, function words and junk are taken out. Chinese side: CC-CEDICT inverted (an English word
maps to the headwords one of whose glosses is exactly that word, or "to WORD"), and the
candidates ranked by how common and how free the Chinese word is.
"""

import math
import re

import curated
import inputs

TARGET_SIZE = 4600
# Letters the word-chain game must never run out of: below this many words, later words of the
# ranking are added for the letter.
MIN_PER_LETTER = 25

# Senses that are no meaning of their own (variants, surnames, cross-references), and notes in
# brackets that mark a sense as archaic, regional, slang or technical.
SKIPPED_SENSE = re.compile(
    r"\b(surname|variant of|old variant|abbr\. for|used in|classifier for|erhua variant)\b|"
    r"\bsee \S*\[|"
    r"\((archaic|old|literary|classical|dialect|Cantonese|Tw|Taiwan|Internet slang|slang|"
    r"dated|old-fashioned|euphemism|onom\.|Buddhism|Daoism|chemistry|math\.|physics|"
    r"medicine|zoology|botany|astronomy|grammar|linguistics|computing|sports|Hong Kong|HK|"
    r"Singapore|Beijing dialect|in names|Wu dialect|neologism)\b[^)]*\)",
    re.IGNORECASE)
# Entries that never go into the library, whichever sense matched.
OFFENSIVE = re.compile(r"\((vulgar|derog\.|derogatory|offensive|pejorative|usually derog\.)\)|"
                       r"\b(vulgar|derog\.|offensive|pejorative)\b", re.IGNORECASE)
BOUND = re.compile(r"\(bound form\)")
# Jieba tags of bound morphemes and measure words: a single character carrying one of these is a
# poor meaning on its own (杯 is a measure word, 杯子 the cup).
BOUND_TAGS = {"ng", "ag", "vg", "tg", "dg", "q", "uj", "ul", "uz", "ud", "ug", "uv", "y", "e", "o",
              "p", "c", "u", "k", "h"}

TONE_MARKS = {"a": "āáǎà", "e": "ēéěè", "i": "īíǐì", "o": "ōóǒò", "u": "ūúǔù", "ü": "ǖǘǚǜ"}


def toned(syllable):
    """'pang4' -> 'pàng', 'de5' -> 'de', 'lu:4' -> 'lǜ'."""
    syllable = syllable.lower().replace("u:", "ü").replace("v", "ü")
    if not syllable or not syllable[-1].isdigit():
        return syllable
    tone, body = int(syllable[-1]), syllable[:-1]
    if tone == 5 or tone == 0:
        return body
    if "a" in body:
        at = body.index("a")
    elif "e" in body:
        at = body.index("e")
    elif "ou" in body:
        at = body.index("o")
    else:
        at = max(i for i, c in enumerate(body) if c in "aeiouü") if any(
            c in "aeiouü" for c in body) else -1
    if at < 0:
        return body
    return body[:at] + TONE_MARKS[body[at]][tone - 1] + body[at + 1:]


# --- English ranking -------------------------------------------------------------------------

def english_ranking():
    """Common English words, best first, with names, junk and function words removed."""
    wiki = inputs.wikipedia_ranking()
    wiki_rank = {}
    for i, w in enumerate(wiki):
        wiki_rank.setdefault(w, i + 1)
    subtitles = inputs.subtitle_counts()
    sub_order = sorted(subtitles.items(), key=lambda kv: (-kv[1], kv[0]))
    sub_rank = {w: i + 1 for i, (w, _) in enumerate(sub_order)}

    scored = []
    for word, wr in wiki_rank.items():
        if not re.fullmatch(r"[a-z][a-z]+", word):
            continue
        # SUBTLEX keeps each word in its most common letter case: a capitalised form means a
        # name or a place, and a word missing there is mostly wiki markup or jargon.
        sr = sub_rank.get(word)
        if sr is None:
            continue
        if word in curated.FUNCTION_WORDS or word in curated.BLOCKED_WORDS or \
                word in curated.DROPPED_WORDS:
            continue
        scored.append((math.log(wr) + math.log(sr), word))
    scored.sort()
    return [w for _, w in scored]


def inflection_bases(word):
    """Possible base forms of an inflected word (plural, past, -ing, comparative)."""
    bases = []
    def add(b):
        if len(b) >= 2:
            bases.append(b)
    if word.endswith("ies"):
        add(word[:-3] + "y")
    if word.endswith("es"):
        add(word[:-2])
    if word.endswith("s") and not word.endswith("ss"):
        add(word[:-1])
    if word.endswith("ied"):
        add(word[:-3] + "y")
    if word.endswith("ed"):
        add(word[:-2])
        if not word.endswith("eed"):  # seed, need and speed are no past forms
            add(word[:-1])
        if len(word) > 4 and word[-3] == word[-4]:
            add(word[:-3])
    if word.endswith("ing"):
        add(word[:-3])
        add(word[:-3] + "e")
        if len(word) > 5 and word[-4] == word[-5]:
            add(word[:-4])
    for suffix in ("er", "est"):
        if word.endswith("i" + suffix):
            add(word[:-len(suffix) - 1] + "y")
        if word.endswith(suffix):
            add(word[:-len(suffix)])
            add(word[:-len(suffix) + 1])
            n = len(suffix)
            if len(word) > n + 2 and word[-n - 1] == word[-n - 2]:
                add(word[:-n - 1])
    return bases


IRREGULAR = {
    "went": "go", "gone": "go", "took": "take", "taken": "take", "saw": "see", "seen": "see",
    "came": "come", "gave": "give", "given": "give", "made": "make", "said": "say",
    "told": "tell", "thought": "think", "found": "find", "got": "get", "gotten": "get",
    "knew": "know", "known": "know", "felt": "feel", "kept": "keep", "brought": "bring",
    "bought": "buy", "began": "begin", "begun": "begin", "ran": "run", "wrote": "write",
    "written": "write", "spoke": "speak", "spoken": "speak", "broke": "break",
    "broken": "break", "chose": "choose", "chosen": "choose", "ate": "eat", "eaten": "eat",
    "fell": "fall", "fallen": "fall", "flew": "fly", "flown": "fly", "drew": "draw",
    "drawn": "draw", "drove": "drive", "driven": "drive", "grew": "grow", "grown": "grow",
    "hid": "hide", "hidden": "hide", "held": "hold", "lost": "lose", "meant": "mean",
    "met": "meet", "paid": "pay", "rode": "ride", "rang": "ring", "rose": "rise",
    "sang": "sing", "sung": "sing", "sat": "sit", "slept": "sleep", "sold": "sell",
    "sent": "send", "shot": "shoot", "stood": "stand", "stole": "steal", "stolen": "steal",
    "struck": "strike", "swam": "swim", "taught": "teach", "threw": "throw",
    "thrown": "throw", "understood": "understand", "woke": "wake", "wore": "wear",
    "worn": "wear", "won": "win", "children": "child", "men": "man", "women": "woman",
    "feet": "foot", "teeth": "tooth", "mice": "mouse", "built": "build", "caught": "catch",
    "fought": "fight", "heard": "hear", "led": "lead", "left": "leave", "lent": "lend",
    "sought": "seek", "spent": "spend", "bent": "bend", "dealt": "deal", "dug": "dig",
    "fed": "feed", "forgot": "forget", "forgotten": "forget", "froze": "freeze",
    "frozen": "freeze", "hung": "hang", "laid": "lay", "lit": "light", "shook": "shake",
    "shaken": "shake", "shone": "shine", "sank": "sink", "sunk": "sink", "slid": "slide",
    "spun": "spin", "stuck": "stick", "stung": "sting", "swore": "swear", "sworn": "swear",
    "swept": "sweep", "tore": "tear", "torn": "tear", "wept": "weep", "wound": "wind",
    "did": "do", "done": "do", "better": "good", "best": "good", "worse": "bad",
    "worst": "bad", "geese": "goose", "wives": "wife", "lives": "life", "knives": "knife",
    "leaves": "leaf", "wolves": "wolf", "thieves": "thief", "shelves": "shelf",
}


# Inflected forms with a meaning of their own.
KEEP_INFLECTED = set("""
news goods glasses clothes arms means savings belongings surroundings customs manners headquarters
series species physics politics economics mathematics athletics thanks congratulations
married tired interested excited surprised worried bored pleased scared used left
""".split())


def is_inflected(word, meaning, ranked_set, meaning_of, has_primary):
    """True for a plural, past or irregular form of a ranked word, and for an -ing, -er or -est
    form that means nothing but its base (bigger, running); teacher and building stay."""
    if word in KEEP_INFLECTED:
        return False
    base = IRREGULAR.get(word)
    if base in ranked_set:
        return True
    strict = word.endswith("s") or word.endswith("ed")
    for base in inflection_bases(word):
        if base not in ranked_set or base == word:
            continue
        if strict and not word.endswith("ss"):
            return True
        base_meaning = meaning_of(base)
        if meaning is None or base_meaning is None or not has_primary(word):
            return True
        if set(meaning.split("，")) & set(base_meaning.split("，")):
            return True
    return False


# --- Chinese candidates ----------------------------------------------------------------------

class ChineseSide:
    def __init__(self):
        self.jieba = inputs.jieba_dictionary()
        self.movie = inputs.chinese_movie_words()
        self.book = inputs.chinese_book_words()
        self.hsk = inputs.hsk_levels()
        self.readings = inputs.reading_frequencies()
        self.index = {}  # english -> list of candidates
        self._reading_totals = {}
        for key, count in self.readings.items():
            self._reading_totals[key[0]] = self._reading_totals.get(key[0], 0) + count
        self._build()

    def _build(self):
        for trad, simp, pinyin, senses in inputs.cedict_entries():
            if not pinyin or pinyin[0].isupper():
                continue  # names of people and places
            if not re.fullmatch(r"[\u3400-\u9fff]+", simp):
                continue
            if any(OFFENSIVE.search(s) for s in senses):
                continue
            if len(simp) == 1 and self._rare_reading(simp, pinyin):
                continue
            for sense_at, sense in enumerate(senses):
                if SKIPPED_SENSE.search(sense):
                    continue
                bound = bool(BOUND.search(sense))
                glosses = [g.strip() for g in sense.split(";")]
                for gloss_at, gloss in enumerate(glosses):
                    for english, penalty in self._readings_of(gloss):
                        self.index.setdefault(english, []).append({
                            "word": simp, "pinyin": pinyin, "sense": sense_at,
                            "gloss": gloss_at, "glosses": len(glosses), "senses": len(senses),
                            "bound": bound, "penalty": penalty,
                            "exact": len(glosses) == 1 and penalty == 0,
                        })

    @staticmethod
    def _readings_of(gloss):
        """The English words a gloss stands for, each with a penalty for how loosely."""
        penalty = 0.0
        if gloss.startswith("("):
            close = gloss.find(")")
            if close < 0:
                return []
            gloss = gloss[close + 1:].strip()
            penalty += 1.5  # "(of a person) fat": a narrowed sense
        if gloss.endswith(")") and "(" in gloss:
            gloss = gloss[:gloss.rindex("(")].strip()
            penalty += 0.5  # "name (of a person or thing)": only a note
        gloss = gloss.rstrip("!")
        if gloss.startswith("to "):
            gloss = gloss[3:]
            if gloss.startswith("be "):
                gloss = gloss[3:]  # "to be sorry"
        for article in ("a ", "an "):
            if gloss.startswith(article):
                gloss = gloss[len(article):]
        result = []
        if re.fullmatch(r"[a-z][a-z-]*[a-z]", gloss):
            result.append((gloss, penalty))
        # "to look at", "to wait for": the bare verb is what a word list asks for.
        m = re.fullmatch(r"([a-z]+) (at|for|to)", gloss)
        if m:
            result.append((m.group(1), penalty + 1.0))
        return result

    def _rare_reading(self, char, pinyin):
        """True when this reading of the character is a small share of all its readings."""
        total = self._reading_totals.get(char)
        if not total:
            return False
        count = self.readings.get(char + toned(pinyin), 0)
        return count * 10 < total

    def frequency(self, word):
        """A log-scale frequency of a Chinese word from the three sources."""
        jieba = self.jieba.get(word, (0, ""))[0]
        return (math.log10(1 + jieba) + math.log10(1 + self.movie.get(word, 0)) +
                0.5 * math.log10(1 + self.book.get(word, 0) / 1000))

    def score(self, c):
        word = c["word"]
        s = 0.5 * self.frequency(word)
        level = self.hsk.get(word)
        if level:
            s += (7 - level) * 0.6
        s -= c["sense"] * 1.3 + c["gloss"] * 0.5 + c["penalty"]
        if c["exact"]:
            s += 1.5  # 老师 means "teacher" and nothing else
        tag = self.jieba.get(word, (0, ""))[1]
        if len(word) == 1:
            # A character's later senses are mostly uses inside compounds: 是 "right", 下 "later".
            s -= 1.5 + (4.0 if c["sense"] > 0 else 0.0)
            if c["bound"] or tag in BOUND_TAGS:
                s -= 6
        elif c["bound"]:
            s -= 3
        if len(word) >= 4:
            s -= 1.5  # idioms and set phrases are long answers for a quiz
        if word not in self.jieba and word not in self.movie:
            s -= 3  # a word neither corpus knows is no word a learner needs
        return s

    def has_primary(self, english):
        """True when some usable headword has this word in its first sense."""
        return any(c["sense"] == 0 and self.score(c) >= MIN_SCORE
                   for c in self.index.get(english, []))

    def candidates(self, english):
        """Chinese meanings of an English word, best first, with their scores."""
        best = {}
        for c in self.index.get(english, []):
            sc = self.score(c)
            if c["word"] not in best or sc > best[c["word"]]:
                best[c["word"]] = sc
        return sorted(best.items(), key=lambda kv: (-kv[1], kv[0]))


# Below this score a candidate is too rare or too bound to stand as the meaning on its own.
MIN_SCORE = 2.0
# A second meaning is added when it is nearly as good as the first.
SECOND_WITHIN = 0.5


def meaning_for(chinese, english, by_hand=True):
    if by_hand and english in curated.MEANING_OVERRIDES:
        return curated.MEANING_OVERRIDES[english]
    ranked = [(w, s) for w, s in chinese.candidates(english) if s >= MIN_SCORE]
    if not ranked:
        return None
    picks = [ranked[0][0]]
    if len(ranked) > 1 and ranked[1][1] >= ranked[0][1] - SECOND_WITHIN:
        second = ranked[1][0]
        if second not in picks[0] and picks[0] not in second:
            picks.append(second)
    return "，".join(picks)


def build():
    """Returns (entries, report) where entries are (english, chinese) pairs in library order."""
    chinese = ChineseSide()
    ranking = english_ranking()
    ranked_set = set(ranking)

    meanings = {}
    cleaned = []
    for word in ranking:
        meaning = meaning_for(chinese, word)
        if is_inflected(word, meaning, ranked_set, lambda base: meaning_for(chinese, base),
                        chinese.has_primary):
            continue
        cleaned.append(word)
        if meaning:
            meanings[word] = meaning

    chosen = [w for w in cleaned if w in meanings][:TARGET_SIZE]
    chosen_set = set(chosen)
    per_letter = {}
    for w in chosen:
        per_letter[w[0]] = per_letter.get(w[0], 0) + 1
    # Thin letters get more words from further down the ranking.
    for w in cleaned:
        letter = w[0]
        if w in meanings and w not in chosen_set and per_letter.get(letter, 0) < MIN_PER_LETTER:
            chosen.append(w)
            chosen_set.add(w)
            per_letter[letter] = per_letter.get(letter, 0) + 1
    for en, ch in curated.HAND_WORDS:
        if en not in chosen_set:
            chosen.append(en)
            chosen_set.add(en)
            meanings[en] = ch
            per_letter[en[0]] = per_letter.get(en[0], 0) + 1

    coverage = {}
    for n in (1000, 3000, 5000):
        top = cleaned[:n]
        from_dictionary = sum(1 for w in top if meaning_for(chinese, w, by_hand=False))
        coverage[n] = (from_dictionary / len(top), sum(1 for w in top if w in meanings) / len(top))
    report = {"coverage": coverage, "per_letter": dict(sorted(per_letter.items())),
              "size": len(chosen)}
    return [(w, meanings[w]) for w in chosen], report
