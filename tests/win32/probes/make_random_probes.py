#!/usr/bin/env python3
"""Writes the random probe scripts from a fixed seed, so they come out the same on every run:
random_entities.trz, 2,000 entities of every kind, colour and line type, and
crowded_picture.trz, long lines and large circles enough for the picture to be drawn in
bands on threads.

    python3 make_random_probes.py      # in this folder
"""
import random

SEED = 8
WORDS = ["Trazo", "A", "xy", "WWW", "12.5", "plan", "N"]


def number(rng, low, high):
    return f"{rng.uniform(low, high):.3f}"


def angle(rng):
    # Radians anywhere within two turns either side, so negative angles and angles past a
    # turn come up as often as plain ones.
    return f"{rng.uniform(-12.6, 12.6):.4f}"


def style(rng):
    return f"{rng.randint(-1, 8)}, {rng.randint(-1, 5)}"  # col, lType: beyond the ranges too


def entity(rng):
    kind = rng.choice(["line", "line", "line", "box", "circle", "arc", "arc", "text"])
    if kind in ("line", "box"):
        name = "AddLine" if kind == "line" else "AddBox"
        return (f"{name} {number(rng, 0, 100)}, {number(rng, 0, 75)}, {number(rng, 0, 100)}, "
                f"{number(rng, 0, 75)}, {style(rng)}, \"\"")
    if kind == "circle":
        return f"AddCircle {number(rng, 0, 100)}, {number(rng, 0, 75)}, {number(rng, 0, 12)}, {style(rng)}, \"\""
    if kind == "arc":
        return (f"AddCircle2 {number(rng, 0, 100)}, {number(rng, 0, 75)}, {number(rng, 0, 12)}, "
                f"{angle(rng)}, {angle(rng)}, {style(rng)}, \"\"")
    return (f"AddText {number(rng, 0, 100)}, {number(rng, 0, 75)}, {number(rng, 0.5, 5)}, "
            f"{number(rng, -360, 720)}, {rng.randint(-1, 8)}, \"{rng.choice(WORDS)}\", \"\"")


def crowded(rng):
    # From the left edge to the right or from the bottom to the top, or a large round.
    if rng.random() < 0.8:
        if rng.random() < 0.5:
            return f"AddLine 0, {number(rng, 0, 75)}, 100, {number(rng, 0, 75)}, {style(rng)}, \"\""
        return f"AddLine {number(rng, 0, 100)}, 0, {number(rng, 0, 100)}, 75, {style(rng)}, \"\""
    return (f"AddCircle2 {number(rng, 20, 80)}, {number(rng, 20, 55)}, {number(rng, 10, 40)}, "
            f"{angle(rng)}, {angle(rng)}, {style(rng)}, \"\"")


def write(path, comment, count, make, rng):
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        out.write(f"' {comment}; made by make_random_probes.py from seed {SEED}.\n")
        for _ in range(count):
            out.write(make(rng) + "\n")
        out.write("Reflash\n")


def main():
    write("random_entities.trz", "2000 random entities", 2000, entity, random.Random(SEED))
    write("crowded_picture.trz", "3000 long lines and large arcs", 3000, crowded, random.Random(SEED))


if __name__ == "__main__":
    main()
