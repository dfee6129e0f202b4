"""Makes the shipped sounds: spoken characters, the think-time music, the word-chain sounds and
the WAV cues compiled into the program.

Speech comes from espeak-ng, tones and music from sox, MP3 encoding from lame. sox runs with -R
(repeatable dither) so that a rerun writes the same bytes.
"""

import os
import subprocess
import tempfile

# Spoken names of the printable ASCII characters; letters are spelled by espeak-ng itself.
CHARACTER_NAMES = {
    "!": "exclamation mark", '"': "quote", "#": "hash", "$": "dollar", "%": "percent",
    "&": "and", "'": "apostrophe", "(": "open bracket", ")": "close bracket", "*": "star",
    "+": "plus", ",": "comma", "-": "hyphen", ".": "dot", "/": "slash", ":": "colon",
    ";": "semicolon", "<": "less than", "=": "equals", ">": "greater than",
    "?": "question mark", "@": "at", "[": "open square bracket", "\\": "backslash",
    "]": "close square bracket", "^": "caret", "_": "underscore", "`": "backtick",
    "{": "open brace", "|": "bar", "}": "close brace", "~": "tilde",
    "0": "zero", "1": "one", "2": "two", "3": "three", "4": "four", "5": "five", "6": "six",
    "7": "seven", "8": "eight", "9": "nine",
}

RATE = 22050
# Spoken characters and tones: mono at a low bit rate keeps the folder small.
MP3_OPTIONS = ["--quiet", "-m", "m", "-b", "32", "--resample", "22.05"]
MUSIC_OPTIONS = ["--quiet", "-m", "m", "-b", "48", "--resample", "22.05"]


