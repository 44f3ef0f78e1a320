#!/usr/bin/env python3
"""Writes the shipped track files and their index from pieces.csv.

Run it from anywhere after changing pieces.csv; the files it writes are committed, so building
the program needs no Python. Each track file has the bytes the program's own writer produces for
such a table: ten rows of length, article number and price "0,00", UTF-8, CR LF; rows the
system does not fill are empty rows of the start-up table (length "0.0", no article number).
"""

import csv
import pathlib
import re

HERE = pathlib.Path(__file__).resolve().parent
ROWS = 10
# Menu order of the gauges, and how the sources spell them.
GAUGES = ["H0", "N", "TT", "Z", "G"]
GAUGE_OF_SCALE = {"H0": "H0", "HO": "H0", "OO/H0": "H0", "N": "N", "TT": "TT", "Z": "Z", "G": "G"}


def file_name(gauge, name):
    slug = name.lower()
    for umlaut, plain in (("ä", "ae"), ("ö", "oe"), ("ü", "ue"), ("ß", "ss")):
        slug = slug.replace(umlaut, plain)
    slug = re.sub(r"[^a-z0-9]+", "-", slug).strip("-")
    return f"{gauge.lower()}-{slug}.sfr"


def main():
    systems = {}  # (gauge, name) -> [(article, length)], in the order of the file
    with open(HERE / "pieces.csv", encoding="utf-8", newline="") as f:
        for row in csv.DictReader(f, delimiter=";"):
            key = (GAUGE_OF_SCALE[row["scale"]], row["system"])
            systems.setdefault(key, []).append((row["article"], row["length_mm"]))

    for old in HERE.glob("*.sfr"):
        old.unlink()
    index = []
    for gauge in GAUGES:
        for (g, name), pieces in systems.items():
            if g != gauge:
                continue
            if not 3 <= len(pieces) <= ROWS:
                raise SystemExit(f"{name} ({gauge}): {len(pieces)} pieces")
            pieces = pieces + [("", "0.0")] * (ROWS - len(pieces))
            lines = []
            for article, length in pieces:
                lines += [length, article, "0,00"]
            target = file_name(gauge, name)
            (HERE / target).write_bytes("".join(l + "\r\n" for l in lines).encode("utf-8"))
            index.append(f"{gauge};{name};{target}")
    (HERE / "index.txt").write_bytes("".join(l + "\r\n" for l in index).encode("utf-8"))


if __name__ == "__main__":
    main()
