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

ALL_ENTRIES = "SELECT tel, fam, ul, dom, kv FROM tel WHERE tel GLOB '?????'"
HEADERS = ["Телефон", "ФИО", "Улица", "№ дома", "№ квартиры"]
WIDTHS = [10, 30, 30, 11, 14]


def main(path, workbook_path):
    with sqlite3.connect(f"file:{path}?mode=ro", uri=True) as db:
        rows = db.execute(ALL_ENTRIES).fetchall()

    start = time.perf_counter()
    book = Workbook(write_only=True)
    sheet = book.create_sheet("kalvex")
    for index, width in enumerate(WIDTHS):
        sheet.column_dimensions[chr(ord("A") + index)].width = width
    bold = Font(bold=True)
    header = []
    for text in HEADERS:
        cell = WriteOnlyCell(sheet, value=text)
        cell.font = bold
        header.append(cell)
    sheet.append(header)
    for row in rows:
        sheet.append(row)
    book.save(workbook_path)
    print(f"{(time.perf_counter() - start) * 1000:.1f}")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
