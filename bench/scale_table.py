"""Sets two runs of tel_bench (--figures files) side by side: each keyed figure at the smaller
and the larger directory size, and the ratio of the larger to the smaller.

Usage: scale_table.py SMALL.tsv LARGE.tsv
"""

import sys


def read(path):
    figures = {}
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            key, figure, work = line.rstrip("\n").split("\t", 2)
            figures[key] = (float(figure), work)
    return figures


def shown(key, value):
    if key == "memory":
        return f"{value:.1f} B/row"
    if key.endswith(".per-entry"):
        return f"{value:.2f} µs"
    return f"{value / 1000:.2f} s" if value >= 1000 else f"{value:.1f} ms"


def main(small_path, large_path):
    small, large = read(small_path), read(large_path)
    print("| Work (key) | Smaller | Larger | Larger/Smaller |")
    print("|---|---|---|---|")
    for key, (value, work) in small.items():
        if key not in large:
            continue
        other = large[key][0]
        ratio = other / value if value else float("nan")
        print(f"| {large[key][1]} ({key}) | {shown(key, value)} | {shown(key, other)} "
              f"| {ratio:.2f}x |")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
