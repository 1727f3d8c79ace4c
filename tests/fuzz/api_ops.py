"""The Python surface under libFuzzer: api_target.cpp hands each input to run(), which reads it as a
small bytecode of operations on a table of live objects (images, pixel views, sounds) and checks
what must hold after every step. It returns a digest of every output (pixels, exported files, copies,
what a C consumer read), which must not depend on the heap's earlier contents.

An exception the package documents (TypeError, ValueError, BufferError, IndexError, OverflowError,
RuntimeError, OSError) ends the step; any other one, or a broken invariant, ends the run as a finding.
"""
import gc
import hashlib
import os
import pickle
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

import _capi_probe as probe  # noqa: E402  (the test-only module that reaches the C interfaces)
import _fuzz_consumer  # noqa: E402  (the target's own C consumer of buffers)
from file_fuzz import image_seeds, sound_seeds  # noqa: E402
from tovara.color.color import Color  # noqa: E402
from tovara.colors.colors import colors  # noqa: E402
from tovara.cursor import cursor as cursor_module  # noqa: E402
from tovara.image.image import Image  # noqa: E402
from tovara.sound.sound import Sound  # noqa: E402
from tovara.window import window  # noqa: E402

EXPECTED = (TypeError, ValueError, BufferError, IndexError, OverflowError, RuntimeError, OSError)
SLOTS = 6
FOLDER = tempfile.mkdtemp(prefix="tovara-api-fuzz-")
IMAGE_TYPES = [".png", ".bmp", ".qoi", ".gif", ".dds", ".raw", ".jpg", ""]
SOUND_TYPES = [".wav", ".ogg", ".mp3", ".qoa"]
COLOR_NAMES = sorted(name for name in dir(colors) if not name.startswith("_"))[:32]


class Input:
    """The fuzzer's bytes, read as small numbers; past the end every read is 0."""

    def __init__(self, data):
        self.data, self.at = data, 0

    def __bool__(self):
        return self.at < len(self.data)

    def byte(self):
        value = self.data[self.at] if self.at < len(self.data) else 0
        self.at += 1
        return value

    def small(self, bound):
        return self.byte() % bound

    def signed(self):
        """A size: mostly small, sometimes at an edge."""
        edges = [0, 1, 2, 3, 4, 7, 16, 33, 64, -1, -64, 1 << 15, (1 << 31) - 1, -(1 << 31), 1 << 40]
        value = self.byte()
        return edges[value % len(edges)] if value >= 0xF0 else value % 48

    def chunk(self, limit=64):
        length = self.small(limit + 1)
        piece = self.data[self.at:self.at + length]
        self.at += length
        return piece


def write_seed_files():
    files = {}
    for extension, data in list(image_seeds()) + list(sound_seeds()):
        index = len(files)
        path = os.path.join(FOLDER, f"seed{index}{extension}")
        with open(path, "wb") as file:
            file.write(data)
        files.setdefault(extension, []).append(path)
    return files


SEED_FILES = None


def setup():
    """Once per process: the audio device (miniaudio's null backend) and the seed files."""
    global SEED_FILES
    window.set_log_level(7)  # raylib's LOG_NONE: the fuzzer's output stays readable
    sys.stderr = open(os.devnull, "w")  # the destructors' printed reports (api_target.cpp restores it for a finding)
    if not window.audio_ready():
        window.open_audio()
    SEED_FILES = write_seed_files()


class Valid(Image):
    """Subclasses whose valid keeps the base's answer, raises, or touches the image."""

    __slots__ = ("mode",)

    @property
    def valid(self):
        if self.mode == 1:
            raise ValueError("valid refuses")
        if self.mode == 2:
            self.mode = self.width % 3  # the object changed while the finalizer asks
        return Image.valid.__get__(self)


class State:
    def __init__(self):
        self.images = [None] * SLOTS
        self.views = [None] * SLOTS
        self.sounds = [None] * 4
        self.digest = hashlib.sha256()

    def out(self, *parts):
        for part in parts:
            self.digest.update(repr(part).encode() if not isinstance(part, (bytes, bytearray)) else bytes(part))


def color(source):
    return Color(source.byte(), source.byte(), source.byte(), source.byte())


def image_file(source):
    """A path to load: a seed file, a mutated seed, or the fuzzer's own bytes, of some type."""
    kind = source.small(3)
    extension = IMAGE_TYPES[source.small(len(IMAGE_TYPES))]
    candidates = SEED_FILES.get(extension) or SEED_FILES[".png"]
    path = candidates[source.small(len(candidates))]
    if kind == 0:
        return path
    with open(path, "rb") as file:
        data = bytearray(file.read())
    if kind == 1 and data:
        for _ in range(source.small(4) + 1):
            data[source.byte() * 7 % len(data)] = source.byte()
    else:
        data = source.chunk(255)
    target = os.path.join(FOLDER, "input" + extension)
    with open(target, "wb") as file:
        file.write(data)
    return target