def run(args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def sox(*args):
    run(["sox", "-R", "-V1", *args])


def speak(text, wav, *, characters=False):
    markup = f'<say-as interpret-as="characters">{text}</say-as>' if characters else text
    run(["espeak-ng", "-v", "en-us", "-s", "150", "-m", "-w", wav, markup])


def encode(wav, mp3, options=MP3_OPTIONS):
    run(["lame", *options, wav, mp3])


def spoken_character(code, wav, work):
    ch = chr(code)
    if ch == " ":
        sox("-n", "-r", str(RATE), "-c", "1", "-b", "16", wav, "trim", "0", "0.25")
        return
    raw = os.path.join(work, "raw.wav")
    if ch.isalpha():
        speak(ch.lower(), raw, characters=True)
    else:
        speak(CHARACTER_NAMES[ch], raw)
    # Trim the silence espeak-ng leaves at both ends so that spelling keeps a steady pace.
    sox(raw, "-r", str(RATE), "-c", "1", "-b", "16", wav,
        "silence", "1", "0.01", "0.5%", "reverse", "silence", "1", "0.01", "0.5%", "reverse",
        "pad", "0.03", "0.05", "gain", "-n", "-1")


NOTE_FREQ = {}
for _octave in range(2, 8):
    for _i, _name in enumerate(["C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"]):
        NOTE_FREQ[f"{_name}{_octave}"] = 440.0 * 2 ** ((_octave - 4) + (_i - 9) / 12)


def melody(path, notes, *, voice="pluck", beat=0.3, rate=RATE, channels=1, bits=16,
           encoding="signed-integer", effects=(), volume=0.6):
    """Writes a WAV of notes ("C5", "E5+G5" for a chord, "-" for a rest), each one beat long
    unless given as "C5:2" (beats)."""
    with tempfile.TemporaryDirectory() as work:
        parts = []
        for i, note in enumerate(notes):
            name, _, length = note.partition(":")
            seconds = beat * float(length or 1)
            part = os.path.join(work, f"{i:04d}.wav")
            if name == "-":
                sox("-n", "-r", str(rate), "-c", "1", "-b", "16", part, "trim", "0", f"{seconds}")
            else:
                synth = []
                for n in name.split("+"):
                    synth += [voice, f"{NOTE_FREQ[n]:.2f}"]
                sox("-n", "-r", str(rate), "-c", "1", "-b", "16", part,
                    "synth", f"{seconds}", *synth, "remix", "-",
                    "fade", "q", "0.01", f"{seconds}", f"{seconds * 0.6:.3f}",
                    "vol", f"{volume}")
            parts.append(part)
        sox(*parts, "-r", str(rate), "-c", str(channels), "-b", str(bits), "-e", encoding,
            path, *effects)


def sweep(path, start, end, seconds, *, voice="sine", rate=RATE, channels=1, bits=16,
          encoding="signed-integer", volume=0.5):
    sox("-n", "-r", str(rate), "-c", str(channels), "-b", str(bits), "-e", encoding, path,
        "synth", f"{seconds}", voice, f"{start}-{end}", "fade", "q", "0.01", f"{seconds}",
        f"{seconds * 0.5:.3f}", "vol", f"{volume}")


def make_mp3s(data):
    word = os.path.join(data, "word")
    music = os.path.join(data, "music")
    os.makedirs(word, exist_ok=True)
    os.makedirs(music, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        wav = os.path.join(work, "out.wav")
        for code in range(32, 127):
            spoken_character(code, wav, work)
            encode(wav, os.path.join(word, f"{code}.mp3"))
        # The separator before each group of three letters: one soft, short tick.
        melody(wav, ["A5:1"], voice="sine", beat=0.12, volume=0.4)
        encode(wav, os.path.join(word, "0.mp3"))

        reverb = ("reverb", "40", "50", "60", "gain", "-n", "-3")
        # Think time: a slow pentatonic figure that loops without a seam, its plucks softened
        # by a low-pass filter so that it stays in the background.
        melody(wav, ["C4+G4:2", "E5", "D5", "G4:2", "A4", "C5", "E4+A4:2", "G5", "E5",
                     "D5:2", "C5", "A4", "F4+C5:2", "A4", "G4", "D5:2", "E5", "-"],
               beat=0.45, effects=("lowpass", "1800", *reverb), volume=0.45)
        encode(wav, os.path.join(music, "later.mp3"), MUSIC_OPTIONS)
        # Waiting music of the word-chain game: lighter and livelier than the think time.
        melody(wav, ["G4", "B4", "D5", "B4", "C5", "E5", "G5", "E5", "A4", "C5", "E5", "C5",
                     "D5", "F#5", "A5", "F#5", "G4", "B4", "D5", "G5:2", "-:2"],
               voice="sine", beat=0.22, effects=reverb, volume=0.4)
        encode(wav, os.path.join(data, "bandari.mp3"), MUSIC_OPTIONS)
        melody(wav, ["C5", "E5", "G5", "C6:3"], beat=0.12, effects=reverb)  # start
        encode(wav, os.path.join(data, "开始.mp3"))
        melody(wav, ["G5", "C6:2"], voice="sine", beat=0.1, effects=reverb)  # go on
        encode(wav, os.path.join(data, "接着.mp3"))
        melody(wav, ["C5", "E5", "G5", "C6", "-", "G5", "C6+E6+G6:5"],
               beat=0.13, effects=reverb)  # victory
        encode(wav, os.path.join(data, "胜利.mp3"))
        melody(wav, ["E3+A#3:2", "D#3+A3:4"], voice="square", beat=0.14,
               effects=("lowpass", "1200", "gain", "-n", "-4"), volume=0.3)  # wrong
        encode(wav, os.path.join(data, "错误.mp3"))


# The cues compiled into the program, in the formats the windows expect.
CUES = [
    # name, description
    ("newWord", "new word: two rising chime notes, mono 22050 Hz 16-bit"),
    ("correct", "correct answer: a bright major third, mono 11025 Hz 16-bit"),
    ("wrong", "wrong answer: a low falling buzz, mono 11025 Hz 8-bit"),
    ("timeUp", "think time is up: a two-tone bell, stereo 48000 Hz 16-bit"),
    ("translationStart", "translation started: a short rising blip, mono 22050 Hz 16-bit"),
    ("translationEnd", "translation done: a short falling blip, mono 22050 Hz 16-bit"),
]


def make_cues(work):
    """Returns {name: WAV bytes}."""
    paths = {name: os.path.join(work, name + ".wav") for name, _ in CUES}
    melody(paths["newWord"], ["E5", "A5:2"], voice="sine", beat=0.1, volume=0.5)
    melody(paths["correct"], ["C6", "E6:2"], voice="triangle", beat=0.09, rate=11025,
           volume=0.5)
    sweep(paths["wrong"], 220, 140, 0.3, voice="square", rate=11025, bits=8,
          encoding="unsigned-integer", volume=0.35)
    melody(paths["timeUp"], ["A5", "F5:2"], voice="sine", beat=0.12, rate=48000, channels=2,
           volume=0.5)
    sweep(paths["translationStart"], 600, 1000, 0.12)
    sweep(paths["translationEnd"], 1000, 600, 0.12)
    result = {}
    for name, path in paths.items():
        with open(path, "rb") as f:
            result[name] = f.read()
    return result
