#!/usr/bin/env python3
"""Times Duplora's backup jobs against rsync -a --update and cp -a -u.

Duplora runs each job as the backup run does (FolderMirror::MeasureAndMirror: the size total,
whose listing the mirror then walks) on Windows path texts: the source through a UNC share (\\\\SERVIDOR\\TAVIX\\...,
server and share written in another case than the folders on disk, as Wine resolves them), the
destination on C:. It runs twice over: through the real main window (TFrmPrincipal on Qt, on the
offscreen platform) and through the headless progress view, so the window's own cost shows.

For each location (memory, disk), each tree (see generate.py) and each repetition, the tools take
turns (the order rotates from one repetition to the next), each on the same source and into its
own empty destination:

  full      a copy into an empty destination
  none      a run right after, with nothing changed
  touch 1%  a run after 1 % of the source files got a modification time 4 seconds later

The tree "share" is the system tree read through a FUSE mount (bindfs) with attribute and entry
caching off, so every look-up on the source is a round trip to a daemon, as on a network share.

Times: rsync, cp and the headless program are timed as processes; the window as its run alone,
measured inside the program once the window is shown (the window stands open before a run; its
start-up is reported apart). Peak memory is each process's maximum resident set; system calls are
counted by strace -c -f and the share's look-ups by the FUSE daemon's own log, both in separate,
untimed runs. Page cache warm for all.
"""

import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import textwrap
import time

import generate

JOBS = ("full", "none", "touch 1%")
RECURSIVE = {"system": True, "music": False, "large": True, "share": True, "files10k": True,
             "files200k": True}
FOLDER = {"system": "Sistema", "music": "Musicas", "large": "Grande", "share": "Sistema",
          "files10k": "Arquivos", "files200k": "Arquivos"}
TREE = {"system": "system", "music": "music", "large": "large", "share": "system",
        "files10k": "files10k", "files200k": "files200k"}
CASES = ("system", "music", "large", "share", "files10k", "files200k")
# Trees measured for the peak memory alone (a full copy and a no-change run; no counts, not under
# Wine).
MEMORY_TREES = ("files10k", "files200k")
# Trees whose full copy is long (the large tree on disk) or only the preparation of what is
# measured (the share): each tool copies them once, into a destination of its own, and the runs
# after the copy are repeated.
COPIED_ONCE = ("large", "share") + MEMORY_TREES
FUSE_OPTIONS = "attr_timeout=0,entry_timeout=0,negative_timeout=0"
BEGIN, END = "<!-- bench results: begin -->", "<!-- bench results: end -->"
REPORT = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "docs",
                      "performance.md")


class Tool:
    """One way of running the jobs. `internal`: its time is the run it reports itself."""

    def __init__(self, name, label, internal=False):
        self.name, self.label, self.internal = name, label, internal


WINDOW = Tool("window", "Duplora window", internal=True)
HEADLESS = Tool("headless", "Duplora headless")
RSYNC = Tool("rsync", "rsync")
CP = Tool("cp", "cp")
WINE_WINDOW = Tool("wine-window", "Duplora.exe window (Wine)", internal=True)
WINE_HEADLESS = Tool("wine-headless", "Duplora.exe headless (Wine)", internal=True)
NATIVE_TOOLS = (WINDOW, HEADLESS, RSYNC, CP)


def median(values):
    return statistics.median(values) if values else None


def read_values(text):
    """The name=value lines a bench program prints."""
    values = {}
    for line in text.splitlines():
        name, sep, value = line.partition("=")
        if sep:
            try:
                values[name.strip()] = float(value)
            except ValueError:
                pass
    return values


# The Win32 file-system functions a Duplora program calls (its platform layer): what the Windows
# side counts per entry, as the Linux side counts system calls.
WIN32_FILE_CALLS = (
    "FindFirstFileA", "FindNextFileA", "FindClose", "GetFileAttributesA", "SetFileAttributesA",
    "CreateDirectoryA", "CreateFileA", "ReadFile", "WriteFile", "CloseHandle", "GetFileSizeEx",
    "GetFileType", "GetFileTime", "SetFileTime", "GetFileInformationByHandle", "CopyFileA",
    "MoveFileA", "MoveFileExA", "DeleteFileA")


