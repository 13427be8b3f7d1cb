#!/usr/bin/env python3
"""Times Duplora's size total plus mirror against rsync -a --update and cp -a -u.

For each tree (see generate.py) and each repetition, the three tools take turns (the order
rotates from one repetition to the next), each on the same source and into its own empty
destination:

  full      a copy into an empty destination
  none      a run right after, with nothing changed
  touch 1%  a run after 1 % of the source files got a modification time 4 seconds later

Duplora runs as the backup run does (TotalMB := FolderSizeMB, CopiedMB := 0, MirrorFolder), on
Windows path texts: the source through a UNC share (\\\\SERVIDOR\\TAVIX\\..., a server and share
written in another case than the folders on disk, as Wine resolves them), the destination on C:.
Every tool runs as its own process: peak memory is the child's maximum resident set, system
calls are counted by `strace -c -f` in a separate, untimed run. Page cache warm for all.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import generate

TOOLS = ("Duplora", "rsync", "cp")
JOBS = ("full", "none", "touch 1%")
RECURSIVE = {"system": True, "music": False, "large": True}
FOLDER = {"system": "Sistema", "music": "Musicas", "large": "Grande"}
# Tracing a full copy of the large tree takes minutes; its calls per entry match the system tree's.
FULL_COPY_CALLS_UP_TO = 10000


class World:
    """A dosdevices root with the server share and the standby's C: drive."""

    def __init__(self, top, case):
        self.root = os.path.join(top, "dosdevices")
        self.case = case
        share = os.path.join(self.root, "unc", "servidor", "tavix")
        self.source = os.path.join(share, FOLDER[case])
        self.destination = os.path.join(self.root, "c:", "Reserva", FOLDER[case])
        os.makedirs(os.path.dirname(self.destination), exist_ok=True)

    def command(self, tool, bench):
        if tool == "rsync":
            return ["rsync", "-a", "--update", self.source + "/", self.destination + "/"]
        if tool == "cp":
            return ["cp", "-a", "-u", self.source + "/.", self.destination]
        server = "\\\\SERVIDOR\\TAVIX\\" + FOLDER[self.case]
        local = "C:\\Reserva\\" + FOLDER[self.case]
        command = [bench, "--root", self.root]
        if RECURSIVE[self.case]:
            return command + ["--recursive", server, local]
        for name in sorted(os.listdir(self.source)):  # one job per music folder
            command += [server + "\\" + name, local + "\\" + name]
        return command

    def clear_destination(self):
        shutil.rmtree(self.destination, ignore_errors=True)
        os.sync()