def file_bytes(state, source, path):
    """A file's bytes as a buffer of some kind, or a live pixel view (which its image may lose meanwhile)."""
    with open(path, "rb") as file:
        data = file.read()
    kind = source.small(4)
    view = state.views[source.small(SLOTS)]
    return (data, bytearray(data), memoryview(data), view if view is not None else data)[kind]


def make_image(state, source):
    how = source.small(16)
    size = [source.signed(), source.signed()]
    if how == 0:
        image = Image.load(image_file(source))
    elif how == 1:
        image, frames = Image.load_anim(image_file(source))
        state.out(frames)
        assert frames >= 0
    elif how == 2:
        image = Image.load_raw(image_file(source), *size, source.small(26), source.signed())
    elif how == 3:
        image = Image.load_from_screen()
    elif how == 4:
        image = Image.generate_with_color(*size, color(source))
    elif how == 5:
        image = Image.generate_with_linear_gradient(*size, source.signed(), color(source), color(source))
    elif how == 6:
        image = Image.generate_with_radial_gradient(*size, source.byte() / 16, color(source), color(source))
    elif how == 7:
        image = Image.generate_with_checked(*size, source.signed(), source.signed(), color(source), color(source))
    elif how == 8:
        image = Image.generate_with_perlin_noise(*size, source.signed(), source.signed(), source.byte() / 8)
    elif how == 9:
        image = Image.generate_with_cellular(*size, source.signed())
    elif how == 10:
        image = Image.generate_with_text(*size, source.chunk(16).decode("latin-1"))
    elif how == 11:
        image = Valid()
        image.mode = source.small(3)
        probe.image_fill(image, Image.generate_with_color(*size, color(source)))  # as only C can
    elif how == 12:
        path = image_file(source)
        image = Image.load_from_memory(os.path.splitext(path)[1], file_bytes(state, source, path))
    elif how == 13:
        path = image_file(source)
        image, frames = Image.load_anim_from_memory(os.path.splitext(path)[1], file_bytes(state, source, path))
        assert frames == image.frame_count or not image.valid
    elif how == 14:
        view = state.views[source.small(SLOTS)]
        data = view if view is not None and source.small(2) else bytes(source.chunk(255))
        image = Image.from_buffer(data, *size, source.small(26))
    else:
        animated = state.images[source.small(SLOTS)]
        if animated is None:
            return None
        image = animated.frame(source.signed() - 2)
    return image


def check_image(state, image):
    """What must hold of any image the package hands out."""
    if image is None:
        return
    if not Image.valid.__get__(image):
        return
    view = image.data_view
    assert len(view) > 0
    frames = image.frames_view
    assert image.frame_count >= 1 and len(image.frame_delays) == image.frame_count
    assert len(frames) == len(view) * image.frame_count and bytes(frames[:len(view)]) == bytes(view)
    state.out(image.width, image.height, image.mipmaps, image.format, image.frame_delays, bytes(frames))


def check_view(state, view):
    """Every way of reading a view agrees, and a consumer gets only what it asked to handle:
    a stepped view is refused to one that takes no strides or asks for contiguity, as memoryview does."""
    listed = bytes(list(view))
    assert bytes(view) == listed == memoryview(view).tobytes()
    contiguous = memoryview(view).c_contiguous
    for bits in range(1 << 4):
        flags = 0
        for i, bit in enumerate((0x1, 0x4, 0x8, 0x18)):
            flags |= bit if bits >> i & 1 else 0
        for contiguity in (0, 0x38, 0x58, 0x98):
            requested = flags | contiguity
            takes_strides = (requested & 0x18) == 0x18 and not contiguity
            try:
                read = _fuzz_consumer.consume(view, requested)
            except BufferError:
                assert not contiguous and not takes_strides, f"flags {requested:#x} refused"
                continue
            assert contiguous or takes_strides, f"flags {requested:#x} given a stepped view"
            assert read == listed, "a consumer read other bytes than the view holds"
    state.out(listed)


