"""The bulk adds against the same single calls in row order, on random arrays with NaN,
infinities and huge values: the same records and extents bit for bit, the same failing row
and status, the rows before it kept. And bad arguments: a clear error, nothing stored."""

import struct
import threading

import numpy as np
import pytest

import trazo

SPECIAL = [np.nan, np.inf, -np.inf, 1e308, -1e308, np.finfo(float).max, 5e-324, -0.0, 1e-300]


def numbers(rng, n, special=0.1):
    values = rng.normal(0, 100, n)
    pick = rng.random(n) < special
    values[pick] = rng.choice(SPECIAL, pick.sum())
    return values


def bits(value):
    return struct.pack("<d", value) if isinstance(value, float) else value


def state(control):
    """Records and extents, floats as their bit patterns so that NaN compares."""
    return ([tuple(bits(v) for v in record) for record in control._records()],
            tuple(bits(v) for v in control._extents()))


def one_by_one(control, member, columns):
    """The single calls of the rows in order; (row, status) of the first that fails."""
    for row, arguments in enumerate(zip(*columns)):
        try:
            getattr(control, member)(*(a.item() if isinstance(a, np.generic) else a for a in arguments))
        except trazo.TrazoError as error:
            return row, error.status
    return None


def in_bulk(control, add, columns):
    try:
        getattr(control, add)(*columns)
    except trazo.TrazoError as error:
        return error.index, error.status
    return None


KINDS = [  # (bulk add, member, count of number columns, has lType, text column)
    ("add_lines", "AddLine", 4, True, False),
    ("add_boxes", "AddBox", 4, True, False),
    ("add_circles", "AddCircle", 3, True, False),
    ("add_arcs", "AddCircle2", 5, True, False),
    ("add_texts", "AddText", 4, False, True),
]


@pytest.mark.parametrize("add, member, doubles, has_type, has_text", KINDS, ids=[k[0] for k in KINDS])
@pytest.mark.parametrize("seed", [1, 2, 3])
def test_bulk_adds_equal_single_adds(add, member, doubles, has_type, has_text, seed):
    rng = np.random.default_rng(seed)
    n = 3000
    columns = [numbers(rng, n, special=0.002 * seed) for _ in range(doubles)]
    fails = add not in ("add_lines", "add_boxes")  # lines take any value; the others can overflow
    if fails:
        columns[0][n // 2] = columns[2][n // 2] = 1e308
    columns.append(rng.integers(-3, 9, n, dtype=np.int64))  # col
    if has_type:
        columns.append(rng.integers(-1, 5, n).astype(np.int16))  # lType
    if has_text:
        columns.append(np.array(["ABC", "", "日本語", "\U0001F600x"] * (n // 4)))  # cText
    tags = [f"row {i}" for i in range(n)]
    bulk, single = trazo.Trazo(), trazo.Trazo()
    bulk.AddLine(-5, -5, 5, 5, 1, 0, "first")
    single.AddLine(-5, -5, 5, 5, 1, 0, "first")
    outcome = in_bulk(bulk, add, columns + [tags])
    assert outcome == one_by_one(single, member, columns + [tags])
    assert state(bulk) == state(single)
    if fails:
        assert outcome[0] <= n // 2 and outcome[1] == 0x800A000B
        assert bulk.Count == 1 + outcome[0]


def test_scalars_and_tags_broadcast(control):
    control.add_circles(np.arange(3.0), 0, 1, 2, 0, tags="same")
    control.add_lines(0, 0, 1, 1, 3, 1)  # all scalars: one row
    control.add_texts([0, 1], 0, 1, 0, 1, "T", tags=np.array(["a", "bb"], dtype=object))
    single = trazo.Trazo()
    for x in range(3):
        single.AddCircle(x, 0, 1, 2, 0, "same")
    single.AddLine(0, 0, 1, 1, 3, 1, "")
    single.AddText(0, 0, 1, 0, 1, "T", "a")
    single.AddText(1, 0, 1, 0, 1, "T", "bb")
    assert state(control) == state(single)
    control.add_lines([], [], [], [], 1, 0)  # no rows, nothing added
    with pytest.raises(TypeError):
        control.add_texts(0, 0, 1, 0, 1, None)  # a text is needed, not None
    assert control.Count == 6


BAD = [  # (what, arguments of add_lines, error)
    ("a 2-d array", ([[0, 1]], 0, 1, 1, 1, 0), ValueError),
    ("lengths differ", ([0, 1, 2], [0, 1], 1, 1, 1, 0), ValueError),
    ("complex numbers", ([1j], 0, 1, 1, 1, 0), TypeError),
    ("text for a number", (["1"], 0, 1, 1, 1, 0), TypeError),
    ("None among numbers", ([1.0, None], 0, 1, 1, 1, 0), TypeError),
    ("fractions for col", (0, 0, 1, 1, [1.5], 0), TypeError),
    ("col beyond 32 bits", ([0, 0], 0, 1, 1, [1, 2**31], 0), ValueError),
    ("lType beyond 32 bits", (0, 0, 1, 1, 1, np.uint32(2**32 - 1)), ValueError),
    ("a number for a tag", (0, 0, 1, 1, 1, 0, [5]), TypeError),
    ("tags of another length", ([0, 1], 0, 1, 1, 1, 0, ["a"]), ValueError),
    ("a ragged list", ([[0, 1], [2]], 0, 1, 1, 1, 0), (TypeError, ValueError)),
]


@pytest.mark.parametrize("arguments, error", [b[1:] for b in BAD], ids=[b[0] for b in BAD])
def test_bad_arguments_store_nothing(control, arguments, error):
    control.AddLine(0, 0, 1, 1, 1, 0, "kept")
    before = state(control)
    with pytest.raises(error):
        control.add_lines(*arguments)
    assert state(control) == before


def test_threads_take_turns_on_one_control(control):
    rows = 200_000
    x = np.linspace(0, 1, rows)
    workers = [threading.Thread(target=control.add_lines, args=(x, x, x, 1, 1, 0)) for _ in range(3)]
    for worker in workers:
        worker.start()
    for i in range(1000):
        control.AddLine(i, 0, i, 1, 2, 0, "")
    for worker in workers:
        worker.join()
    assert control.Count == 3 * rows + 1000
