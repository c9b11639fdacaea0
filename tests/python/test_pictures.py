"""Pictures through Python against `trazo render` of the same drawing and size: PNG and SVG
byte for byte under each picture option, the array's pixels, the rules for files, and the
script runner's messages against the command line's."""

import io
import os
import subprocess
import warnings

import numpy as np
import pytest
from PIL import Image

import trazo

N = 400


def drawing(seed=7):
    """Columns of a random drawing of every kind, colour and line type."""
    rng = np.random.default_rng(seed)
    xy = lambda: rng.uniform(-50, 150, N)  # noqa: E731
    return {
        "lines": (xy(), xy(), xy(), xy(), rng.integers(0, 8, N), rng.integers(-1, 5, N)),
        "boxes": (xy(), xy(), xy(), xy(), rng.integers(0, 8, N), rng.integers(-1, 5, N)),
        "circles": (xy(), xy(), rng.uniform(0, 30, N), rng.integers(0, 8, N), rng.integers(-1, 5, N)),
        "arcs": (xy(), xy(), rng.uniform(0, 30, N), rng.uniform(-7, 7, N), rng.uniform(-7, 7, N),
                 rng.integers(0, 8, N), rng.integers(-1, 5, N)),
        "texts": (xy(), xy(), rng.uniform(1, 9, N), rng.uniform(-180, 180, N), rng.integers(0, 8, N)),
    }


MEMBERS = {"lines": "AddLine", "boxes": "AddBox", "circles": "AddCircle", "arcs": "AddCircle2", "texts": "AddText"}


def script_of(columns):
    """The drawing as a call script, numbers written so that they read back exactly."""
    out = []
    for kind, values in columns.items():
        for row in zip(*values):
            arguments = [repr(float(v)) if isinstance(v, np.floating) else str(int(v)) for v in row]
            text = ['"Tx"'] if kind == "texts" else []
            out.append(f'{MEMBERS[kind]} {", ".join(arguments + text)}, "tag"')
    return "\n".join(out) + "\n"


def bulk_control(columns):
    control = trazo.Trazo()
    control.add_lines(*columns["lines"], tags="tag")
    control.add_boxes(*columns["boxes"], tags="tag")
    control.add_circles(*columns["circles"], tags="tag")
    control.add_arcs(*columns["arcs"], tags="tag")
    control.add_texts(*columns["texts"], "Tx", tags="tag")
    return control


@pytest.fixture(scope="module")
def scene(tmp_path_factory):
    folder = tmp_path_factory.mktemp("scene")
    columns = drawing()
    script = folder / "drawing.trz"
    script.write_text(script_of(columns))
    return script, bulk_control(columns)


