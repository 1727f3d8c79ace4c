"""The Sound type: loading, aliases sharing sample data, updates, playback and settings."""
import array
import copy
import ctypes
import gc
import pickle
import struct
import time
import traceback
import wave

import pytest

import _capi_probe as probe
import tovara.brook.brook as brook
import tovara.sound.sound as sound_module
from tovara.brook.brook import AudioStream
from tovara.color.color import Color
from tovara.image.image import Image
from tovara.sound.sound import Sound

from test_image_pixels import RED, VIEW_SHAPES

WAV_RATE = 22050
FRAME_BYTES = 8  # a loaded sound has the device's format: two 32-bit float channels
PICKLING = "^self._raw cannot be converted to a Python object for pickling$"


@pytest.fixture(scope="module")
def audio():
    import tovara.window.window as window
    if not window.open_audio():
        pytest.skip("no audio device could be opened")
    return window


@pytest.fixture(scope="module")
def wav(audio, tmp_path_factory):
    """Writes 16-bit WAV files: wav(channels, frames) returns the file name."""
    folder = tmp_path_factory.mktemp("wav")

    def write(channels, frames):
        path = folder / f"{channels}x{frames}.wav"
        if not path.exists():
            with wave.open(str(path), "wb") as out:
                out.setnchannels(channels)
                out.setsampwidth(2)
                out.setframerate(WAV_RATE)
                out.writeframes(struct.pack(f"<{channels * frames}h", *range(channels * frames)))
        return str(path)
    return write


@pytest.fixture
def short(wav):
    return Sound.load(wav(1, 200))


def load_long(wav):
    return Sound.load(wav(1, WAV_RATE))  # a second: still playing when looked at


@pytest.fixture
def long(wav):
    return load_long(wav)


def started(sound):
    sound.play()
    time.sleep(0.02)
    return sound.playing


def traceback_names(error):
    return [entry.name for entry in traceback.extract_tb(error.__traceback__)]


def sounds_alive():
    return sum(type(o) is Sound for o in gc.get_objects())


# -- empty sounds and the type ------------------------------------------------------

@pytest.mark.parametrize("make", [lambda: Sound(), lambda: Sound(1, x=2)])
def test_calling_the_class_gives_an_empty_sound(make):
    s = make()
    assert (s.valid, s.is_alias, s.frame_count, s.stream, s.playing) == (False, False, 0, None, False)
    assert (s.volume, s.pitch, s.pan) == (0.0, 0.0, 0.0)
    s.play()
    assert s.playing is False and s.unload() is None and s.update(b"", 0) is None


def test_a_subclass_is_created_the_ordinary_way_and_loads_give_plain_sounds(tmp_path):
    class Tagged(Sound):
        def __init__(self, tag):
            self.tag = tag
    t = Tagged("t")
    assert t.tag == "t" and (t.valid, t.stream, t.volume) == (False, None, 0.0)
    assert type(Tagged.load(str(tmp_path / "none.wav"))) is Sound


def test_only_subclass_instances_have_attributes_and_they_are_collected_in_cycles():
    with pytest.raises(AttributeError, match="no __dict__"):
        Sound().me = 1
    collected = []

    class Cyclic(Sound):
        def __del__(self):
            collected.append(True)
    c = Cyclic()
    c.me = c
    assert gc.is_tracked(c)
    del c
    gc.collect()
    assert collected == [True]


def test_members_in_order():
    names = list(Sound.__dict__)
    methods = ["unload", "load", "load_alias", "update", "play", "stop", "pause", "resume"]
    properties = ["valid", "is_alias", "frame_count", "stream", "playing", "volume", "pitch", "pan"]
    for group in (methods, properties):
        assert sorted(group, key=names.index) == group
    assert Sound.load.__annotations__ == Sound.load_alias.__annotations__ == {"return": "Sound"}
    assert Sound.update.__annotations__ == {}
    assert (Sound.play.__qualname__, Sound.play.__module__) == ("Sound.play", "tovara.sound.sound")
    assert sound_module.__test__ == {}


