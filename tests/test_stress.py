"""Many threads at once (without the GIL on the free-threaded interpreter), each case in its own interpreter."""
import pytest

from conftest import FREE_THREADED

HARNESS = """
import contextlib, copy, os, pickle, random, tempfile, threading, wave
from collections import Counter
import tovara.window.window as window
window.set_log_level(5)
counts = Counter()
def write_tone():
    path = os.path.join(tempfile.mkdtemp(), "tone.wav")
    with wave.open(path, "wb") as out:
        out.setnchannels(1), out.setsampwidth(2), out.setframerate(22050), out.writeframes(bytes(800))
    return path
def run(*workers, seconds=1.2):
    stop, errors = threading.Event(), []
    def loop(work):
        try:
            while not stop.is_set():
                work()
        except BaseException as error:
            errors.append(repr(error))
            stop.set()
    threads = [threading.Thread(target=loop, args=(work,)) for work in workers]
    [thread.start() for thread in threads]
    stop.wait(seconds)
    stop.set()
    [thread.join(30) for thread in threads]
    assert not errors and not any(thread.is_alive() for thread in threads), errors
    print(sorted(name for name, count in counts.items() if count))
"""

PARSING = """
import _capi_probe as probe
VALUES = range(0, 256, 3)  # everything ever stored; 255 is also the alpha of three items
lists = [[3, 6, 9] for _ in range(4)]
def mutate():
    items, k = random.choice(lists), random.choice(VALUES)
    with contextlib.suppress(IndexError):  # another thread may have emptied it
        random.choice([items.append, lambda k: items.clear(), lambda k: items.__setitem__(random.randrange(4), k),
                       lambda k: items.__setitem__(slice(None), [k] * random.randint(2, 5)),
                       lambda k: items.__setitem__(slice(-1, None), ["x"])])(k)
def parser(parse, size):
    def work():
        try:
            result = parse(random.choice(lists))
        except ValueError as error:
            assert "must have only" in str(error), error
            counts["count error"] += 1
        except TypeError:
            counts["type error"] += 1
        else:
            assert len(result) == size and all(value in VALUES for value in result), result
            counts["parsed"] += 1
    return work
run(mutate, mutate, mutate, parser(probe.parse_color, 4), parser(probe.parse_color, 4),
    parser(probe.parse_vector2, 2), parser(probe.parse_vector2, 2), parser(probe.parse_rect, 4))
"""

IMAGES = """
from tovara.color.color import Color
from tovara.image.image import Image
shared = []
def publish():  # a new image for everyone, its view taken before anyone may unload it
    k = random.randrange(256)
    image = Image.generate_with_color(16, 16, Color(k, k, k, k))
    shared[:] = [(image, image.data_view, k)]
    counts["published"] += 1
def unload():
    shared[0][0].unload()
    counts["unloaded"] += 1
def read():
    image, view, k = shared[0]
    view[random.randrange(1024)] = k
    assert bytes(view) == bytes([k]) * 1024 and view[-1] == k and image.width == 16, k
    counts["read"] += 1
def churn():
    k = random.randrange(255)
    image = Image.generate_with_color(8, 8, Color(k, 1, 2, 3))
    duplicate, view = image.copy(), image.data_view[::4]
    view[0] = k + 1
    if random.random() < 0.5:
        image.unload()
    assert view[0] == k + 1 and bytes(view[1:]) == bytes([k]) * 63 and duplicate.data_view[0] == k
    counts["churned"] += 1
publish()
run(publish, unload, unload, read, read, read, churn, churn)
"""

SOUNDS = """
from tovara.sound.sound import Sound
assert window.open_audio()
path = write_tone()
shared = []
def publish():  # a sound and two aliases, for the unloading threads only
    sound = Sound.load(path)
    shared[:] = [[sound, Sound.load_alias(sound), Sound.load_alias(sound)]]
    counts["published"] += 1
def unload():
    family = shared[0]
    for sound in random.sample(family, 3):
        sound.unload()
    assert not any(sound.valid for sound in family)
    counts["unloaded"] += 1
def play():
    sound = Sound.load(path)
    alias = Sound.load_alias(sound)
    assert sound.valid and alias.valid and alias.is_alias
    alias.play(), sound.play()
    sound.volume, alias.pitch, alias.pan = 0.5, 1.5, 0.2
    sound.pause(), sound.resume(), alias.stop()
    if random.random() < 0.5:
        sound.unload()
        assert alias.valid  # the samples stay with the alias
        alias.update(bytes(80), 10)
        alias.play()
    counts["played"] += 1
publish()
run(publish, unload, unload, unload, play, play, play)
"""

