"""The eight members through Python against the core: the golden traces of tests/scripts
played statement by statement through the Python members, and what the members take,
raise and leave behind."""

import pathlib

import pytest

import trazo

SCRIPTS = pathlib.Path(__file__).resolve().parents[1] / "scripts"
TRACE_TWIPS = (4000, 2000)  # as the golden traces were written


def play(control, calls):
    """The trace of `calls` played through the Python members, as `trazo trace` writes it."""
    out = []
    for _, member, arguments in calls:
        try:
            if member == "Reflash":
                out.append(control.trace(*TRACE_TWIPS))
            elif member == "Count":
                out.append(f"Count {control.Count}\n")
            else:
                getattr(control, member)(*arguments)
        except trazo.TrazoError as error:
            out.append(f"Error {error.member} {error.kind}\n")
    return "".join(out)


@pytest.mark.parametrize("script", sorted(SCRIPTS.glob("*.trz")), ids=lambda p: p.stem)
def test_golden_traces_through_python(script, control):
    rejected = script.with_suffix(".rejected")
    if rejected.exists():
        with pytest.raises(trazo.ScriptRejected) as error:
            trazo._read_script(script, name=script.name)
        assert "\n".join(error.value.faults) + "\n" == rejected.read_text()
        assert control.Count == 0
        return
    expected = script.with_suffix(".trace").read_text()
    assert play(control, trazo._read_script(script)) == expected
    # run_script runs the same statements through the core's own runner.
    again = trazo.Trazo()
    run = trazo.run_script(script, again)
    assert run.trace == [line for line in expected.splitlines() if line.startswith(("Count ", "Error "))]
    assert again._records() == control._records()


def test_members_take_their_parameter_names(control):
    control.AddLine(x1=0, y1=0, x2=10, y2=5, col=3, lType=2, Tag="a")
    control.AddBox(1, 2, x2=0, y2=0, col=1, lType=0, Tag="b")
    control.AddCircle(CX=0, CY=0, r=2, col=4, lType=3, Tag="c")
    control.AddCircle2(0, 0, 1, sa=0, ea=1.5, col=5, lType=0, Tag="d")
    control.AddText(TX=0, TY=0, TH=10, Tang=0, col=1, cText="ABC", Tag="e")
    assert control.Count == 8
    kinds = [record[0] for record in control._records()]
    assert kinds == [1, 1, 1, 1, 1, 2, 4, 3]
    # AddBox orders its corners: bottom, top, left, right.
    assert [r[1:5] for r in control._records()[1:5]] == [(0, 0, 1, 0), (0, 2, 1, 2), (0, 0, 0, 2), (1, 0, 1, 2)]
    with pytest.raises(TypeError):
        control.AddText(0, 0, 10, 0, 1, cText="A", Tag="", lType=1)  # AddText has no lType
    with pytest.raises(TypeError):
        control.AddLine(0, 0, 1, 1, 1, 0)  # no parameter is optional
    with pytest.raises(AttributeError):
        control.Count = 3
    assert control.Count == 8
    control.Clear()
    assert control.Count == 0 and control._extents() == (0, 0, 1, 1)


def test_failures_raise_with_the_core_status_and_keep_what_was_done(control):
    control.AddLine(0, 0, 10, 5, 3, 0, "")
    with pytest.raises(trazo.TrazoError) as error:
        control.AddText(0, 0, 1e307, 0, 1, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "box overflows")
    assert (error.value.status, error.value.kind, error.value.member, error.value.index) == (
        0x800A000B, "float", "AddText", None)
    # As in the core, the failed add stores nothing and leaves the extents.
    assert control.Count == 1 and control._extents() == (0, 0, 10, 5)
    control.Reflash()
    # A line out at infinity is stored; the fit passes over it and shows the rest.
    control.AddLine(0, 0, float("inf"), 1, 1, 0, "")
    assert control.Count == 2
    control.Reflash()
    assert control.trace(4000, 2000).splitlines()[2] == "Scale -1 5.5 11 -0.5"
    with pytest.raises(trazo.TrazoError) as error:
        trazo.Trazo().AddCircle(1e308, 0, 1e308, 1, 0, "")
    assert (error.value.status, error.value.kind) == (0x800A000B, "float")


def test_texts_keep_their_code_units(control):
    texts = ["", "ABC", "日本", "\U0001F600", "\ud800", "a\x00b"]
    for text in texts:
        control.AddText(0, 0, 1, 0, 1, text, text)
    assert [r[8] for r in control._records()] == texts
    assert [r[9] for r in control._records()] == texts
    with pytest.raises(TypeError):
        control.AddLine(0, 0, 1, 1, 1, 0, 5)


def test_bound_members_follow_the_member_table():
    """The members are bound by hand; they keep the automation table's names, parameter names
    and order (automation/member_table.hpp), and Count stays a property."""
    import re
    table = (SCRIPTS.parent.parent / "automation" / "member_table.hpp").read_text()
    params = {name: re.findall(r'\{"(\w+)", \w+\}', body)
              for name, body in re.findall(r"std::array<ParamInfo, \d+> (\w+)\{(.*?)\};", table, re.S)}
    rows = re.findall(r'member<&Trazo::\w+>\("(\w+)", dispid::\w+(?:, params::(\w+))?\)', table)
    assert len(rows) == 8
    bound = {name for name in dir(trazo.Trazo) if name[0].isupper()}
    assert bound == {name for name, _ in rows}
    for name, group in rows:
        if name == "Count":
            assert isinstance(vars(trazo._trazo.Control)["Count"], property) and not group
            continue
        signature = getattr(trazo.Trazo, name).__doc__.splitlines()[0]
        assert re.findall(r"(\w+): ", signature)[1:] == params.get(group, []), name
