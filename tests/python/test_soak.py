"""The module under hostile and long use: random arrays of every dtype, shape, stride and
value, objects that fail when converted, and many create-fill-render-delete cycles. A
rejected call raises a clear error and stores nothing; an accepted one stores exactly what
the contiguous float64 copy of its arrays stores; memory stays flat.

TRAZO_SOAK_CYCLES sets the cycles of the long test (default 300; the long run is 1000000)."""

import os

import numpy as np
import pytest

import trazo

from test_bulk_adds import state

DTYPES = [np.bool_, np.int8, np.uint8, np.int16, np.uint16, np.int32, np.uint32, np.int64, np.uint64,
          np.float16, np.float32, np.float64, np.longdouble, np.complex64, np.complex128, object, "U3", "S3",
          "datetime64[s]", "timedelta64[s]"]
VALUES = [np.nan, np.inf, -np.inf, 1e308, -1e308, np.finfo(float).max, 5e-324, -0.0, 0.0, 1.0, -7.5, 1e20]


def hostile_array(rng, dtype):
    """An array of `dtype` with special values, of a random shape and a random layout:
    contiguous, every other element, reversed, a Fortran-ordered column, or empty."""
    n = int(rng.integers(0, 40))
    with np.errstate(all="ignore"):
        values = np.array(rng.choice(VALUES, n * 2 + 2)).astype(dtype) if dtype not in ("U3", "S3") else \
            np.array([str(v)[:3] for v in rng.choice(VALUES, n * 2 + 2)], dtype=dtype)
    layout = int(rng.integers(0, 6))
    if layout == 0:
        return values[:n]
    if layout == 1:
        return values[::2][:n]  # a stride of two elements
    if layout == 2:
        return values[::-1][:n]  # a negative stride
    if layout == 3:
        return np.asfortranarray(values[: 2 * (n // 2)].reshape(2, -1))[0]  # a row of a Fortran array
    if layout == 4:
        return values[:0]
    return values.reshape(-1, 1) if n else values[:1].reshape(())  # 2-d, or a 0-d scalar


@pytest.mark.parametrize("seed", range(4))
def test_hostile_arrays_are_stored_exactly_or_rejected_whole(seed):
    rng = np.random.default_rng(seed)
    accepted = rejected = 0
    for dtype in DTYPES:
        for _ in range(12):
            column = hostile_array(rng, dtype)
            control, reference = trazo.Trazo(), trazo.Trazo()
            for c in (control, reference):
                c.AddLine(0, 0, 1, 1, 1, 0, "kept")
            before = state(control)
            try:
                control.add_lines(column, 2.5, column, -1, 3, 0)
            except (TypeError, ValueError) as error:
                rejected += 1
                assert str(error), dtype
                assert state(control) == before, (dtype, column.shape, column.strides)
                continue
            accepted += 1
            # What was stored is what the contiguous float64 copy stores.
            with np.errstate(all="ignore"):
                copy = np.ascontiguousarray(np.asarray(column).astype(np.float64))
            reference.add_lines(copy, 2.5, copy, -1, 3, 0)
            assert state(control) == state(reference), (dtype, column.shape, column.strides)
    assert accepted > 0 and rejected > 0


class Failing:
    """A value that fails when NumPy or the module converts it."""

    def __float__(self):
        raise RuntimeError("no float")

    def __index__(self):
        raise RuntimeError("no index")

    def __len__(self):
        raise RuntimeError("no length")

    def __iter__(self):
        raise RuntimeError("no items")

    def __str__(self):
        raise RuntimeError("no text")


class FailingArray:
    def __array__(self, dtype=None, copy=None):
        raise RuntimeError("no array")


FAILING = [  # (bulk add, its arguments)
    ("add_lines", (Failing(), 0, 1, 1, 1, 0)),
    ("add_lines", ([0.0, Failing()], [0.0, 1.0], 1, 1, 1, 0)),
    ("add_lines", (FailingArray(), 0, 1, 1, 1, 0)),
    ("add_lines", (0, 0, 1, 1, Failing(), 0)),
    ("add_lines", ([0, 1], 0, 1, 1, 1, 0, [Failing(), "b"])),
    ("add_circles", (0, 0, FailingArray(), 1, 0)),
    ("add_texts", ([0, 1], 0, 1, 0, 1, [Failing(), "x"])),
    ("add_texts", (0, 0, 1, 0, 1, Failing())),
]


@pytest.mark.parametrize("add, arguments", FAILING, ids=[f"{a}-{i}" for i, (a, _) in enumerate(FAILING)])
def test_values_that_fail_to_convert_store_nothing(control, add, arguments):
    control.AddLine(0, 0, 1, 1, 1, 0, "kept")
    before = state(control)
    with pytest.raises((TypeError, ValueError, RuntimeError)) as error:
        getattr(control, add)(*arguments)
    assert str(error.value)
    assert state(control) == before
    for member, call in (("AddLine", lambda: control.AddLine(Failing(), 0, 1, 1, 1, 0, "")),
                         ("AddText", lambda: control.AddText(0, 0, 1, 0, 1, Failing(), ""))):
        with pytest.raises((TypeError, RuntimeError)):
            call()
        assert state(control) == before, member


def resident_kib():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * os.sysconf("SC_PAGE_SIZE") // 1024


def test_many_create_fill_render_delete_cycles_keep_memory_flat():
    cycles = int(os.environ.get("TRAZO_SOAK_CYCLES", "300"))
    warm_up = min(100, cycles // 2)
    rng = np.random.default_rng(23)
    x = rng.normal(0, 100, 2000)
    first = None
    for cycle in range(cycles):
        control = trazo.Trazo()
        control.add_lines(x, x[::-1], x * 0.5, x, np.arange(2000) % 16, np.arange(2000) % 5, tags="soak")
        control.add_circles(x[:200], x[200:400], np.abs(x[:200]), 2, 0)
        control.add_texts(x[:50], x[50:100], 4, 30, 5, "Trazo")
        picture = control.render(160, 120, threads=1 + cycle % 3)
        if first is None:
            first = picture
        elif cycle % 50 == 0:
            assert np.array_equal(picture, first), cycle
        control.Clear()
        del control, picture
        if cycle + 1 == warm_up:
            base = resident_kib()
    end = resident_kib()
    print(f"resident after warm-up {base} KiB, after {cycles} cycles {end} KiB")
    assert end - base < 4096, (base, end)
