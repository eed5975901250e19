#!/usr/bin/env python3
"""Reads an exchange file with Python's own csv, json and gettext modules and
prints every unit's fields, one unit a line, each field as the hexadecimal of
its UTF-8 bytes ("-" when empty), so the test can compare them with what it
wrote without parsing anything itself.

    read_with_python.py csv FILE ENCODING   every row, header included
    read_with_python.py json FILE           key, original, translation, context
    read_with_python.py mo FILE             "msgctxt\\x04msgid" and msgstr of each
                                            translated entry, lines sorted
"""
import csv
import gettext
import json
import sys


def line(fields):
    return " ".join(field.encode("utf-8").hex() or "-" for field in fields)


kind, path = sys.argv[1], sys.argv[2]
if kind == "csv":
    with open(path, encoding=sys.argv[3], newline="") as f:
        for row in csv.reader(f, strict=True):
            print(line(row))
elif kind == "json":
    with open(path, encoding="utf-8") as f:
        for unit in json.load(f):
            print(line([unit["key"], unit["original"], unit["translation"], unit["context"]]))
elif kind == "mo":
    with open(path, "rb") as f:
        catalog = gettext.GNUTranslations(f)._catalog
    for entry in sorted(line([key, value]) for key, value in catalog.items() if key):
        print(entry)
else:
    sys.exit(2)