@pytest.mark.parametrize("name", ["load", "load_alias"])
def test_static_method_wrappers_look_like_their_function(name):
    wrapper = Sound.__dict__[name]
    assert isinstance(wrapper, staticmethod) and wrapper.__func__ is getattr(Sound, name)
    # what staticmethod(function) gives: the function's name and docstring
    assert (getattr(wrapper, "__name__", None), wrapper.__doc__) == (name, wrapper.__func__.__doc__)
    assert wrapper.__doc__


@pytest.mark.parametrize("name", ["valid", "is_alias", "frame_count", "stream", "playing"])
def test_read_only_properties(short, name):
    before = getattr(short, name)
    for change in (lambda: setattr(short, name, before), lambda: delattr(short, name)):
        with pytest.raises(AttributeError, match="is not writable"):
            change()
    assert getattr(short, name) == before


# -- loading ------------------------------------------------------------------------

@pytest.mark.parametrize("channels", [1, 2])
def test_load_converts_to_the_device_format(wav, channels):
    s = Sound.load(file_name=wav(channels, 1000))
    assert (s.valid, s.is_alias, s.volume, s.pitch, s.pan) == (True, False, 1.0, 1.0, 0.0)
    assert type(s.stream) is AudioStream and s.stream is s.stream
    assert (s.stream.channels, s.stream.sample_size, s.stream.is_owner) == (2, 32, 0)
    assert s.frame_count == pytest.approx(1000 * s.stream.sample_rate / WAV_RATE, abs=1)


def test_load_of_a_missing_file_gives_an_invalid_sound(audio, tmp_path):
    s = Sound.load(str(tmp_path / "missing.wav"))
    assert (s.valid, s.frame_count, s.volume, s.pitch, s.pan) == (False, 0, 1.0, 1.0, 0.0)
    assert type(s.stream) is AudioStream and s.stream.channels == 0
    assert started(s) is False


@pytest.fixture(scope="module")
def sound_files(audio):
    """A small file of each format raylib reads sounds from, by extension."""
    from file_fuzz import sound_seeds
    files = {}
    for extension, data in sound_seeds():
        files.setdefault(extension, data)
    return files


def heard(sound):
    stream = sound.stream
    return sound.valid, sound.frame_count, stream.sample_rate, stream.sample_size, stream.channels


@pytest.mark.parametrize("extension, cut", [(".wav", None), (".ogg", None), (".mp3", None), (".qoa", None),
                                            (".WAV", None), (".Wav", None), (".xyz", None), (".ogg", 300),
                                            (".qoa", 20), (".wav", 0)])
def test_loading_from_bytes_gives_what_the_file_gives(tmp_path, sound_files, extension, cut):
    data = sound_files.get(extension.lower(), sound_files[".wav"])[:cut]
    path = tmp_path / ("file" + extension)
    path.write_bytes(data)
    from_file = Sound.load(str(path))
    if cut is None:  # raylib compares the type in lower or upper case only
        assert from_file.valid is (extension not in (".Wav", ".xyz"))
    for make in (bytes, bytearray, memoryview):  # decoded in place, or from a private copy
        from_memory = Sound.load_from_memory(extension, data=make(data))
        assert heard(from_memory) == heard(from_file) and from_memory.is_alias is False


def test_load_refuses_a_name_holding_a_nul(wav):
    with pytest.raises(ValueError, match="^embedded null character$"):
        Sound.load(wav(1, 200) + "\0.ogg")  # cut at the NUL, it names a readable file


class Text(str):
    pass


@pytest.mark.parametrize("name, error, message", [
    (b"a.wav", TypeError, "Argument 'file_name' has incorrect type (expected str, got bytes)"),
    (Text("a.wav"), TypeError, "Argument 'file_name' has incorrect type (expected str, got Text)"),
    (None, AttributeError, "'NoneType' object has no attribute 'encode'"),
    ("\udc80.wav", UnicodeEncodeError, None),
])
def test_load_checks_the_file_name(name, error, message):
    with pytest.raises(error) as raised:
        Sound.load(name)
    if message:
        assert str(raised.value) == message


@pytest.mark.parametrize("source, error, message", [
    (None, TypeError, "Argument 'source' has incorrect type (expected tovara.sound.sound.Sound, got NoneType)"),
    (5, TypeError, "Argument 'source' has incorrect type (expected tovara.sound.sound.Sound, got int)"),
    (Sound(), ValueError, "load_alias() needs a source with a sound loaded"),
])
def test_load_alias_refuses_what_holds_no_sound(source, error, message):
    with pytest.raises(error) as raised:
        Sound.load_alias(source)
    assert str(raised.value) == message