class Wine:
    """Runs the Windows bench programs under Wine, in a prefix and on an X server of their own."""

    def __init__(self, build, loader):
        self.build, self.loader, self.reason = build, loader, None
        # The server of the same build as the loader: wine goes with wineserver, wine64 with
        # wineserver64.
        folder, name = os.path.split(loader)
        self.server = os.path.join(folder, name.replace("wine", "wineserver", 1))
        self.headless = os.path.join(build, "bench", "duplora_bench.exe")
        self.window = os.path.join(build, "bench", "duplora_bench_window.exe")
        self.prefix = os.path.join(build, "wineprefix-bench")
        self.xvfb = None
        self.environment = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all",
                                WINEDLLOVERRIDES="mscoree,mshtml=", LC_ALL="C",
                                TZ="America/Sao_Paulo")

    def start(self):
        """Checks that Wine runs the programs here; sets self.reason when it does not."""
        try:
            probe = subprocess.run([self.loader, "--version"], capture_output=True, text=True)
            output = (probe.stderr + probe.stdout).strip()
        except OSError as error:
            probe, output = None, str(error)
        if probe is None or probe.returncode != 0:
            self.reason = "`%s --version` fails: %s" % (self.loader, output.splitlines()[-1]
                                                         if output else "no output")
            if "Exec format error" in output:
                self.reason += (" (this machine's kernel does not run 32-bit programs, so 32-bit "
                                "Wine cannot start)")
            return False
        for program in (self.headless, self.window):
            if not os.path.exists(program):
                self.reason = "%s is not built (cmake --preset bench-win64)" % program
                return False
        if not shutil.which("Xvfb"):
            self.reason = "Xvfb is missing (the window needs an X server)"
            return False
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0",
                                      "1024x768x24", "-nolisten", "tcp"], pass_fds=(write,),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            display = f.readline().strip()
        self.environment["DISPLAY"] = ":" + display
        # Keeps one Wine server for the whole bench; creates the prefix the first time.
        os.makedirs(self.prefix, exist_ok=True)
        log_path = self.prefix + ".log"
        with open(log_path, "w") as log:  # not a pipe: Wine's services stay and hold it
            subprocess.run([self.server, "-p"], env=self.environment, stdout=log, stderr=log)
            boot = subprocess.run([self.loader, "wineboot", "-i"], env=self.environment,
                                  stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        if boot.returncode != 0:
            with open(log_path) as log:
                self.reason = "wineboot failed: %s" % log.read().strip()[-300:]
            self.stop()
            return False
        # Wine's relay trace (count_calls) logs the file functions alone.
        subprocess.run([self.loader, "reg", "add", "HKCU\\Software\\Wine\\Debug", "/v",
                        "RelayInclude", "/d", ";".join("kernel32." + f for f in WIN32_FILE_CALLS),
                        "/f"], env=self.environment, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)
        return True

    def count_calls(self, world, scratch):
        """The Win32 file-system calls that the headless program makes itself, by Wine's relay
        trace: the calls into kernel32 that return into the program's own image, of its busiest
        thread (Wine's services log theirs too)."""
        log_path = os.path.join(scratch, "relay.log")
        with open(log_path, "w") as log:
            subprocess.run(self.command(WINE_HEADLESS, world),
                           env=dict(self.environment, WINEDEBUG="+relay"),
                           stdout=subprocess.DEVNULL, stderr=log, check=True)
        by_thread = {}
        call = re.compile(r"^(\w+):Call KERNEL32\.(\w+)\(.*\) ret=0*14[0-9a-f]{7}$")
        with open(log_path, errors="replace") as log:
            for line in log:
                found = call.match(line.rstrip("\n"))
                if found and found.group(2) in WIN32_FILE_CALLS:
                    by_thread[found.group(1)] = by_thread.get(found.group(1), 0) + 1
        os.remove(log_path)
        return max(by_thread.values(), default=0)

    def stop(self):
        subprocess.run([self.server, "-k"], env=self.environment, stderr=subprocess.DEVNULL)
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait()
            self.xvfb = None

    def place(self, world):
        """The world's share and C: folder as the prefix's \\\\SERVIDOR\\TAVIX and R:."""
        devices = os.path.join(self.prefix, "dosdevices")
        links = {os.path.join(devices, "unc", "servidor", "tavix"): world.share,
                 os.path.join(devices, "r:"): os.path.join(world.root, "c:")}
        for link, target in links.items():
            os.makedirs(os.path.dirname(link), exist_ok=True)
            if os.path.lexists(link):
                os.remove(link)
            os.symlink(target, link)

    def command(self, tool, world):
        program = self.window if tool is WINE_WINDOW else self.headless
        local = "R:" + world.destination(tool)[1][2:]
        return [self.loader, program] + world.duplora_jobs(local)


class World:
    """A dosdevices root with the server share and the standby's C: drive."""

    def __init__(self, top, case):
        self.root = os.path.join(top, "dosdevices")
        self.case = case
        self.share = os.path.join(self.root, "unc", "servidor", "tavix")
        # The share case keeps the server's files apart and mounts them on the share.
        self.data = os.path.join(top, "server") if case == "share" else self.share
        self.source = os.path.join(self.share, FOLDER[case])
        os.makedirs(os.path.join(self.root, "c:", "Reserva"), exist_ok=True)
        os.makedirs(self.share, exist_ok=True)
        self.mount = None

    def destination(self, tool):
        """The tool's destination folder: (host path, Windows path). Each tool copies into an
        empty one at its turn, or keeps its own for the trees it copies once."""
        own = [tool.name] if self.case in COPIED_ONCE else []
        parts = ["Reserva"] + own + [FOLDER[self.case]]
        return os.path.join(self.root, "c:", *parts), "C:\\" + "\\".join(parts)

    def generate(self):
        return generate.generate(TREE[self.case], os.path.join(self.data, FOLDER[self.case]))

    def mount_share(self, debug_log=None):
        """Mounts the server's files on the share through bindfs, caching nothing."""
        if self.case != "share":
            return
        command = ["bindfs", "-o", FUSE_OPTIONS, self.data, self.share]
        if debug_log is None:
            subprocess.run(command, check=True)
        else:  # in the foreground, logging every request
            self.mount = subprocess.Popen(command[:1] + ["-d"] + command[1:],
                                          stdout=subprocess.DEVNULL, stderr=debug_log)
            deadline = time.time() + 10
            while not os.path.ismount(self.share):
                if time.time() > deadline or self.mount.poll() is not None:
                    sys.exit("bindfs did not mount %s" % self.share)
                time.sleep(0.05)

    def unmount_share(self):
        if self.case != "share" or not os.path.ismount(self.share):
            return
        subprocess.run(["fusermount", "-u", self.share], check=True)
        if self.mount:
            self.mount.wait()
            self.mount = None

    def duplora_jobs(self, local):
        server = "\\\\SERVIDOR\\TAVIX\\" + FOLDER[self.case]
        if RECURSIVE[self.case]:
            return ["--recursive", server, local]
        jobs = []
        for name in sorted(os.listdir(self.source)):  # one job per music folder
            jobs += [server + "\\" + name, local + "\\" + name]
        return jobs

    def command(self, tool, programs):
        destination, local = self.destination(tool)
        if tool is RSYNC:
            return ["rsync", "-a", "--update", self.source + "/", destination + "/"]
        if tool is CP:
            return ["cp", "-a", "-u", self.source + "/.", destination]
        program = programs["window" if tool is WINDOW else "headless"]
        return [program, "--root", self.root] + self.duplora_jobs(local)

    def clear_destination(self, tool):
        destination = self.destination(tool)[0]
        subprocess.run(["rm", "-rf", destination], check=True)  # faster than shutil for 50,000
        os.makedirs(os.path.dirname(destination), exist_ok=True)
        os.sync()

    def remove(self):
        self.unmount_share()
        for folder in (self.data, self.share, os.path.join(self.root, "c:", "Reserva")):
            shutil.rmtree(folder, ignore_errors=True)


def spawn(command, environment, scratch):
    """Runs command as its own process; returns (seconds, peak resident MB, printed values).

    The tool starts from /usr/bin/time, a small process: a child's peak memory includes the
    image it was forked from, and this Python process would dominate it."""
    report = os.path.join(scratch, "time.txt")
    command = ["/usr/bin/time", "-f", "%M", "-o", report] + command
    # Output into files, not pipes: a process the tool leaves behind (Wine's services) would
    # hold a pipe open.
    with open(os.path.join(scratch, "out.txt"), "w+") as out, \
            open(os.path.join(scratch, "err.txt"), "w+") as err:
        start = time.perf_counter()
        returncode = subprocess.run(command, env=environment, stdout=out, stderr=err).returncode
        seconds = time.perf_counter() - start
        out.seek(0)
        err.seek(0)
        printed, errors = out.read(), err.read()
    if returncode != 0:
        sys.exit("failed (%d): %s\n%s" % (returncode, " ".join(command), errors[-2000:]))
    with open(report) as f:
        peak = int(f.read().split()[-1]) / 1024.0
    return seconds, peak, read_values(printed)


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


def count_lookups(world, command, environment, scratch):
    """Look-ups (LOOKUP and GETATTR requests) that command makes on the share, as the FUSE
    daemon logs them."""
    log_path = os.path.join(scratch, "fuse.log")
    world.unmount_share()
    with open(log_path, "w") as log:
        world.mount_share(debug_log=log)
        subprocess.run(command, env=environment, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        world.unmount_share()
    with open(log_path) as f:
        requests = re.findall(r"opcode: (LOOKUP|GETATTR) ", f.read())
    world.mount_share()
    return len(requests)


def touch_one_percent(files):
    for path in files[::100]:
        stat = os.stat(path)
        later = stat.st_mtime_ns + 4_000_000_000
        os.utime(path, ns=(later, later))


class Results:
    """Everything measured for one tree at one location."""

    def __init__(self, entries, files):
        self.entries = entries
        self.files = files  # of them files, the others folders
        self.times = {}    # (tool name, job) -> [seconds]
        self.peak = {}     # tool name -> MB
        self.calls = {}    # (tool name, job) -> system calls
        self.lookups = {}  # tool name -> share look-ups of a no-change run
        self.extra = {}    # (tool name, job) -> [printed values]

    def median(self, tool, job):
        return median(self.times.get((tool, job), []))

    def run_median(self, tool, job):
        """The run alone, as a Duplora program measures it, without its process's start-up."""
        runs = [v["run_seconds"] for v in self.extra.get((tool, job), []) if "run_seconds" in v]
        return median(runs) if runs else self.median(tool, job)


def jobs_of(case):
    """The jobs measured, in order."""
    return ("full", "none") if case == "share" or case in MEMORY_TREES else JOBS


def repeated_jobs(case):
    return jobs_of(case)[1:] if case in COPIED_ONCE else jobs_of(case)


def job_label(case, job):
    return job + " (1 run)" if job == "full" and case in COPIED_ONCE else job


def bench_case(case, arguments, top, environment, programs, tools, wine, count_system_calls):
    world = World(top, case)
    print("generating %s ..." % case, file=sys.stderr, flush=True)
    entries, files = world.generate()
    world.mount_share()
    results = Results(entries, len(files))
    if wine:
        wine.place(world)

    def run(tool):
        if tool in (WINE_WINDOW, WINE_HEADLESS):
            return spawn(wine.command(tool, world), wine.environment, top)
        return spawn(world.command(tool, programs), environment, top)

    def measure(tool, job):
        seconds, peak, values = run(tool)
        if tool.internal:
            seconds = values["run_seconds"]
        print("    %-8s %.3f s, %.1f MB" % (job, seconds, peak), file=sys.stderr, flush=True)
        results.times.setdefault((tool.name, job), []).append(seconds)
        results.extra.setdefault((tool.name, job), []).append(values)
        results.peak[tool.name] = max(results.peak.get(tool.name, 0.0), peak)

    try:
        if case in COPIED_ONCE:
            for tool in tools:
                print("  %s: full copy of %s" % (case, tool.label), file=sys.stderr, flush=True)
                world.clear_destination(tool)
                measure(tool, "full")
        for repetition in range(arguments.reps):
            shift = repetition % len(tools)
            for tool in tools[shift:] + tools[:shift]:
                print("  %s, repetition %d: %s" % (case, repetition + 1, tool.label),
                      file=sys.stderr, flush=True)
                if case not in COPIED_ONCE:
                    world.clear_destination(tool)
                for job in repeated_jobs(case):
                    if job == "touch 1%":
                        touch_one_percent(files)
                    measure(tool, job)
        native = [tool for tool in tools if tool in NATIVE_TOOLS]
        if case == "share":
            for tool in native:  # the destinations are complete: no-change runs
                print("  share: counting look-ups of %s" % tool.label, file=sys.stderr,
                      flush=True)
                results.lookups[tool.name] = count_lookups(
                    world, world.command(tool, programs), environment, top)
        elif count_system_calls and case not in MEMORY_TREES:
            for tool in native:
                print("  %s: counting system calls of %s" % (case, tool.label), file=sys.stderr,
                      flush=True)
                command = world.command(tool, programs)
                if case not in COPIED_ONCE:  # else its destination is complete already
                    world.clear_destination(tool)
                    results.calls[(tool.name, "full")] = count_calls(command, environment, top)
                results.calls[(tool.name, "none")] = count_calls(command, environment, top)
            if wine:
                print("  %s: counting the Windows file calls of %s" % (case, WINE_HEADLESS.label),
                      file=sys.stderr, flush=True)
                if case not in COPIED_ONCE:
                    world.clear_destination(WINE_HEADLESS)
                    results.calls[(WINE_HEADLESS.name, "full")] = wine.count_calls(world, top)
                results.calls[(WINE_HEADLESS.name, "none")] = wine.count_calls(world, top)
    finally:
        world.remove()
    return results


DUPLORA = ("window", "headless", "wine-window", "wine-headless")


def ratio(results, tool, peer, job):
    """Median against median; Duplora's programs against each other run against run."""
    if tool in DUPLORA and peer in DUPLORA:
        mine, theirs = results.run_median(tool, job), results.run_median(peer, job)
    else:
        mine, theirs = results.median(tool, job), results.median(peer, job)
    if mine is None or theirs is None:
        return None
    return mine / theirs


def cell(value, digits=3):
    return "-" if value is None else "%.*f" % (digits, value)


def times_table(results_by_case, tools):
    names = [t.name for t in tools]
    pairs = [(a, b) for a, b in (("window", "headless"), ("window", "rsync"), ("window", "cp"),
                                 ("headless", "rsync"), ("headless", "cp"))
             if a in names and b in names]
    label = {t.name: t.label.replace("Duplora ", "") for t in tools}
    header = ["tree", "entries", "job"] + ["%s s" % t.label for t in tools]
    header += ["%s / %s" % (label[a], label[b]) for a, b in pairs]
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    for case, results in results_by_case.items():
        for job in jobs_of(case):
            row = [case, "{:,}".format(results.entries), job_label(case, job)]
            row += [cell(results.median(t.name, job)) for t in tools]
            row += [cell(ratio(results, a, b, job), 2) for a, b in pairs]
            lines.append("| " + " | ".join(row) + " |")
    return "\n".join(lines)


def resources_table(results_by_case, tools):
    names = " / ".join(t.label.replace("Duplora ", "") for t in tools)
    header = ["tree", "peak MB " + names, "calls per entry, full: " + names,
              "calls per entry, none: " + names, "calls per copied file: " + names,
              "window paints per entry, none: labels / bar"]
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    for case, results in results_by_case.items():
        row = [case, " / ".join(cell(results.peak.get(t.name), 1) for t in tools)]
        for job in ("full", "none"):
            if all((t.name, job) in results.calls for t in tools):
                row.append(" / ".join("%.1f" % (results.calls[(t.name, job)] / results.entries)
                                      for t in tools))
            else:
                row.append("")
        # What copying costs a file: the full copy's calls less the no-change run's (the walks,
        # the look-ups), over the files copied.
        if all((t.name, job) in results.calls for t in tools for job in ("full", "none")):
            row.append(" / ".join("%.1f" % ((results.calls[(t.name, "full")] -
                                              results.calls[(t.name, "none")]) / results.files)
                                  for t in tools))
        else:
            row.append("")
        paints = results.extra.get(("window", "none"))
        if paints:
            labels = median([v["paints_lblProgresso"] + v["paints_lblDestino"] for v in paints])
            bar = median([v["paints_cxProgressBar1"] for v in paints])
            row.append("%.4f / %.4f" % (labels / results.entries, bar / results.entries))
        else:
            row.append("")
        lines.append("| " + " | ".join(row) + " |")
    return "\n".join(lines)


GOALS = (
    # (what, tree, job, tool, peer, limit, disk only)
    ("no-change run over the large tree with the real window, against rsync -a --update",
     "large", "none", "window", "rsync", 1.0, False),
    ("the same against cp -a -u", "large", "none", "window", "cp", 1.2, False),
    ("the same, the window's run against the headless run", "large", "none", "window",
     "headless", 1.2, False),
    ("full copy of the music folders with the real window, against cp -a", "music", "full",
     "window", "cp", 1.15, True),
    ("no-change run over the uncached share with the real window, against rsync", "share",
     "none", "window", "rsync", 1.0, False),
)
# (what, tree, count: "lookups" or "calls", limit), per entry of a no-change run of the window
COUNT_GOALS = (
    ("look-ups per entry reaching the share's daemon", "share", "lookups", 3.0),
    ("system calls per entry over the large tree", "large", "calls", 3.5),
)


def goal_lines(results_by_case, on_disk):
    lines = []
    for what, case, job, tool, peer, limit, disk_only in GOALS:
        if disk_only and not on_disk:
            continue
        results = results_by_case.get(case)
        value = ratio(results, tool, peer, job) if results else None
        if value is None:
            lines.append("- %s: not measured (tree %s or a tool not run)" % (what, case))
        else:
            lines.append("- %s: %.2f (goal ≤ %.2f): **%s**"
                         % (what, value, limit, "met" if value <= limit else "missed"))
    for what, case, count, limit in COUNT_GOALS:
        results = results_by_case.get(case)
        counted = None
        if results and count == "lookups":
            counted = results.lookups.get("window")
        elif results:
            counted = results.calls.get(("window", "none"))
        if counted is None:
            lines.append("- %s: not counted here (tree %s)" % (what, case))
        else:
            value = counted / results.entries
            lines.append("- %s: %.3f (goal ≤ %.2f): **%s**"
                         % (what, value, limit, "met" if value <= limit else "missed"))
    peaks = []
    for case in MEMORY_TREES:
        results = results_by_case.get(case)
        if results:
            peaks.append("%s files: %s" % ("{:,}".format(generate.SIZES[case][1]), ", ".join(
                "%s %.1f MB" % (name, results.peak[tool]) for tool, name in
                (("window", "window"), ("headless", "headless"), ("rsync", "rsync"),
                 ("cp", "cp")) if tool in results.peak)))
    if peaks:
        lines.append("- peak memory (the kept listing is bounded at 32 MiB): " + "; ".join(peaks))
    return lines


def share_lines(results_by_case, tools):
    results = results_by_case.get("share")
    if not results or not results.lookups:
        return []
    parts = ["%s %.2f" % (t.label, results.lookups[t.name] / results.entries)
             for t in tools if t.name in results.lookups]
    return ["Look-ups on the share per entry in a no-change run (LOOKUP and GETATTR requests "
            "that reach the FUSE daemon, %s entries): %s." % ("{:,}".format(results.entries),
                                                               ", ".join(parts))]


def wine_section(wine_results, wine):
    if wine is None:
        return ["Windows window under Wine: not measured here (--no-wine)."]
    if wine.reason:
        return ["Windows window under Wine: **not measured here**: %s." % wine.reason]
    tools = (WINE_WINDOW, WINE_HEADLESS)
    lines = ["Windows window under Wine (`%s`, 64-bit programs, on a private Xvfb; run times "
             "as the programs report them; file calls per entry: the Win32 file-system calls "
             "(%s) the headless program makes, by Wine's relay trace, / entries):" % (
                 wine.loader, ", ".join(WIN32_FILE_CALLS)), "",
             "| tree | entries | job | window s | headless s | window / headless | file calls "
             "per entry |",
             "|---|---|---|---|---|---|---|"]
    for case, results in wine_results.items():
        for job in jobs_of(case):
            calls = results.calls.get((WINE_HEADLESS.name, job))
            lines.append("| %s | %s | %s | %s | %s | %s | %s |" % (
                case, "{:,}".format(results.entries), job_label(case, job),
                cell(results.median(WINE_WINDOW.name, job)),
                cell(results.median(WINE_HEADLESS.name, job)),
                cell(ratio(results, WINE_WINDOW.name, WINE_HEADLESS.name, job), 2),
                cell(calls / results.entries if calls else None, 2)))
    large = wine_results.get("large")
    value = ratio(large, WINE_WINDOW.name, WINE_HEADLESS.name, "none") if large else None
    if value is not None:
        lines += ["", "- the Windows window's no-change run over the large tree against its "
                  "headless run: %.2f (goal ≤ 1.20): **%s**" % (value, "met" if value <= 1.2
                                                                else "missed")]
    return lines


def file_system_of(path):
    """The type of the file system that holds path, from /proc/mounts."""
    best, kind = "", "?"
    with open("/proc/mounts") as f:
        for line in f:
            fields = line.split()
            point = fields[1]
            inside = path == point or path.startswith(point.rstrip("/") + "/")
            if inside and len(point) > len(best):
                best, kind = point, fields[2]
    return kind


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def share_unavailable():
    """Why the share case cannot run here, or None."""
    if os.geteuid() != 0:
        return "mounting the FUSE share needs root"
    for program in ("bindfs", "fusermount"):
        if not shutil.which(program):
            return "%s is missing (scripts/install-deps.sh test installs it)" % program
    if not os.path.exists("/dev/fuse"):
        return "this machine has no /dev/fuse"
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bench", required=True,
                        help="folder of duplora_bench and duplora_bench_window")
    parser.add_argument("--reps", type=int, default=3, help="repetitions per tool (default 3)")
    parser.add_argument("--cases", default=",".join(CASES),
                        help="trees to run, comma-separated (default %s)" % ",".join(CASES))
    parser.add_argument("--where", default="memory,disk",
                        help="locations, comma-separated: memory (/dev/shm), disk (default both)")
    parser.add_argument("--disk", default="/var/tmp", help="folder on disk (default /var/tmp)")
    parser.add_argument("--tools", default=",".join(t.name for t in NATIVE_TOOLS),
                        help="tools to run (default all: window,headless,rsync,cp)")
    parser.add_argument("--no-strace", dest="strace", action="store_false",
                        help="skip the system call counts")
    parser.add_argument("--wine-build", default=None,
                        help="the Windows build holding bench/duplora_bench*.exe")
    parser.add_argument("--wine", default="/usr/lib/wine/wine64",
                        help="the Wine loader of the Windows build's word size "
                             "(default /usr/lib/wine/wine64)")
    parser.add_argument("--no-wine", action="store_true", help="leave the Windows window out")
    parser.add_argument("--markdown", default=None, help="also write the report to this file")
    parser.add_argument("--update-report", nargs="?", const=REPORT, default=None,
                        help="replace the report between the bench markers of this file "
                             "(default %s)" % REPORT)
    arguments = parser.parse_args()
    programs = {"headless": os.path.join(arguments.bench, "duplora_bench"),
                "window": os.path.join(arguments.bench, "duplora_bench_window")}
    tools = [t for t in NATIVE_TOOLS if t.name in arguments.tools.split(",")]
    cases = [c for c in arguments.cases.split(",") if c]
    for case in cases:
        if case not in CASES:
            sys.exit("unknown tree %s (one of %s)" % (case, ", ".join(CASES)))
    notes = []
    if "share" in cases and share_unavailable():
        notes.append("Tree share not measured: %s." % share_unavailable())
        cases.remove("share")
    locations = []
    for where in arguments.where.split(","):
        if where == "memory":
            locations.append(("memory", "/dev/shm"))
        elif where == "disk":
            locations.append(("disk", arguments.disk))
        else:
            sys.exit("unknown location %s (memory or disk)" % where)

    environment = dict(os.environ, LC_ALL="C", TZ="America/Sao_Paulo", QT_QPA_PLATFORM="offscreen")
    started = time.time()
    load_before = load()
    report = []
    wine, wine_results = None, {}
    if arguments.wine_build and not arguments.no_wine:
        wine = Wine(arguments.wine_build, arguments.wine)
        if not wine.start():
            print("Windows window under Wine: not measured: %s" % wine.reason, file=sys.stderr)
    for index, (name, folder) in enumerate(locations):
        first = index == 0  # system calls and the Windows window: counted once
        top = tempfile.mkdtemp(prefix="duplora-bench-", dir=folder)
        kind = file_system_of(top)
        print("== %s: %s (%s), load %s" % (name, folder, kind, load()), file=sys.stderr,
              flush=True)
        location_load = load()
        results_by_case = {}
        try:
            for case in cases:
                # The Windows programs take their turns with the others, on the same data.
                with_wine = (first and wine and not wine.reason and case != "share" and
                             case not in MEMORY_TREES)
                results_by_case[case] = bench_case(
                    case, arguments, top, environment, programs,
                    tools + ([WINE_WINDOW, WINE_HEADLESS] if with_wine else []),
                    wine if with_wine else None, arguments.strace and first)
                if with_wine:
                    wine_results[case] = results_by_case[case]
        finally:
            shutil.rmtree(top, ignore_errors=True)
        report += ["#### Trees in %s (%s); load %s before, %s after" % (
                       folder, kind, location_load, load()), "",
                   times_table(results_by_case, tools), "",
                   resources_table(results_by_case, tools), ""]
        report += share_lines(results_by_case, tools)
        report += ["", "Goals, from this run's medians:", ""]
        report += goal_lines(results_by_case, on_disk=kind not in ("tmpfs", "ramfs")) + [""]
    if wine:
        wine.stop()
    report += wine_section(wine_results, wine) + [""]
    header = [
        "Median of %d runs per cell, seconds (the trees %s are copied once per tool, and the "
        "runs after it repeated); a ratio above 1: the first is slower. The window's time is "
        "its run alone, once shown (it stands open before a run); the others are timed as "
        "processes, and Duplora's two programs are compared run against run. Peak MB: the "
        "process's maximum resident set over its runs. Calls per entry: system calls (strace "
        "-c -f) / entries of the tree, counted at the first location; the window's include its "
        "start-up (about 3,000 calls). Calls per copied file: the full copy's system calls less "
        "the no-change run's, / files of the tree. Paints per entry: paint events of the two "
        "progress lines and of the bar. TZ=America/Sao_Paulo. %d CPUs; load (1, 5, 15 min) %s "
        "at the start, %s at the end; took %.0f s." % (arguments.reps, " and ".join(COPIED_ONCE),
                                                 os.cpu_count(), load_before, load(),
                                                 time.time() - started), ""]
    lines = header + notes + ([""] if notes else []) + report
    text = "\n".join(wrap(line) for line in lines).rstrip() + "\n"
    print("\n" + text)
    if arguments.markdown:
        with open(arguments.markdown, "w") as f:
            f.write(text)
        print("written to %s" % arguments.markdown, file=sys.stderr)
    if arguments.update_report:
        replace_report(arguments.update_report, text)
        print("%s updated" % arguments.update_report, file=sys.stderr)





def wrap(line):
    """Prose at 100 columns, as the documents'; tables as they are."""
    if line.startswith("|"):
        return line
    indent = "  " if line.startswith("- ") else ""
    return textwrap.fill(line, width=100, subsequent_indent=indent, break_long_words=False,
                         break_on_hyphens=False)


def replace_report(document, text):
    with open(document) as f:
        content = f.read()
    start, end = content.find(BEGIN), content.find(END)
    if start < 0 or end < start:
        sys.exit("%s has no %s ... %s markers" % (document, BEGIN, END))
    with open(document, "w") as f:
        f.write(content[:start + len(BEGIN)] + "\n" + text + content[end:])


if __name__ == "__main__":
    main()
