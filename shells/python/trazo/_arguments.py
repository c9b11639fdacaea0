"""The arguments of the bulk adds and the picture options, checked and converted before
anything is stored or drawn: numbers to float64, colour indexes and line types to int32
(int64 passed on as it is, its values checked to fit), texts to str, scalars broadcast over
the rows."""

import numpy as np

_INT32 = np.iinfo(np.int32)
# The widest line, in each unit, as `trazo render --line-width` takes it.
WIDEST_LINE_PIXELS = 100
WIDEST_LINE_MILLIMETRES = 10
MILLIMETRES_PER_INCH = 25.4
OUTPUT_DPI = 96
LARGEST_SIDE = 16384
MOST_THREADS = 256


def _array(name, value):
    try:
        array = np.asarray(value)
    except Exception as error:  # a ragged list, an object NumPy cannot take
        raise TypeError(f"{name}: cannot be read as an array ({error})") from None
    if array.ndim > 1:
        raise ValueError(f"{name}: expected a scalar or a one-dimensional array, got shape {array.shape}")
    return array


def _doubles(name, value):
    array = _array(name, value)
    if array.dtype.kind not in "biuf":
        raise TypeError(f"{name}: expected numbers, got values of type {array.dtype}")
    return array.astype(np.float64, copy=False)


def _integers(name, value):
    array = _array(name, value)
    if array.dtype.kind not in "biu":
        raise TypeError(f"{name}: expected integers, got values of type {array.dtype}")
    # The least and greatest values tell without an array of the rows' answers; the row is
    # only looked for once one does not fit.
    if array.size and array.dtype.itemsize >= 4 and array.dtype != np.int32 and (
            array.min() < _INT32.min or array.max() > _INT32.max):
        where = np.flatnonzero((array < _INT32.min) | (array > _INT32.max))[0] if array.ndim else None
        at = f"{name}[{where}]" if where is not None else name
        bad = array[where] if where is not None else array
        raise ValueError(f"{at} = {bad} does not fit a 32-bit signed integer")
    # int64, NumPy's own integers, is read as it is: a narrowed copy of millions of rows
    # would cost more fresh memory than the adds themselves.
    return array if array.dtype == np.int64 else array.astype(np.int32, copy=False)


def _texts(name, value, optional):
    if value is None and optional:
        return None
    if isinstance(value, str):
        return value
    if isinstance(value, np.ndarray) and value.dtype.kind == "U":
        array = value
    else:
        try:
            array = np.asarray(value, dtype=object)
        except Exception as error:
            raise TypeError(f"{name}: cannot be read as texts ({error})") from None
    if array.ndim != 1:
        raise TypeError(f"{name}: expected a str or a one-dimensional sequence of str")
    if array.dtype == object:
        for i, item in enumerate(array):
            if not isinstance(item, str):
                raise TypeError(f"{name}[{i}]: expected str, got {type(item).__name__}")
    return array


def rows(doubles=(), integers=(), texts=()):
    """(count, columns): each of (name, value) in doubles, integers and texts as an array of
    `count` rows, in that order; texts may stay None or one str for every row."""
    columns = [(name, _doubles(name, value)) for name, value in doubles]
    columns += [(name, _integers(name, value)) for name, value in integers]
    text_columns = [(name, _texts(name, value, optional)) for name, value, optional in texts]
    lengths = {name: len(a) for name, a in columns + text_columns if isinstance(a, np.ndarray) and a.ndim == 1}
    if len(set(lengths.values())) > 1:
        told = ", ".join(f"{name} {length}" for name, length in lengths.items())
        raise ValueError(f"the arrays differ in length: {told}")
    count = next(iter(lengths.values())) if lengths else 1
    out = [np.broadcast_to(a, (count,)) if a.ndim == 0 else a for _, a in columns]
    out += [a for _, a in text_columns]
    return count, out


def line_width_pixels(width):
    """A line width in device pixels at 96 dots to the inch: None or 0 for the classic one
    pixel, a number of pixels, or a text "2", "2px", "0.35mm"."""
    if width is None:
        return 0.0
    unit, widest = "px", WIDEST_LINE_PIXELS
    if isinstance(width, str):
        text = width.strip().lower()
        if text.endswith("mm"):
            unit, widest, text = "mm", WIDEST_LINE_MILLIMETRES, text[:-2]
        elif text.endswith("px"):
            text = text[:-2]
        try:
            value = float(text.strip())
        except ValueError:
            value = float("nan")
    elif isinstance(width, (int, float, np.integer, np.floating)) and not isinstance(width, bool):
        value = float(width)
        if value == 0:
            return 0.0
    else:
        raise TypeError(f"line_width: expected a number of pixels or a text such as '2px' or '0.35mm', got {width!r}")
    if not (0 < value <= widest):
        raise ValueError(f"line_width: {width!r} is not a width: device pixels (up to {WIDEST_LINE_PIXELS}, e.g. 2 or "
                         f"'2px') or millimetres (up to {WIDEST_LINE_MILLIMETRES}, e.g. '0.35mm')")
    return value * OUTPUT_DPI / MILLIMETRES_PER_INCH if unit == "mm" else value


def palette_is_light(palette):
    name = palette.lower() if isinstance(palette, str) else None
    if name not in ("classic", "light"):
        raise ValueError(f"palette: expected 'classic' or 'light', got {palette!r}")
    return name == "light"


def threads_of(threads):
    if isinstance(threads, bool) or not isinstance(threads, (int, np.integer)):
        raise TypeError(f"threads: expected a whole number, got {threads!r}")
    if not 0 <= threads <= MOST_THREADS:
        raise ValueError(f"threads: expected 0 (as many as there are cores) to {MOST_THREADS}, got {threads}")
    return int(threads)


def size_of(width, height):
    for name, value in (("width", width), ("height", height)):
        if isinstance(value, bool) or not isinstance(value, (int, np.integer)):
            raise TypeError(f"{name}: expected whole pixels, got {value!r}")
        if not 1 <= value <= LARGEST_SIDE:
            raise ValueError(f"{name}: expected 1 to {LARGEST_SIDE} pixels, got {value}")
    return int(width), int(height)
