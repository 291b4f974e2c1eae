#!/usr/bin/env python3
"""The reference for the export benchmark: a plain script that writes the
address table as the program's vCard export does, card for card and byte for
byte (the benchmark compares the files), and flushes its file to the disk.
It knows the rules the benchmark's records need; it is no second exporter.

    export_reference.py DATA_DIR OUT_FILE
"""

import os
import re
import sqlite3
import sys

ADDRESS = re.compile(r"^(?:(.*\S), )?(\d{3} ?\d{2}) (\S.*)$")
FIRM = re.compile(
    r"(^|[\s,])(s\.\s?r\.\s?o\.|spol\.|a\.\s?s\.|v\.\s?o\.\s?s\.|k\.\s?s\.|"
    r"o\.\s?p\.\s?s\.|z\.\s?s\.|družstvo|firma|GmbH|Ltd\.?|Inc\.?)($|[\s,])",
    re.IGNORECASE,
)


def escaped(text, compound):
    text = text.replace("\\", "\\\\").replace(",", "\\,").replace("\n", "\\n").replace("\r", "")
    return text.replace(";", "\\;") if compound else text


def folded(line):
    data = line.encode("utf-8")
    if len(data) <= 75:
        return data + b"\r\n"
    parts = []
    start, limit = 0, 75
    while len(data) - start > limit:
        end = start + limit
        while data[end] & 0xC0 == 0x80:
            end -= 1
        parts.append(data[start:end])
        start, limit = end, 74
    parts.append(data[start:])
    return b"\r\n ".join(parts) + b"\r\n"


def card(surname, first, address, phone, note):
    out = [b"BEGIN:VCARD\r\nVERSION:4.0\r\n"]
    if not first.strip() and FIRM.search(surname):
        out += [b"KIND:org\r\n", folded("FN:" + escaped(surname, False)), folded("ORG:" + escaped(surname, True))]
    else:
        name = " ".join(part.strip() for part in (first, surname) if part.strip())
        out += [folded("FN:" + escaped(name, False)),
                folded("N:" + escaped(surname, True) + ";" + escaped(first, True) + ";;;")]
    if address:
        match = ADDRESS.match(address)
        if match and address == " ".join(address.split()):
            street, code, place = match.group(1) or "", match.group(2), match.group(3)
            out.append(folded("ADR:;;" + escaped(street, True) + ";" + escaped(place, True) + ";;" +
                              escaped(code, True) + ";"))
        else:
            out.append(folded("ADR:;;" + escaped(address, True) + ";;;;"))
    if phone:
        numbers = phone.split(", ")
        if any(not n or n != n.strip() for n in numbers) or len(phone) > 30:
            numbers = [phone]
        out += [folded("TEL;VALUE=text:" + escaped(n, False)) for n in numbers]
    if note:
        out.append(folded("NOTE:" + escaped(note, False)))
    out.append(b"END:VCARD\r\n")
    return b"".join(out)


def main():
    data_dir, out_file = sys.argv[1], sys.argv[2]
    db = sqlite3.connect(os.path.join(data_dir, "Dat.DB"))
    rows = db.execute('SELECT "Příjmení", "Jméno", "Adresa", "Telefon", "Poznámka" FROM records '
                      "ORDER BY _k_primary")
    with open(out_file, "wb") as out:
        chunk = []
        size = 0
        for row in rows:
            data = card(*(value or "" for value in row))
            chunk.append(data)
            size += len(data)
            if size >= 1 << 20:
                out.write(b"".join(chunk))
                chunk, size = [], 0
        out.write(b"".join(chunk))
        out.flush()
        os.fsync(out.fileno())


if __name__ == "__main__":
    main()