def spawn(command, environment, scratch):
    """Runs command as its own process; returns (seconds, peak resident MB).

    The tool starts from /usr/bin/time, a small process: a child's peak memory includes the
    image it was forked from, and this Python process would dominate it."""
    report = os.path.join(scratch, "time.txt")
    command = ["/usr/bin/time", "-f", "%M", "-o", report] + command
    start = time.perf_counter()
    completed = subprocess.run(command, env=environment, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    seconds = time.perf_counter() - start
    if completed.returncode != 0:
        sys.exit("failed (%d): %s" % (completed.returncode, " ".join(command)))
    with open(report) as f:
        return seconds, int(f.read().split()[-1]) / 1024.0


def count_calls(command, environment, scratch):
    """Total system calls of command and its children, by strace -c -f."""
    report = os.path.join(scratch, "strace.txt")
    subprocess.run(["strace", "-c", "-f", "-o", report] + command, env=environment, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(report) as f:
        for line in f:
            fields = line.split()
            if fields and fields[-1] == "total":
                return int(fields[3])
    return 0


def touch_one_percent(files):
    for path in files[::100]:
        stat = os.stat(path)
        later = stat.st_mtime_ns + 4_000_000_000
        os.utime(path, ns=(later, later))


def bench_case(case, arguments, top, environment):
    world = World(top, case)
    print("generating %s ..." % case, file=sys.stderr, flush=True)
    entries, files = generate.generate(case, world.source)
    times = {(tool, job): [] for tool in TOOLS for job in JOBS}
    memory = {tool: 0.0 for tool in TOOLS}
    tools = [tool for tool in TOOLS if tool in arguments.tools]
    for repetition in range(arguments.reps):
        order = tools[repetition % len(tools):] + tools[:repetition % len(tools)]
        for tool in order:
            print("  %s, repetition %d: %s" % (case, repetition + 1, tool), file=sys.stderr,
                  flush=True)
            command = world.command(tool, arguments.bench)
            world.clear_destination()
            for job in JOBS:
                if job == "touch 1%":
                    touch_one_percent(files)
                seconds, peak = spawn(command, environment, top)
                print("    %-8s %.3f s, %.1f MB" % (job, seconds, peak), file=sys.stderr, flush=True)
                times[(tool, job)].append(seconds)
                memory[tool] = max(memory[tool], peak)
    calls = {}
    if arguments.strace:
        for tool in tools:
            print("  %s: counting system calls of %s" % (case, tool), file=sys.stderr, flush=True)
            command = world.command(tool, arguments.bench)
            world.clear_destination()
            if entries <= FULL_COPY_CALLS_UP_TO:
                calls[(tool, "full")] = count_calls(command, environment, top)
            else:
                spawn(command, environment, top)
            calls[(tool, "none")] = count_calls(command, environment, top)
    world.clear_destination()
    shutil.rmtree(os.path.join(world.root, "unc"), ignore_errors=True)
    return entries, times, memory, calls


def table(results, tools):
    def seconds(values):
        return "%.3f" % statistics.median(values) if values else "-"

    header = ["tree", "entries", "job"] + ["%s s" % t for t in tools]
    peers = [t for t in tools if t != "Duplora"]
    if "Duplora" in tools:
        header += ["Duplora / %s" % p for p in peers]
    header += ["peak MB " + " / ".join(tools), "calls per entry " + " / ".join(tools)]
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    for case, (entries, times, memory, calls) in results.items():
        for job in JOBS:
            row = [case, str(entries), job]
            row += [seconds(times[(t, job)]) for t in tools]
            if "Duplora" in tools:
                mine = statistics.median(times[("Duplora", job)])
                row += ["%.2f" % (mine / statistics.median(times[(p, job)])) for p in peers]
            row.append(" / ".join("%.1f" % memory[t] for t in tools) if job == "full" else "")
            if (tools[0], job) in calls:
                row.append(" / ".join("%.1f" % (calls[(t, job)] / entries) for t in tools))
            else:
                row.append("")
            lines.append("| " + " | ".join(row) + " |")
    return "\n".join(lines)


def file_system_of(path):
    """The type of the file system that holds path, from /proc/mounts."""
    best, kind = "", "?"
    try:
        with open("/proc/mounts") as f:
            for line in f:
                fields = line.split()
                point = fields[1]
                inside = path == point or path.startswith(point.rstrip("/") + "/")
                if inside and len(point) > len(best):
                    best, kind = point, fields[2]
    except OSError:
        pass
    return kind


def default_location():
    """/dev/shm when it has room: the trees then live in memory, so the figures are the tools'
    own cost and not the disk's (a virtual machine's disk throttles a series of full copies)."""
    try:
        room = os.statvfs("/dev/shm")
        if room.f_bavail * room.f_frsize >= 4 << 30:
            return "/dev/shm"
    except OSError:
        pass
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bench", required=True, help="the duplora_bench program")
    parser.add_argument("--reps", type=int, default=5, help="repetitions per tool (default 5)")
    parser.add_argument("--cases", default="system,music,large",
                        help="trees to run, comma-separated (default system,music,large)")
    parser.add_argument("--tools", default=",".join(TOOLS), help="tools to run (default all)")
    parser.add_argument("--no-strace", dest="strace", action="store_false",
                        help="skip the system call counts")
    parser.add_argument("--tmp", default=None,
                        help="where the temporary trees go (default /dev/shm when it has 4 GB "
                             "free, else the system's temporary folder)")
    arguments = parser.parse_args()
    arguments.tools = arguments.tools.split(",")
    tools = [t for t in TOOLS if t in arguments.tools]

    environment = dict(os.environ, LC_ALL="C", TZ="America/Sao_Paulo")
    top = tempfile.mkdtemp(prefix="duplora-bench-", dir=arguments.tmp or default_location())
    location = "%s (%s)" % (os.path.dirname(top), file_system_of(top))
    started = time.time()
    try:
        results = {}
        for case in arguments.cases.split(","):
            results[case] = bench_case(case, arguments, top, environment)
    finally:
        shutil.rmtree(top, ignore_errors=True)
    print("\nMedian of %d runs per cell, seconds; ratio > 1: Duplora slower. Peak MB: maximum "
          "resident set of the tool's process over its runs. Calls per entry: system calls "
          "(strace -c -f) / entries of the tree; full copies traced up to %d entries. "
          "Trees in %s. TZ=America/Sao_Paulo. Took %.0f s.\n"
          % (arguments.reps, FULL_COPY_CALLS_UP_TO, location, time.time() - started))
    print(table(results, tools))


if __name__ == "__main__":
    main()