def step(state, source):
    op = source.small(16)
    slot, other = source.small(SLOTS), source.small(SLOTS)
    images, views, sounds = state.images, state.views, state.sounds
    if op <= 2:
        images[slot] = make_image(state, source)
        check_image(state, images[slot])
    elif op == 3 and images[slot] is not None:
        images[other] = images[slot].copy()
        check_image(state, images[other])
        if Image.valid.__get__(images[slot]) and images[other].valid:
            assert bytes(images[other].data_view) == bytes(images[slot].data_view), "a copy differs"
    elif op == 4 and images[slot] is not None:
        images[other] = images[slot].from_channel(source.signed())
        check_image(state, images[other])
    elif op == 5 and images[slot] is not None:
        name = os.path.join(FOLDER, "out" + IMAGE_TYPES[source.small(len(IMAGE_TYPES))])
        if os.path.exists(name):
            os.unlink(name)
        written = images[slot].export(name)
        assert written in (True, False)
        if written:
            with open(name, "rb") as file:
                state.out(file.read())
    elif op == 6 and images[slot] is not None:
        images[slot].unload()
        assert not Image.valid.__get__(images[slot])
    elif op == 7 and images[slot] is not None:
        views[other] = images[slot].frames_view if source.small(2) else images[slot].data_view
    elif op == 8 and views[slot] is not None:
        start, stop, step_ = source.signed() - 8, source.signed() - 8, source.small(7) - 3
        views[other] = views[slot][start:stop:step_ or 1]
        check_view(state, views[other])
    elif op == 9 and views[slot] is not None:
        view = views[slot]
        if len(view):
            index = source.signed() % len(view)
            view[index] = source.byte()
            assert view[index] == view[index - len(view)]
        start, stop = sorted((source.small(len(view) + 1), source.small(len(view) + 1)))
        source_view = views[other] if views[other] is not None and source.small(2) else bytes(stop - start)
        view[start:stop] = source_view
    elif op == 10 and views[slot] is not None:
        check_view(state, views[slot])
        views[slot] = None
    elif op == 11:
        extension = SOUND_TYPES[source.small(len(SOUND_TYPES))]
        candidates = SEED_FILES.get(extension) or SEED_FILES[".wav"]
        path = candidates[source.small(len(candidates))]
        if source.small(4) == 0:
            with open(path, "rb") as file:
                data = bytearray(file.read())
            for _ in range(source.small(4) + 1):
                data[source.byte() * 13 % len(data)] = source.byte()
            path = os.path.join(FOLDER, "input" + extension)
            with open(path, "wb") as file:
                file.write(data)
        sounds[slot % 4] = Sound.load_from_memory(extension, file_bytes(state, source, path)) if source.small(2) \
            else Sound.load(path)
    elif op == 12 and sounds[slot % 4] is not None:
        sounds[other % 4] = Sound.load_alias(sounds[slot % 4])
        assert sounds[other % 4].is_alias
    elif op == 13 and sounds[slot % 4] is not None:
        sound = sounds[slot % 4]
        data = views[other] if views[other] is not None and source.small(2) else bytes(source.chunk(64))
        sound.update(data, source.signed())
    elif op == 14 and sounds[slot % 4] is not None:
        sound = sounds[slot % 4]
        action = source.small(7)
        if action < 4:
            (sound.play, sound.stop, sound.pause, sound.resume)[action]()
        elif action == 4:
            sound.volume, sound.pitch, sound.pan = source.byte() / 64, source.byte() / 64, source.byte() / 128 - 1
        elif action == 5:
            sound.unload()
            assert not sound.valid and not sound.playing
        else:
            sounds[slot % 4] = None
        assert isinstance(sound.playing, bool) and isinstance(sound.valid, bool)
    elif op == 15:
        which = source.small(4)
        if which == 0:
            name = COLOR_NAMES[source.small(len(COLOR_NAMES))]
            assert isinstance(getattr(colors, name), Color)
            setattr(colors, name, color(source))
            state.out(name)
        elif which == 1:
            restored = pickle.loads(pickle.dumps(cursor_module.cursor))
            assert type(restored) is cursor_module.Cursor
        elif which == 2:
            images[slot] = None  # the last reference may go: destruction, the subclass's valid included
        else:
            gc.collect()


UNEXPECTED = []


def unraisable(report):
    """A destructor's report: the subclass's refusing valid is expected, anything else a finding."""
    if not isinstance(report.exc_value, EXPECTED):
        UNEXPECTED.append(report.exc_value)


def run(data):
    """One input; the digest of its outputs."""
    if SEED_FILES is None:
        setup()
        sys.unraisablehook = unraisable
    state = State()
    source = Input(data)
    try:
        for _ in range(64):
            if not source:
                break
            try:
                step(state, source)
            except EXPECTED:
                pass
    finally:
        # Everything goes before the next input: sounds first, as a program ends.
        state.sounds = state.views = state.images = None
        gc.collect()
    assert not UNEXPECTED, UNEXPECTED
    return state.digest.digest()