def test_load_alias_refuses_unloaded_and_missing_sounds(audio, short, tmp_path):
    short.unload()
    for source in (short, Sound.load(str(tmp_path / "none.wav"))):
        with pytest.raises(ValueError, match="^load_alias\\(\\) needs a source with a sound loaded$"):
            Sound.load_alias(source=source)


@pytest.mark.parametrize("call, message", [
    (lambda s: s.play(1), "play() takes exactly 0 positional arguments (1 given)"),
    (lambda s: s.play(x=1), "play() got an unexpected keyword argument 'x'"),
    (lambda s: s.unload(now=True), "unload() got an unexpected keyword argument 'now'"),
    (lambda s: Sound.load(), "load() takes exactly 1 positional argument (0 given)"),
    (lambda s: Sound.load_alias(s, s), "load_alias() takes exactly 1 positional argument (2 given)"),
    (lambda s: Sound.load_alias(sound=s), "load_alias() got an unexpected keyword argument 'sound'"),
    (lambda s: s.update(b""), "update() takes exactly 2 positional arguments (1 given)"),
    (lambda s: s.update(b"", 0, frame_count=0), "update() got multiple values for keyword argument 'frame_count'"),
    (lambda s: Sound.resume(), "unbound method Sound.resume() needs an argument"),
])
def test_binding_errors(call, message):
    with pytest.raises(TypeError) as error:
        call(Sound())
    assert str(error.value) == message


@pytest.mark.parametrize("failures", [1, 2])
@pytest.mark.parametrize("alias", [False, True], ids=["load", "load_alias"])
def test_a_failing_stream_view_leaves_no_sound_behind(wav, long, failures, alias, request):
    request.addfinalizer(lambda: brook._fail_cfrom_struct(0))
    source = long
    make = (lambda: Sound.load_alias(source)) if alias else (lambda: Sound.load(wav(1, 200)))
    gc.collect()
    before = sounds_alive()
    brook._fail_cfrom_struct(failures)
    for _ in range(failures):
        with pytest.raises(MemoryError) as error:
            make()
        assert "tovara.sound.sound.Sound." + ("load_alias" if alias else "load") in traceback_names(error.value)
    gc.collect()
    assert sounds_alive() == before
    made = make()
    assert made.valid and made.is_alias is alias and source.valid
    del made
    assert started(source) and source.update(bytes(FRAME_BYTES * source.frame_count), source.frame_count) is None


# -- unloading and aliases ------------------------------------------------------------

def test_unload_keeps_count_and_stream_and_is_repeatable(short):
    stream, frames = short.stream, short.frame_count
    assert short.unload() is None and short.unload() is None
    assert (short.valid, short.frame_count, short.stream) == (False, frames, stream)
    assert stream.channels == 2 and started(short) is False


def release(sounds, name, how):
    if how == "unload":
        sounds[name].unload()
    else:
        del sounds[name]
        gc.collect()


@pytest.mark.parametrize("how", ["unload", "del"])
@pytest.mark.parametrize("order", [("source", "alias"), ("alias", "source")])
def test_the_shared_data_lives_until_the_last_holder_lets_go(wav, how, order):
    source = load_long(wav)
    sounds = {"source": source, "alias": Sound.load_alias(source)}
    del source
    first, last = order
    left = sounds[last]
    assert started(left)
    gc.collect()
    alive = sounds_alive()
    release(sounds, first, how)
    assert sounds_alive() == alive - (how == "del")
    assert left.valid and left.playing  # still mixing the shared samples
    frames = left.frame_count
    left.update(array.array("f", [0.25]) * (2 * frames), frames)
    assert left.playing is False  # raylib stops a sound it updates
    assert started(left)
    left.stop()
    assert left.playing is False
    release(sounds, last, how)
    assert sounds == {} or sounds[last].valid is False


