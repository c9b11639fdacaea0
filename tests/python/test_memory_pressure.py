"""A bulk add that runs out of memory, in a child interpreter whose address space is capped
while it runs: it raises MemoryError, stores nothing of the call, and the picture drawn
with memory back is the one drawn before the call."""

import os
import pathlib
import subprocess
import sys

import trazo

CHILD = r"""
import resource
import sys

import numpy as np
import trazo

t = trazo.Trazo()
t.add_lines([0, 100, 30], [0, 50, 90], [100, 0, 60], [50, 50, 10], [1, 2, 3], [0, 1, 2], "kept")
t.add_arcs(50, 40, 20, 0.5, 4.0, 4, 0)
drawing = (t._records(), t._extents())
before = t.render(160, 120)

# Fifty million rows of one value repeated: the arrays cost nothing, their records 2 GB.
rows = 50_000_000
value = np.broadcast_to(np.float64(1.5), (rows,))
soft, hard = resource.getrlimit(resource.RLIMIT_AS)
with open("/proc/self/statm") as statm:
    in_use = int(statm.read().split()[0]) * resource.getpagesize()
resource.setrlimit(resource.RLIMIT_AS, (in_use + (256 << 20), hard))
try:
    t.add_arcs(value, value, 7.0, value, 2.0, 3, 1, "tag")
    raised = None
except MemoryError as error:
    raised = error
resource.setrlimit(resource.RLIMIT_AS, (soft, hard))

assert isinstance(raised, trazo.TrazoMemoryError), repr(raised)
assert raised.member == "AddCircle2" and 0 < raised.index < rows, (raised.member, raised.index)
assert (t._records(), t._extents()) == drawing, "the call stored something"
assert (t.render(160, 120) == before).all(), "the picture changed"
t.add_arcs(value[:1000], value[:1000], 7.0, value[:1000], 2.0, 3, 1, "tag")
assert t.Count == len(drawing[0]) + 1000
print(raised)
"""


def test_a_bulk_add_out_of_memory_stores_nothing():
    package = pathlib.Path(trazo.__file__).resolve().parents[1]
    env = dict(os.environ, PYTHONPATH=str(package))
    run = subprocess.run([sys.executable, "-c", CHILD], env=env, capture_output=True, text=True, timeout=300)
    assert run.returncode == 0, run.stderr
    assert "nothing of the call was added" in run.stdout
