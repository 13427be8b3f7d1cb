#!/usr/bin/env python3
"""Builds the trees the benchmark copies: deterministic, so every run measures the same data.

system  a playout installation: a few thousand small files in a few hundred nested folders,
        some hidden files among them (hidden files are copied; there are no hidden folders,
        which the mirror would not enter while rsync and cp would)
music   music folders (one job each, without subfolders): a few hundred files of a few MB
large   50,000 small files in nested folders
files10k, files200k  10,000 and 200,000 files of up to 1 KB in nested folders, for the peak memory

Times lie spread over the past three years, with nanoseconds, as real files have them.
"""

import argparse
import os
import random
import time

SIZES = {
    # name: (folders, files, smallest size, largest size) -- sizes drawn log-uniformly
    "system": (300, 3000, 100, 96 * 1024),
    "music": (4, 200, 1536 * 1024, 4608 * 1024),
    "large": (2500, 50000, 100, 16 * 1024),
    # Trees for the peak memory alone: many small files.
    "files10k": (500, 10000, 10, 1024),
    "files200k": (10000, 200000, 10, 1024),
}

WORDS = ("Tavix", "Sonvira", "Config", "Skins", "Relatorios", "Vinhetas", "Plugins", "Logs",
         "Grade", "Comerciais", "Modelos", "Fontes", "Idiomas", "Backup", "Scripts", "Dados")


def _times(rng, now):
    seconds = now - rng.randrange(3 * 365 * 86400)
    return seconds * 1_000_000_000 + rng.randrange(1_000_000_000)


def _folders(rng, root, count, nested):
    """`count` folder paths below root, nested up to five levels when `nested`."""
    folders = []
    for i in range(count):
        if nested and folders and rng.random() < 0.7:
            parent = rng.choice(folders)
            if parent.count(os.sep) - root.count(os.sep) >= 5:
                parent = root
        else:
            parent = root
        folders.append(os.path.join(parent, "%s %03d" % (rng.choice(WORDS), i)))
    return folders


def generate(case, root, seed=11):
    """Writes the tree of `case` under root; returns its number of entries and its files."""
    folder_count, file_count, smallest, largest = SIZES[case]
    rng = random.Random(seed)
    noise = rng.randbytes(largest + 4096)
    now = int(time.time())
    os.makedirs(root, exist_ok=True)
    if case == "music":
        folders = [os.path.join(root, "Musicas %d" % (i + 1)) for i in range(folder_count)]
    else:
        folders = _folders(rng, root, folder_count, nested=True)
    for folder in folders:
        os.makedirs(folder, exist_ok=True)
    targets = [root] + folders if case != "music" else folders
    files = []
    for i in range(file_count):
        folder = rng.choice(targets)
        if case == "music":
            name = "%04d - Artista %d - Faixa %d.mp3" % (i, rng.randrange(500), i)
        else:
            extension = rng.choice((".dll", ".ini", ".xml", ".png", ".txt", ".dat", ".exe"))
            name = "%s_%05d%s" % (rng.choice(WORDS).lower(), i, extension)
            if rng.random() < 0.02:
                name = "." + name
        path = os.path.join(folder, name)
        size = int(round(smallest * (largest / smallest) ** rng.random()))
        start = rng.randrange(4096)
        with open(path, "wb") as f:
            f.write(noise[start:start + size])
        stamp = _times(rng, now)
        os.utime(path, ns=(stamp, stamp))
        files.append(path)
    # The music jobs walk each music folder itself, so only the files are their entries.
    entries = len(files) + (0 if case == "music" else len(folders))
    return entries, files


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("case", choices=sorted(SIZES))
    parser.add_argument("root")
    arguments = parser.parse_args()
    entries, _ = generate(arguments.case, arguments.root)
    print("%d entries under %s" % (entries, arguments.root))
