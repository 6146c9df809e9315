"""The .xlsx baseline: the city listing written with openpyxl in write-only mode.

Usage: openpyxl_baseline.py DIRECTORY_FILE WORKBOOK
Reads the rows first, then prints the milliseconds spent writing and saving the workbook:
the same cells as the program's export (bold headers, one text cell per value present).
"""

import sqlite3
import sys
import time

from openpyxl import Workbook
from openpyxl.cell import WriteOnlyCell
from openpyxl.styles import Font

ALL_ENTRIES = "SELECT tel, fam, ul, dom, kv FROM tel WHERE tel GLOB '?????' AND dom IS NOT NULL"
SHEET_ROWS = 1048576  # header included
HEADERS = ["Телефон", "ФИО", "Улица", "№ дома", "№ квартиры"]
WIDTHS = [10, 30, 30, 11, 14]


def main(path, workbook_path):
    with sqlite3.connect(f"file:{path}?mode=ro", uri=True) as db:
        rows = db.execute(ALL_ENTRIES).fetchall()

    start = time.perf_counter()
    book = Workbook(write_only=True)
    bold = Font(bold=True)

    def add_sheet(number):
        sheet = book.create_sheet("kalvex" if number == 1 else f"kalvex ({number})")
        for index, width in enumerate(WIDTHS):
            sheet.column_dimensions[chr(ord("A") + index)].width = width
        header = []
        for text in HEADERS:
            cell = WriteOnlyCell(sheet, value=text)
            cell.font = bold
            header.append(cell)
        sheet.append(header)
        return sheet

    # A listing longer than a sheet goes on in further sheets, as the program's does.
    per_sheet = SHEET_ROWS - 1
    for first in range(0, max(len(rows), 1), per_sheet):
        sheet = add_sheet(first // per_sheet + 1)
        for row in rows[first:first + per_sheet]:
            sheet.append(row)
    book.save(workbook_path)
    print(f"{(time.perf_counter() - start) * 1000:.1f}")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
