#!/usr/bin/env python3
"""Regenerates the code tables in data/ from the Debian data packages.

  data/iso4217.txt          active currency codes (alpha-3)
  data/iso3166-alpha3.txt   country codes: alpha-3, then alpha-2
  data/iban-lengths.txt     IBAN length per country (alpha-2)

Sources: the iso-codes package (/usr/share/iso-codes/json/iso_4217.json and
iso_3166-1.json) and the python3-stdnum package (stdnum/iban.dat, the IBAN
registry with the BBAN structure of each country; the IBAN length is the
BBAN length plus four). Each file starts with comment lines ('#') naming its
source, the package version and the date it was made; CMake compiles the
other lines into the library (src/validate/code_tables.cc.in).

Run from the repository root: scripts/make-tables.py
"""

import datetime
import json
import os
import re
import subprocess
import sys

ISO_CODES = "/usr/share/iso-codes/json"
IBAN_DAT = "/usr/lib/python3/dist-packages/stdnum/iban.dat"


def package_version(name):
    try:
        return subprocess.run(
            ["dpkg-query", "-W", "-f=${Version}", name],
            check=True, capture_output=True, text=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        sys.exit(f"make-tables: the Debian package {name} is not installed")


def write_table(path, source, package, rows):
    today = datetime.date.today().isoformat()
    with open(path, "w", encoding="ascii") as out:
        out.write(f"# Source: {source}\n")
        out.write(f"# Package: {package} {package_version(package)}, "
                  f"made {today} by scripts/make-tables.py\n")
        for row in rows:
            out.write(row + "\n")


def currencies():
    with open(os.path.join(ISO_CODES, "iso_4217.json"), encoding="utf-8") as f:
        entries = json.load(f)["4217"]
    # iso_4217.json lists the active codes; withdrawn ones are in no entry.
    return sorted({e["alpha_3"] for e in entries})


def countries():
    with open(os.path.join(ISO_CODES, "iso_3166-1.json"),
              encoding="utf-8") as f:
        entries = json.load(f)["3166-1"]
    return sorted(f'{e["alpha_3"]} {e["alpha_2"]}' for e in entries)


def bban_length(structure):
    # "4!n4!n12!c": groups of a count, '!' for a fixed length, and a class.
    groups = re.findall(r"(\d+)(!?)([nac])", structure)
    if not groups or "".join("".join(g) for g in groups) != structure:
        sys.exit(f"make-tables: unexpected BBAN structure {structure!r}")
    return sum(int(count) for count, _, _ in groups)


def iban_lengths():
    rows = []
    with open(IBAN_DAT, encoding="utf-8") as f:
        for line in f:
            match = re.match(r'^([A-Z]{2}) .*\bbban="([^"]+)"', line)
            if match:
                country, structure = match.groups()
                rows.append(f"{country} {bban_length(structure) + 4}")
    return sorted(rows)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    data = os.path.join(root, "data")
    write_table(os.path.join(data, "iso4217.txt"),
                f"{ISO_CODES}/iso_4217.json (ISO 4217 active codes)",
                "iso-codes", currencies())
    write_table(os.path.join(data, "iso3166-alpha3.txt"),
                f"{ISO_CODES}/iso_3166-1.json (ISO 3166-1 alpha-3 alpha-2)",
                "iso-codes", countries())
    write_table(os.path.join(data, "iban-lengths.txt"),
                f"{IBAN_DAT} (IBAN registry: country, IBAN length)",
                "python3-stdnum", iban_lengths())


if __name__ == "__main__":
    main()