@pytest.mark.parametrize("order", [(0, 1, 2), (1, 0, 2), (2, 0, 1), (0, 2, 1)])
def test_an_alias_of_an_alias_shares_the_same_data(wav, order):
    family = [load_long(wav)]
    family[0].volume = 0.5  # an alias starts from its own defaults
    family += [Sound.load_alias(family[0])]
    family += [Sound.load_alias(family[1])]
    for alias in family[1:]:
        assert (alias.valid, alias.is_alias, alias.frame_count) == (True, True, family[0].frame_count)
        assert (alias.volume, alias.pitch, alias.pan, alias.stream.channels) == (1.0, 1.0, 0.0, 2)
    assert len({id(s.stream) for s in family}) == 3 and family[0].is_alias is False
    for index in order[:2]:
        family[index].unload()
        assert family[index].valid is False and family[index].is_alias is (index > 0)
    left = family[order[2]]
    assert started(left) and left.valid
    assert left.update(bytes(FRAME_BYTES * 10), 10) is None and left.playing is False
    family[:] = []
    gc.collect()


def test_an_alias_made_after_its_source_went_still_holds_the_data(wav):
    source = load_long(wav)
    first = Sound.load_alias(source)
    del source
    gc.collect()
    second = Sound.load_alias(first)
    del first
    gc.collect()
    assert second.valid and started(second)
    frames = second.frame_count
    assert second.update(bytes(FRAME_BYTES * frames), frames) is None and second.playing is False


# -- playback and settings -------------------------------------------------------------

def test_play_pause_resume_stop(long):
    assert long.playing is False
    assert long.play() is None and started(long)
    assert long.pause() is None and long.playing is False
    assert long.resume() is None and long.playing is True
    assert long.stop() is None and long.playing is False
    long.resume()
    assert long.playing is False  # stopping forgets where it was


@pytest.mark.parametrize("loaded", [True, False], ids=["loaded", "empty"])
@pytest.mark.parametrize("name", ["volume", "pitch", "pan"])
@pytest.mark.parametrize("value, stored", [
    (0.1, 0.10000000149011612), (2, 2.0), (True, 1.0), (-3.5, -3.5),
    (float("inf"), float("inf")), (1e-50, 0.0), (type("F", (), {"__float__": lambda self: 0.75})(), 0.75),
])
def test_settings_are_stored_as_32_bit_floats(short, loaded, name, value, stored):
    s = short if loaded else Sound()
    setattr(s, name, value)
    assert type(getattr(s, name)) is float and getattr(s, name) == stored


CENTER = 0.25 * 0.6875  # raylib's pan law at its center, for samples of 0.25


@pytest.mark.parametrize("change, left, right", [
    (lambda s: None, CENTER, CENTER),
    (lambda s: setattr(s, "pan", s.pan), CENTER, CENTER),  # writing back what it reads moves nothing
    (lambda s: setattr(s, "pan", 1), 0.0, 0.25),
    (lambda s: setattr(s, "pan", -1), 0.25, 0.0),
], ids=["as-loaded", "written-back", "right", "left"])
def test_pan_says_where_the_mixer_puts_the_sound(long, change, left, right):
    frames = long.frame_count
    long.update(array.array("f", [0.25]) * (2 * frames), frames)
    change(long)
    assert probe.mixed_peaks(0.05) == (0.0, 0.0)  # nothing else is playing
    assert started(long)
    assert probe.mixed_peaks(0.1) == pytest.approx((left, right), abs=0.005)


@pytest.mark.parametrize("name", ["volume", "pitch", "pan"])
def test_settings_refuse_deletion_and_text(short, name):
    setattr(short, name, 0.5)
    with pytest.raises(NotImplementedError, match="^__del__$"):
        delattr(short, name)
    with pytest.raises(TypeError) as error:
        setattr(short, name, "loud")
    assert f"tovara.sound.sound.Sound.{name}.__set__" in traceback_names(error.value)
    assert getattr(short, name) == 0.5


# -- update --------------------------------------------------------------------------

@pytest.mark.parametrize("make", [
    lambda n: (bytes(FRAME_BYTES * n), n),
    lambda n: (bytearray(FRAME_BYTES * n), n),
    lambda n: (memoryview(bytes(FRAME_BYTES * n)), n),
    lambda n: (array.array("f", [0.5]) * (2 * n), n),
    lambda n: ((ctypes.c_float * (2 * n))(), n),  # format "<f"
    lambda n: (bytes(16), 2.9),  # truncated to 2 frames
    lambda n: (bytes(8), True),
    lambda n: (bytes(100), 3),  # more data than the frames need
    lambda n: (b"", 0),
], ids=["bytes", "bytearray", "memoryview", "array", "ctypes", "float", "bool", "longer", "nothing"])
def test_update_reaches_raylib(long, make):
    data, frames = make(long.frame_count)
    assert started(long)
    assert long.update(data=data, frame_count=frames) is None
    assert long.playing is False  # raylib stops a sound it updates