def render_command(host, script, out, size, options):
    done = subprocess.run([str(host), "render", str(script), "-o", str(out), "--size", size, *options],
                          capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    return done.stderr


OPTIONS = [  # (command-line options, the same as keywords)
    ([], {}),
    (["--background", "white", "--palette", "light"], {"background": "white", "palette": "light"}),
    (["--background", "#336699", "--line-width", "0.35mm"], {"background": "#336699", "line_width": "0.35mm"}),
    (["--line-width", "3", "--threads", "1"], {"line_width": 3, "threads": 1}),
    (["--antialias"], {"antialias": True}),
    (["--antialias", "--line-width", "2.5", "--background", "white", "--palette", "light"],
     {"antialias": True, "line_width": 2.5, "background": "white", "palette": "light"}),
]


@pytest.mark.parametrize("size", [(320, 200), (97, 161)], ids=lambda s: f"{s[0]}x{s[1]}")
@pytest.mark.parametrize("options, keywords", OPTIONS,
                         ids=["classic", "light", "mm", "wide", "antialiased", "antialiased-wide-light"])
def test_pictures_equal_trazo_render(host, scene, tmp_path, size, options, keywords):
    script, control = scene
    (tmp_path / "ref").mkdir()
    (tmp_path / "py").mkdir()
    size_text = f"{size[0]}x{size[1]}"
    for name in ("picture.png", "picture.svg"):
        render_command(host, script, tmp_path / "ref" / name, size_text, options)
        control.save(tmp_path / "py" / name, *size, **keywords)
        assert (tmp_path / "py" / name).read_bytes() == (tmp_path / "ref" / name).read_bytes(), name
    # The same drawing read by the script runner paints the same; the array holds those pixels.
    scripted = trazo.Trazo()
    trazo.run_script(script, scripted)
    out = io.BytesIO()
    scripted.save(out, *size, format="png", **keywords)
    assert out.getvalue() == (tmp_path / "ref" / "picture.png").read_bytes()
    pixels = control.render(*size, **keywords)
    expected = np.asarray(Image.open(tmp_path / "ref" / "picture.png").convert("RGBA"))
    assert pixels.shape == (size[1], size[0], 4) and pixels.dtype == np.uint8
    assert np.array_equal(pixels, expected)


def test_the_array_owns_its_pixels():
    control = trazo.Trazo()
    control.AddCircle(0, 0, 1, 3, 0, "")
    pixels = control.render(50, 40, background=(1, 2, 3))
    del control
    assert pixels.flags.c_contiguous and not pixels.flags.owndata
    assert tuple(pixels[0, 0]) == (1, 2, 3, 255)
    assert (pixels[..., 1] == 255).any()  # light green, where the circle is


def test_an_infinite_coordinate_leaves_the_rest_of_the_drawing_shown(tmp_path):
    control = trazo.Trazo()
    control.AddLine(0, 0, float("inf"), 1, 2, 0, "")  # stored; the fit passes over what is not finite
    control.AddCircle(0, 0, 1, 3, 0, "")
    with warnings.catch_warnings():
        warnings.simplefilter("error")  # no "Reflash failed" warning
        control.save(tmp_path / "p.png", 64, 48)
    pixels = control.render(64, 48, strict=True)
    assert (pixels[..., 1] == 255).any()  # the light green circle


def test_script_messages_equal_the_command_line(host, tmp_path):
    script = os.path.join(os.path.dirname(__file__), "..", "scripts", "failures.trz")
    stderr = render_command(host, script, tmp_path / "x.png", "64x48", [])
    run = trazo.run_script(script, trazo.Trazo())
    assert run.failures == [line for line in stderr.splitlines() if ": Error " in line]
    assert len(run.failures) == 3


def test_files_appear_whole_or_not_at_all(tmp_path):
    control = trazo.Trazo()
    control.AddLine(0, 0, 1, 1, 1, 0, "")
    target = tmp_path / "picture.png"
    target.write_bytes(b"old")
    os.chmod(target, 0o640)
    control.save(str(target), 30, 20)
    assert target.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n" and (target.stat().st_mode & 0o777) == 0o640
    assert sorted(p.name for p in tmp_path.iterdir()) == ["picture.png"]  # no temporary file left

    class Refusing(io.RawIOBase):
        def write(self, data):
            raise OSError("disk full")

    with pytest.raises(OSError, match="disk full"):
        control.save(Refusing(), 30, 20, format="png")
    with pytest.raises(OSError):
        control.save("/dev/full", 30, 20, format="svg")  # a device is written in place
    with pytest.raises(FileNotFoundError):
        control.save(tmp_path / "missing" / "p.png", 30, 20)
    assert sorted(p.name for p in tmp_path.iterdir()) == ["picture.png"]


BAD_OPTIONS = [  # (keywords of save, error)
    ({"format": "pdf"}, ValueError),
    ({"format": "gif"}, ValueError),
    ({"background": "no colour"}, ValueError),
    ({"background": (0, 0, 256)}, ValueError),
    ({"palette": "dark"}, ValueError),
    ({"line_width": "11mm"}, ValueError),
    ({"line_width": -1}, ValueError),
    ({"threads": 257}, ValueError),
    ({"width": 0}, ValueError),
    ({"height": 1.5}, TypeError),
]


@pytest.mark.parametrize("keywords, error", BAD_OPTIONS, ids=[str(b[0]) for b in BAD_OPTIONS])
def test_bad_picture_options_write_nothing(tmp_path, keywords, error):
    control = trazo.Trazo()
    size = {"width": 30, "height": 20}
    size.update({k: keywords.pop(k) for k in list(keywords) if k in size})
    with pytest.raises(error):
        control.save(tmp_path / "p.png", size["width"], size["height"], **keywords)
    assert list(tmp_path.iterdir()) == []


def test_notebooks_see_a_png():
    control = trazo.Trazo()
    control.AddBox(0, 0, 4, 3, 2, 0, "")
    data = control._repr_png_()
    assert Image.open(io.BytesIO(data)).size == trazo.Trazo.display_size
