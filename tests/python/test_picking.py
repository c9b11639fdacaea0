"""Picking on the picture render() or save() last made: every pixel of the array finds an
entity exactly where the picture is inked, under each line width; what an entity found is
called; rectangles; and the answers on bad input."""

import io
import math

import numpy as np
import pytest

import trazo

W, H = 160, 120


def random_drawing(t, seed):
    rng = np.random.default_rng(seed)
    n = 25
    t.add_lines(rng.uniform(0, 100, n), rng.uniform(0, 80, n), rng.uniform(0, 100, n), rng.uniform(0, 80, n),
                rng.integers(1, 7, n), rng.integers(0, 4, n), tags="line")
    t.add_arcs(rng.uniform(0, 100, n), rng.uniform(0, 80, n), rng.uniform(1, 20, n), rng.uniform(-7, 7, n),
               rng.uniform(-7, 7, n), rng.integers(1, 7, n), rng.integers(0, 4, n), tags="arc")
    t.add_texts(rng.uniform(0, 100, 5), rng.uniform(0, 80, 5), 5, rng.uniform(-90, 90, 5), 3, "label", tags="text")


@pytest.mark.parametrize("line_width", [None, 3])
def test_every_pixel_picks_where_the_picture_is_inked(control, line_width):
    random_drawing(control, 3)
    pixels = control.render(W, H, line_width=line_width)
    inked = np.any(pixels[:, :, :3] != 0, axis=2)
    found = np.array([[control.entity_at(x + 0.5, y + 0.5) is not None for x in range(W)] for y in range(H)])
    assert inked.any()
    assert np.array_equal(found, inked)


def test_what_is_found_and_selected():
    t = trazo.Trazo()
    t.AddBox(0, 0, 100, 50, 4, 0, "walls")
    t.AddCircle(50, 25, 10, 2, 0, "pillar")
    t.AddText(20, 20, 5, 0, 3, "ab", "")
    t.save(io.BytesIO(), 200, 100, format="svg")  # a picture saved answers as one rendered
    box = t.entities_in(0, 0, 200, 100)
    assert [(p.index, p.kind, p.tag) for p in box] == [
        (1, "line", "walls"), (2, "line", "walls"), (3, "line", "walls"), (4, "line", "walls"),
        (5, "circle", "pillar"), (6, "text", "")]
    inside = t.entities_in(0, 0, 200, 100, inside=True)
    assert [p.index for p in inside] == [1, 2, 3, 4, 5, 6]
    # The middle of the pillar: inside its outline, not on it.
    centre = t.entities_in(99, 49, 2, 2)
    assert centre == []
    assert t.entity_at(100, 50) is None


def test_bad_input_finds_nothing(control):
    assert control.entity_at(1, 1) is None
    control.AddLine(0, 0, 10, 10, 1, 0, "diagonal")
    assert control.entity_at(1, 1, 64) is None  # no picture made yet
    assert control.entities_in(0, 0, W, H) == []
    control.render(W, H)
    assert control.entity_at(W / 2, H / 2, 64) == trazo.Picked(1, "line", "diagonal")
    for x, y in [(-1, 10), (W, 10), (math.nan, 10), (10, math.inf)]:
        assert control.entity_at(x, y, 64) is None
    for tolerance in (-1, math.nan):
        with pytest.raises(ValueError):
            control.entity_at(10, 10, tolerance)
    assert control.entities_in(math.nan, 0, 10, 10) == []
    control.Clear()
    assert control.entity_at(W / 2, H / 2, 64) is None
