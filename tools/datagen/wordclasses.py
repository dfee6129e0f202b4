"""The word-class table (data/word class.dat): part-of-speech marks of Chinese learner word lists.

The registration removes every occurrence of each key in table order, so a key that stands
inside a longer key must come after it: "pron." before "n.", "adv." before "v.", "v.t." before
"v.", "modal v." before "v.". Real learner lists write "a." for adjectives more often than
"adj.", and "ad." for adverbs.
"""

WORD_CLASSES = [
    ("modal v.", "情态动词"),
    ("phr. v.", "短语动词"),
    ("aux. v.", "助动词"),
    ("pron.", "代词"),
    ("adj.", "形容词"),
    ("adv.", "副词"),
    ("prep.", "介词"),
    ("conj.", "连词"),
    ("interj.", "感叹词"),
    ("int.", "感叹词"),
    ("excl.", "感叹词"),
    ("num.", "数词"),
    ("art.", "冠词"),
    ("det.", "限定词"),
    ("aux.", "助动词"),
    ("abbr.", "缩写"),
    ("pref.", "前缀"),
    ("suf.", "后缀"),
    ("pl.", "复数"),
    ("vt.", "及物动词"),
    ("vi.", "不及物动词"),
    ("v.t.", "及物动词"),
    ("v.i.", "不及物动词"),
    ("ad.", "副词"),
    ("n.", "名词"),
    ("v.", "动词"),
    ("a.", "形容词"),
]