@pytest.mark.parametrize("data, frames, error, message", [
    (5, 0, TypeError, "a bytes-like object is required, not 'int'"),
    (5, 2**31, OverflowError, "^value too large to convert to int$"),
    (b"", "1", TypeError, "^an integer is required$"),
    (memoryview(bytes(32))[::2], 1, BufferError, "not C-contiguous"),
    # read as contiguous, it ran 16 KB past the image
    (Image.generate_with_color(64, 64, Color(1, 2, 3, 4)).data_view[::-1], 2048, BufferError, "not contiguous"),
    (bytes(80), -1, ValueError, "^frame_count must not be negative, got -1$"),
    (bytes(79), 10, ValueError, r"^data holds 79 bytes, 10 frames of 8 bytes \(2 channels of 32 bits\) need 80$"),
    # samples of another type would play as garbage
    (array.array("d", [0.25] * 20), 10, TypeError,
     r"^data has item format 'd', not the sound's sample format 'f' \(32-bit float\) or bytes$"),
    (array.array("h", [0] * 40), 10, TypeError, "^data has item format 'h', not"),
    (memoryview(bytes(80)).cast("q"), 10, TypeError, "^data has item format 'q', not"),
    ((ctypes.c_float.__ctype_be__ * 20)(), 10, TypeError, "^data has item format '>f', not"),
])
def test_update_refuses_before_raylib_is_called(long, data, frames, error, message):
    assert started(long)
    with pytest.raises(error, match=message):
        long.update(data, frames)
    assert long.playing is True  # raylib would have stopped it


def test_update_refuses_more_frames_than_the_sound_has_loaded_or_not(long):
    def refused(s):
        limit = s.frame_count
        with pytest.raises(ValueError) as error:
            s.update(bytes(FRAME_BYTES * (limit + 1)), limit + 1)
        return str(error.value) == f"frame_count must be at most the sound's {limit} frames, got {limit + 1}"

    frames = long.frame_count
    assert started(long) and refused(long) and long.playing is True
    long.unload()
    assert refused(long) and refused(Sound())
    assert long.update(bytes(FRAME_BYTES * frames), frames) is None  # checked, then nothing to write


# -- pickling ---------------------------------------------------------------------------

@pytest.mark.parametrize("duplicate", [pickle.dumps, copy.copy, copy.deepcopy, lambda s: s.__setstate__(None),
                                       lambda s: s.__reduce_ex__(2)])
def test_sounds_refuse_pickling_and_copying(short, duplicate):
    for s in (short, Sound()):
        with pytest.raises(TypeError, match=PICKLING):
            duplicate(s)
    assert not hasattr(Sound, "__reduce_cython__") and not hasattr(Sound, "__setstate_cython__")
    assert sound_module.__reduce_cython__.__qualname__ == "Sound.__reduce_cython__"
    assert sound_module.__setstate_cython__.__qualname__ == "Sound.__setstate_cython__"


@pytest.mark.parametrize("consumer", ["slice assignment", "update"])
@pytest.mark.parametrize("shape", VIEW_SHAPES)
def test_the_package_consumes_every_view_shape_exactly_or_refuses_a_stepped_one(rgba_image, long, shape, consumer):
    view = VIEW_SHAPES[shape](rgba_image.data_view)
    if shape == "released image":
        rgba_image.unload()
    expected = bytes(list(view))
    target = Image.generate_with_color(8, 8, RED).data_view
    consume = {"slice assignment": lambda: target.__setitem__(slice(0, len(view)), view),
               "update": lambda: long.update(view, len(view) // FRAME_BYTES)}[consumer]
    if shape.startswith("step"):
        with pytest.raises(BufferError, match="this pixel view is not contiguous"):
            consume()
    else:
        consume()
        assert consumer == "update" or bytes(target[:len(view)]) == expected