# Readers of an image (copy, a frame, export, the view) racing its unload: each takes the
# pixels in the critical section unload() lets go of them in.
READERS = """
from tovara.color.color import Color
from tovara.image.image import Image
folder = tempfile.mkdtemp()
shared = []
def publish():
    shared[:] = [Image.generate_with_color(64, 64, Color(1, 2, 3, 4))]
    counts["published"] += 1
def unload():
    shared[0].unload()
    counts["unloaded"] += 1
def read():
    image = shared[0]
    duplicate = image.copy()
    assert not duplicate.valid or bytes(duplicate.data_view[-4:]) == bytes([1, 2, 3, 4])
    with contextlib.suppress(ValueError):  # unloaded before the frame was taken
        assert bytes(image.frame(0).data_view[-4:]) == bytes([1, 2, 3, 4])
    with contextlib.suppress(ValueError):  # unloaded before the view was taken
        view = image.data_view
        image.unload()
        assert bytes(view[-8:]) == bytes([1, 2, 3, 4]) * 2  # the view keeps its pixels
    assert image.export(os.path.join(folder, f"{threading.get_ident()}.qoi")) in (True, False)
    counts["read"] += 1
publish()
run(publish, unload, unload, read, read, read, read)
"""

# Aliases made, and playing and valid read, while their source is unloaded: each
# is made or read in the source's critical section, so it never reaches freed samples.
ALIASES = """
from tovara.sound.sound import Sound
assert window.open_audio()
path = write_tone()
shared = []
def publish():
    sound = Sound.load(path)
    sound.play()
    shared[:] = [sound]
    counts["published"] += 1
def watch():
    sound = shared[0]
    assert sound.playing in (True, False) and sound.valid in (True, False)
    counts["watched"] += 1
def unload():
    shared[0].unload()
    counts["unloaded"] += 1
def alias():
    try:
        made = Sound.load_alias(shared[0])
    except ValueError:  # unloaded first
        return
    made.update(bytes(80), 10)
    made.play()
    made.stop()
    counts["aliased"] += 1
publish()
run(publish, unload, unload, alias, alias, watch, watch)
"""

CURSORS = """
from tovara.cursor.cursor import Cursor, cursor
class Marked(Cursor):
    pass
shared = Marked()
shared.mark = 0
def toggle():
    random.choice([cursor.enable, cursor.disable, Cursor().enable, Marked().disable])()
    assert cursor.enabled in (True, False)
    counts["toggled"] += 1
def mark():  # replaces the value only: pickling iterates over the same dict
    shared.mark = random.randrange(100)
def round_trip():
    again, plain = pickle.loads(pickle.dumps(shared)), copy.copy(Cursor())
    assert type(again) is Marked and list(again.__dict__) == ["mark"] and type(plain) is Cursor
    counts["round trips"] += 1
run(toggle, toggle, toggle, mark, round_trip, round_trip, round_trip)
print(cursor.enabled in (True, False))
"""


@pytest.mark.parametrize("code, summary", [
    (PARSING, "['count error', 'parsed', 'type error']"),
    (IMAGES, "['churned', 'published', 'read', 'unloaded']"),
    (SOUNDS, "['played', 'published', 'unloaded']"),
    (CURSORS, "['round trips', 'toggled']\nTrue"),
    (READERS, "['published', 'read', 'unloaded']"),
    (ALIASES, "['aliased', 'published', 'unloaded', 'watched']"),
], ids=["parser", "images", "sounds", "cursor", "image-readers", "alias-makers"])
def test_threads_leave_the_process_sound(python, code, summary):
    done = python(HARNESS + code, **({"PYTHON_GIL": "0"} if FREE_THREADED else {}))
    assert done.returncode == 0, done.stderr[-3000:]
    assert done.stdout.strip().endswith(summary), done.stdout[-2000:]
