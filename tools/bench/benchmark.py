#!/usr/bin/env python3
"""Performance figures of KESTO under Wine, printed as one table (run by scripts/benchmark.sh).

The Windows side (bench.exe) drives the real program and writes timed events; this side
makes the test clip, starts bench.exe, samples the processor time of the program's process
and of the Wine server from /proc as the events arrive, and prints the median, minimum and
maximum of each figure. It measures and reports; it never fails on a figure.

With --old-converter it also compares the converter the program shipped before (FFmpeg 4.1) with
the one built from Debian's sources, on the same clips in the same run: their size, the usual
mode's encoding speed on a 720p clip and the decoding speed of a 1080p AV1 clip.
"""
import argparse
import json
import os
import re
import resource
import shutil
import statistics
import subprocess
import sys
import time

TOP = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD = os.path.join(TOP, "build")
BUILT_PROGRAM = os.path.join(BUILD, "win32", "program")
BENCH_EXE = os.path.join(BUILD, "win32", "tools", "bench", "bench.exe")
MINIMAL_EXE = os.path.join(BUILD, "win32", "tools", "bench", "minimal_window.exe")
WORK = os.path.join(BUILD, "bench")
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
IDLE_SECONDS = 10.0
BATCH_CLIPS = 51  # one converted alone, then the other fifty in a batch, twice
DIRECT_TARGET_SECONDS = 15.0  # the clip is sized so that the direct run takes 10 to 20 s


def windows_path(path):
    """Wine shows the Unix root as drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def prefix():
    return os.environ["WINEPREFIX"]


# Processes of our Wine prefix, found through /proc.
def environ_of(pid):
    try:
        with open(f"/proc/{pid}/environ", "rb") as f:
            return dict(e.split(b"=", 1) for e in f.read().split(b"\0") if b"=" in e)
    except OSError:
        return {}


def cmdline_of(pid):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            return f.read().replace(b"\0", b" ").decode("utf-8", "replace")
    except OSError:
        return ""


def start_time_of(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            return int(f.read().rsplit(")", 1)[1].split()[19])
    except (OSError, IndexError, ValueError):
        return -1


def prefix_processes(pattern):
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        pid = int(entry)
        if re.search(pattern, cmdline_of(pid), re.IGNORECASE) and \
                environ_of(pid).get(b"WINEPREFIX") == prefix().encode():
            found.append(pid)
    return sorted(found, key=start_time_of)


def newest_prefix_process(pattern):
    found = prefix_processes(pattern)
    return found[-1] if found else None


def cpu_ticks(pid):
    """User plus system time of the whole process, threads that ended included."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def cpu_nanoseconds(pid):
    """Processor time of the process's live threads, in nanoseconds, and their ids."""
    total, threads = 0, []
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                total += int(f.read().split()[0])
            threads.append(tid)
        except OSError:
            pass
    return total, sorted(threads)


def machine_busy_ticks():
    """Busy time of all processors (steal included: time the host gave to others)."""
    with open("/proc/stat") as f:
        fields = [int(v) for v in f.readline().split()[1:]]
    user, nice, system, idle, iowait, irq, softirq, steal = fields[:8]
    return user + nice + system + irq + softirq + steal


def status_kb(pid, field):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    return None


def peak_resident_kb(pid):
    return status_kb(pid, "VmHWM")


def resident_kb(pid):
    return status_kb(pid, "VmRSS")


def save_memory_map(pid, path):
    """Resident kilobytes of each mapped file (and of private memory), largest first."""
    resident, name = {}, "?"
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            words = line.split()
            if re.match(r"^[0-9a-f]+-[0-9a-f]+ ", line):
                name = words[5] if len(words) > 5 else "[private]"
            elif words[0] == "Rss:":
                resident[name] = resident.get(name, 0) + int(words[1])
    with open(path, "w") as f:
        for name, kb in sorted(resident.items(), key=lambda item: -item[1]):
            f.write(f"{kb:8d} kB  {name}\n")


# The clip: made by Debian's ffmpeg, sized once so that the direct run takes 10 to 20 s.
def make_clip(path, seconds):
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y",
                    "-f", "lavfi", "-i", f"testsrc2=size=640x360:rate=25:duration={seconds}",
                    "-f", "lavfi", "-i", f"sine=frequency=440:duration={seconds}",
                    "-c:v", "libx264", "-preset", "veryfast", "-crf", "23", "-c:a", "aac",
                    "-shortest", path], check=True)


def prepare_batch_clips(media):
    """Short clips for the batch: one made, the others copies of it under their own names."""
    folder = os.path.join(media, "batch")
    names = [f"clip {i:02d}.mp4" for i in range(BATCH_CLIPS)]
    if all(os.path.exists(os.path.join(folder, n)) for n in names):
        return folder
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    make_clip(os.path.join(folder, names[0]), 1)
    for name in names[1:]:
        shutil.copy2(os.path.join(folder, names[0]), os.path.join(folder, name))
    return folder


def direct_seconds(converter, clip, output):
    begin = time.time()
    subprocess.run(["wine", converter, "-i", windows_path(clip), "-threads", "0", "-crf", "15", "-y",
                    windows_path(output)], check=True, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.time() - begin


def prepare_clip(converter, media, recalibrate):
    clip = os.path.join(media, "clip.mp4")
    record_path = os.path.join(media, "clip.json")
    if not recalibrate and os.path.exists(clip) and os.path.exists(record_path):
        with open(record_path) as f:
            return clip, json.load(f)
    seconds, took = 10, None
    for attempt in range(3):
        if took is not None:
            seconds = max(2, round(seconds * DIRECT_TARGET_SECONDS / took))
        make_clip(clip, seconds)
        took = direct_seconds(converter, clip, os.path.join(media, "calibration.mp4"))
        print(f"benchmark: a {seconds} s clip converts directly in {took:.1f} s", file=sys.stderr)
        if 13 <= took <= 17:
            break
    os.remove(os.path.join(media, "calibration.mp4"))
    record = {"clip_seconds": seconds, "direct_seconds": round(took, 2)}
    with open(record_path, "w") as f:
        json.dump(record, f)
    return clip, record


class Sampler:
    """Follows bench.exe's events and samples /proc when they arrive."""

    def __init__(self):
        self.events = []
        self.kesto = None
        self.idle = []  # (program ns, server ns, seconds)
        self.run_cpu = {}  # run -> ([program, Wine server, X server ticks], seconds)
        self.run_start = {}
        self.peak_kb = {}
        self.minimal_peak_kb = {}  # mode -> peak resident sizes of the minimal program
        self.failures = []
        self.x_server = int(os.environ.get("KESTO_XVFB_PID") or 0) or None
        self.converter = None  # (kind, run, pid, last ticks seen)
        self.load_start = None
        self.other_load = {}  # (kind, run) -> % of a core used by work outside this benchmark
        self.converter_cpu = {}  # (kind, run) -> seconds of processor time
        self.states = {}  # clips converted -> the program's state as it and the system report it

    def wineserver(self):
        return newest_prefix_process(r"wineserver")

    def handle(self, name, at, details):
        self.events.append((name, at, details))
        run = details.get("run")
        if name in ("converter-started", "direct-start"):
            self.follow_converter("program" if name == "converter-started" else "direct", run)
            self.load_start = (self.ours(), machine_busy_ticks(), time.time())
        elif name in ("converter-ended", "direct-end"):
            self.poll()
            if self.converter:
                kind, run_id, _, ticks = self.converter
                self.converter_cpu[(kind, run_id)] = ticks / CLOCK_TICKS
                if self.load_start:
                    ours0, busy0, begin = self.load_start
                    others = (machine_busy_ticks() - busy0) - (self.ours() - ours0) - ticks
                    self.other_load[(kind, run_id)] = others / CLOCK_TICKS / (time.time() - begin) * 100
            self.converter = None
        if name == "program-ready":
            self.kesto = newest_prefix_process(r"KESTO\.exe")
        elif name == "idle-begin":
            self.sample_idle()
        elif name == "converter-started" and self.kesto:
            self.run_start[run] = (self.run_ticks(), time.time())
        elif name == "converter-ended" and self.kesto and run in self.run_start:
            ticks, begin = self.run_start[run]
            now = self.run_ticks()
            self.run_cpu[run] = ([b - a for a, b in zip(ticks, now)], time.time() - begin)
        elif name == "message-visible" and self.kesto:
            self.peak_kb[run] = peak_resident_kb(self.kesto)
            save_memory_map(self.kesto, os.path.join(WORK, "kesto-memory.txt"))
        elif name == "minimal-ready":
            minimal = newest_prefix_process(r"minimal_window\.exe")
            mode = details.get("mode", "minimal")
            if minimal:
                self.minimal_peak_kb.setdefault(mode, []).append(peak_resident_kb(minimal))
                save_memory_map(minimal, os.path.join(WORK, f"{mode}-memory.txt"))
        elif name == "state" and self.kesto:
            state = {k: int(v) for k, v in details.items()}
            state["rss_kb"], state["hwm_kb"] = resident_kb(self.kesto), peak_resident_kb(self.kesto)
            self.states[details["after"]] = state
            if details["after"] != "1":
                save_memory_map(self.kesto, os.path.join(WORK, "kesto-batch-memory.txt"))
        elif name == "failed":
            self.failures.append(details.get("why", ""))

    def follow_converter(self, kind, run):
        pid = newest_prefix_process(r"ffmpeg_III\.exe")
        self.converter = (kind, run, pid, 0) if pid else None
        self.poll()

    def poll(self):
        """Keeps the converter's latest processor time: its process is gone once it has ended."""
        if not self.converter:
            return
        kind, run, pid, _ = self.converter
        try:
            self.converter = (kind, run, pid, cpu_ticks(pid))
        except (OSError, IndexError, ValueError):
            pass

    def ours(self):
        """Ticks of this benchmark's lasting processes: the program (if up), Wine server, X server."""
        total = 0
        for pid in (self.kesto, self.wineserver(), self.x_server):
            try:
                total += cpu_ticks(pid) if pid else 0
            except OSError:
                pass
        return total

    def run_ticks(self):
        """The program, the Wine server and the X server, in clock ticks."""
        others = [self.wineserver(), self.x_server]
        return [cpu_ticks(self.kesto)] + [cpu_ticks(pid) if pid else 0 for pid in others]

    def sample_idle(self):
        server = self.wineserver()
        if not self.kesto or not server:
            return
        program0, threads0 = cpu_nanoseconds(self.kesto)
        server0, _ = cpu_nanoseconds(server)
        begin = time.time()
        time.sleep(IDLE_SECONDS)
        program1, threads1 = cpu_nanoseconds(self.kesto)
        server1, _ = cpu_nanoseconds(server)
        seconds = time.time() - begin
        if threads0 != threads1:
            print("benchmark: the program's threads changed while idle", file=sys.stderr)
        self.idle.append((program1 - program0, server1 - server0, seconds))


def parse_event(line):
    words = line.split(" ", 2)
    details = {}
    rest = words[2] if len(words) > 2 else ""
    if words[0] == "failed":
        details["why"] = rest
    elif words[0] == "command":
        run, _, command = rest.partition(" line=")
        details = {"run": run.split("=")[1], "line": command}
    else:
        details = dict(w.split("=", 1) for w in rest.split() if "=" in w)
    return words[0], float(words[1]), details


def run_bench(sampler, events_path, arguments, timeout):
    process = subprocess.Popen(["wine", BENCH_EXE, *arguments])
    deadline = time.time() + timeout
    done = False
    position = 0
    pending = ""
    last_poll = 0
    while not done:
        exited = process.poll() is not None
        if os.path.exists(events_path):
            with open(events_path, encoding="utf-8", errors="replace") as f:
                f.seek(position)
                pending += f.read()
                position = f.tell()
        *lines, pending = pending.split("\n")
        for line in lines:
            if line.strip():
                sampler.handle(*parse_event(line))
        done = exited and not lines
        if time.time() - last_poll > 0.05:
            sampler.poll()
            last_poll = time.time()
        if time.time() > deadline:
            process.kill()
            sampler.failures.append("bench.exe took too long")
            break
        time.sleep(0.02)  # the events carry their own times; a slow poll costs the runs less
    return process.wait()


def at(events, name, run):
    for event, when, details in events:
        if event == name and details.get("run") == run:
            return when
    return None


def row(figure, values, unit, target, decimals):
    if not values:
        return [figure, "n/a", "n/a", "n/a", unit, target]
    form = f"{{:.{decimals}f}}"
    return [figure, form.format(statistics.median(values)), form.format(min(values)),
            form.format(max(values)), unit, target]


def print_table(rows, heading):
    widths = [max(len(str(r[i])) for r in rows + [heading]) for i in range(len(heading))]
    line = lambda cells: "| " + " | ".join(str(c).ljust(w) for c, w in zip(cells, widths)) + " |"
    print(line(heading))
    print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
    for r in rows:
        print(line(r))


def batch_next_start_ms(events):
    """From each converter's end to the next one's start within the batch of several videos."""
    latencies, last_end = [], None
    for event, when, details in events:
        if event == "batch-end":
            last_end = when
        elif event == "batch-start" and int(details["video"]) > 0 and last_end is not None:
            latencies.append((when - last_end) * 1000)
    return latencies


def state_row(figure, states, key, scale=1, unit="count"):
    """A figure after the first clip and after each batch: the same when nothing leaks."""
    values = [state.get(key) for state in states]
    shown = ["n/a" if v is None else f"{v * scale:.1f}" if scale != 1 else str(v) for v in values]
    return [figure, *shown, unit]


def figures(sampler, program_exe, clip_record, runs):
    events = sampler.events
    run_ids = sorted({d["run"] for e, _, d in events if "run" in d}, key=int)
    idle = [(p + s) / 1e9 / t * 100 for p, s, t in sampler.idle]
    idle_program = [p / 1e9 / t * 100 for p, s, t in sampler.idle]
    idle_server = [s / 1e9 / t * 100 for p, s, t in sampler.idle]
    def run_share(which):
        return [ticks[which] / CLOCK_TICKS / t * 100 for ticks, t in sampler.run_cpu.values() if t > 0]
    run_cpu, run_server, run_x = run_share(0), run_share(1), run_share(2)
    overhead, latency, direct, through, converter_direct, converter_program = [], [], [], [], [], []
    to_start, converter_wall, estimate = [], [], []
    look = [float(d["ms"]) for e, _, d in events if e == "batch-look" and "ms" in d]
    for run in run_ids:
        look_began, look_ended = at(events, "look-started", run), at(events, "look-ended", run)
        if None not in (look_began, look_ended):
            look.append((look_ended - look_began) * 1000)
        accept, shown = at(events, "accept", run), at(events, "message-visible", run)
        ended = at(events, "converter-ended", run)
        begin, end = at(events, "direct-start", run), at(events, "direct-end", run)
        if None not in (accept, shown, begin, end):
            overhead.append((shown - accept) / (end - begin))
            direct.append(end - begin)
            through.append(shown - accept)
        if None not in (ended, shown):
            latency.append((shown - ended) * 1000)
        started = at(events, "converter-started", run)
        if None not in (accept, started, ended):
            to_start.append((started - accept) * 1000)
            converter_wall.append(ended - started)
        if None not in (accept, started, ended, shown, begin, end) and run in sampler.run_cpu:
            # What the program itself adds: its delays before and after the converter, and the
            # processor time of its animation (with the Wine and X servers' share), all taken
            # from a converter that could use every core.
            ticks, seconds = sampler.run_cpu[run]
            taken = sum(ticks) / CLOCK_TICKS / seconds / os.cpu_count()
            estimate.append(1 + ((started - accept) + (shown - ended)) / (end - begin) + taken)
        if ("direct", run) in sampler.converter_cpu and ("program", run) in sampler.converter_cpu:
            converter_direct.append(sampler.converter_cpu[("direct", run)])
            converter_program.append(sampler.converter_cpu[("program", run)])
    startups = {}
    for event, _, details in events:
        if event == "startup" and float(details["seconds"]) > 0:
            startups.setdefault(details["pair"], {})[details["program"]] = float(details["seconds"])
    pairs = [p for p in startups.values() if "kesto" in p and "minimal" in p]
    startup_ratio = [p["kesto"] / p["minimal"] for p in pairs]
    peaks = [kb * 1024 / 1e6 for kb in sampler.peak_kb.values() if kb]
    reported_peaks = [int(d["peak"]) / 1e6 for e, _, d in events if e == "memory"]
    minimal_mb = lambda mode: [kb * 1024 / 1e6 for kb in sampler.minimal_peak_kb.get(mode, []) if kb]
    minimal_peaks = minimal_mb("minimal")
    size = os.path.getsize(program_exe)
    floor = minimal_mb("dialogs")
    next_start = batch_next_start_ms(events)
    after = ["1", str(BATCH_CLIPS), str(2 * BATCH_CLIPS - 1)]
    states = [sampler.states.get(n, {}) for n in after]
    batch_peak = [states[-1]["hwm_kb"] * 1024 / 1e6] if states[-1].get("hwm_kb") else []
    floor_mb = statistics.median(floor) if floor else None
    peak_ratio = [p / floor_mb for p in batch_peak + peaks] if floor_mb else []
    rest_ratio = [states[-1]["rss_kb"] * 1024 / 1e6 / floor_mb] if floor_mb and states[-1].get("rss_kb") else []

    heading = ["figure", "median", "min", "max", "unit", "target"]
    rows = [
        row("idle CPU (program + wineserver, 10 s)", idle, "% of a core", "<= 0.5", 2),
        row("CPU of the program during a run", run_cpu, "% of a core", "<= 3", 2),
        row("overhead ratio (through program / direct)", overhead, "ratio", "<= 1.05", 3),
        row("finish latency (converter end -> message)", latency, "ms", "<= 100", 1),
        row("start-up ratio (KESTO / minimal window)", startup_ratio, "ratio", "<= 1.5", 2),
        row("next converter start after one ends (batch)", next_start, "ms", "<= 100", 1),
        row("look at an input, taken when it is loaded (a converter start)", look, "ms", "report", 0),
        row("peak working set / floor (batch and runs)", peak_ratio, "ratio", "<= 1.1", 2),
        row("peak working set, batch program", batch_peak, "MB", "report", 1),
        row("floor: minimal program after both file dialogs", floor, "MB", "report", 1),

        ["KESTO.exe size", str(size), str(size), str(size), "bytes", "report"],
    ]
    details = [
        row("idle CPU, program alone", idle_program, "% of a core", "", 2),
        row("idle CPU, wineserver alone", idle_server, "% of a core", "", 2),
        row("wineserver during a run", run_server, "% of a core", "", 2),
        row("X server (Xvfb) during a run", run_x, "% of a core", "", 2),
        row("direct converter run", direct, "s", "10 to 20", 2),
        row("overhead ratio estimated from the program's own costs", estimate, "ratio", "<= 1.05", 3),
        row("Enter in the save dialog -> message", through, "s", "", 2),
        row("  of which Enter -> converter seen running", to_start, "ms", "", 0),
        row("  of which the converter's run", converter_wall, "s", "", 2),
        row("other work on the machine, direct runs",
            [v for (k, _), v in sampler.other_load.items() if k == "direct"], "% of a core", "", 0),
        row("other work on the machine, program runs",
            [v for (k, _), v in sampler.other_load.items() if k == "program"], "% of a core", "", 0),
        row("converter CPU time, direct", converter_direct, "s", "", 2),
        row("converter CPU time, through the program", converter_program, "s", "", 2),
        row("start-up, KESTO.exe", [p["kesto"] * 1000 for p in pairs], "ms", "", 0),
        row("start-up, minimal window", [p["minimal"] * 1000 for p in pairs], "ms", "", 0),
        row("peak working set as the program reads it", reported_peaks, "MB", "", 1),
        row("working set of the minimal window program", minimal_peaks, "MB", "", 1),
        row("floor with a line in the windows' font (Times New Roman)", minimal_mb("dialogs-and-fonts"), "MB", "",
            1),
        row("peak working set during a run", peaks, "MB", "", 1),
        row("working set after the batches / floor", rest_ratio, "ratio", "", 2),
    ]
    leaks = [
        state_row("handles", states, "handles"),
        state_row("working set (VmRSS)", states, "rss_kb", 1024 / 1e6, "MB"),
        state_row("working set as the program reads it", states, "ws", 1 / 1e6, "MB"),
        state_row("GDI objects", states, "gdi"),
        state_row("USER objects", states, "user"),
    ]
    print()
    print(f"KESTO benchmark under Wine: {len(run_ids)} conversion runs of a "
          f"{clip_record['clip_seconds']} s 640x360 clip, {len(pairs)} start-up pairs")
    print()
    print_table(rows, heading)
    print()
    print("Details:")
    print_table(details, heading)
    print()
    print(f"The program after one clip and after each of two batches of {BATCH_CLIPS - 1} (target: the same):")
    print_table(leaks, ["figure"] + [f"after {n} clip{'' if n == '1' else 's'}" for n in after] + ["unit"])
    print()
    print(HOW)


HOW = """How: each figure is the median (min, max) of per-run values. CPU comes from /proc: the summed
task schedstat of the program's Wine process and of wineserver over 10 s (idle), and /proc/<pid>/stat
of the program's process from the converter's start to its end (run). The overhead clock starts when
Enter accepts the output name in the save dialog (typing is the user's time) and stops when the
completion message is visible; it is divided by the wall time of the command line from kesto.log,
started by bench.exe as the program starts it (hidden, piped), in the same prefix, next to it in time,
the order alternating. Where other work makes the converter's own speed vary more than the
program's costs, the estimate adds those costs up instead: the time from Enter to the converter
running and from its end to the message, over the direct run's time, plus the processor share of
the program, Wine server and X server during the run over all cores. Finish latency: the converter's process handle signalled to the message
visible. Start-up: CreateProcess to a visible top-level window, KESTO.exe and the minimal window
program in alternating pairs. Peak working set: VmHWM of the program's process at the completion
message; Wine reports the same as PeakWorkingSetSize. Floor: VmHWM of the minimal window program
once it has opened and cancelled the open and the save dialog in the batch's folder; the detail
"with a line in the windows' font" also draws in Times New Roman, which Wine, without that font,
finds among the system's fonts through fontconfig. Batch: one clip loaded through the
open dialog and converted, then the fifty others chosen together there and converted in one go,
twice (fast mode, 1 s clips);
"next converter start" is from the handle of one converter signalled to the next one seen in a
process snapshot taken every millisecond; handles and objects are read one second after each
closing message is answered (the main window alone each time). Under Wine the handles of the
process include a registry key (ComDlg32\\LastVisitedMRU) that Wine's own file dialog code opens
and leaves open, one a batch; Wine reports no GDI or USER object counts. Run as root, the measured processes run at
nice -10 so that other work on a shared machine disturbs them less; "other work" shows what remained."""


# The two converters side by side: the same command lines on the same clips, alternating.
COMPARE_ENCODE_SECONDS = 10  # 720p, 25 frames a second
COMPARE_DECODE_SECONDS = 10  # 1080p AV1, 25 frames a second


def make_compare_clips(media):
    """A 720p H.264/AAC clip for the usual mode and a 1080p AV1 clip, made once by Debian's ffmpeg."""
    encode = os.path.join(media, "compare-720p.mp4")
    decode = os.path.join(media, "compare-1080p-av1.mkv")
    if not os.path.exists(encode):
        subprocess.run(["ffmpeg", "-loglevel", "error", "-y",
                        "-f", "lavfi", "-i", f"testsrc2=size=1280x720:rate=25:duration={COMPARE_ENCODE_SECONDS}",
                        "-f", "lavfi", "-i", f"sine=frequency=440:duration={COMPARE_ENCODE_SECONDS}",
                        "-c:v", "libx264", "-preset", "veryfast", "-crf", "18", "-c:a", "aac",
                        "-shortest", encode + ".part.mp4"], check=True)
        os.replace(encode + ".part.mp4", encode)
    if not os.path.exists(decode):
        subprocess.run(["ffmpeg", "-loglevel", "error", "-y",
                        "-f", "lavfi", "-i", f"testsrc2=size=1920x1080:rate=25:duration={COMPARE_DECODE_SECONDS}",
                        "-c:v", "libsvtav1", "-preset", "12", "-crf", "35", decode + ".part.mkv"], check=True,
                       env=dict(os.environ, SVT_LOG="1"))  # the encoder's own messages: errors only
        os.replace(decode + ".part.mkv", decode)
    return encode, decode


def converter_run(converter, arguments):
    """One run under Wine: wall seconds, processor seconds of the converter's process (all its
    threads), the busy share of the machine's other work in % of a core, and standard error."""
    ours0 = resource.getrusage(resource.RUSAGE_CHILDREN)
    busy0, begin = machine_busy_ticks(), time.time()
    process = subprocess.run(["wine", converter, *arguments], stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    seconds = time.time() - begin
    ours1 = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (ours1.ru_utime - ours0.ru_utime) + (ours1.ru_stime - ours0.ru_stime)
    others = max(0.0, (machine_busy_ticks() - busy0) / CLOCK_TICKS - cpu) / seconds * 100
    return seconds, cpu, others, process.returncode, process.stderr.decode("utf-8", "replace")


def first_line(converter):
    process = subprocess.run(["wine", converter, "-version"], stdin=subprocess.DEVNULL,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    lines = process.stdout.decode("utf-8", "replace").splitlines()
    return lines[0].split(" Copyright")[0] if lines else "?"


def decoder_used(stderr):
    found = re.search(r"Stream #0:0 -> #0:0 \(\w+ \((\w[\w-]*)\)", stderr)
    return found.group(1) if found else "?"


def compare_converters(old, new, media, output, runs):
    encode_clip, decode_clip = make_compare_clips(media)
    converters = {"old": old, "new": new}
    names = {kind: first_line(path) for kind, path in converters.items()}
    encode_frames, decode_frames = 25 * COMPARE_ENCODE_SECONDS, 25 * COMPARE_DECODE_SECONDS
    figures_of = {kind: {"encode_fps": [], "encode_speed": [], "encode_cpu": [], "decode_fps": [],
                         "decode_cpu": [], "others": []} for kind in converters}
    decoders, failures = {}, []
    for run in range(runs):
        order = ["old", "new"] if run % 2 == 0 else ["new", "old"]
        for kind in order:
            target = os.path.join(output, f"compare-{kind}.mp4")
            seconds, cpu, others, code, stderr = converter_run(
                converters[kind], ["-i", windows_path(encode_clip), "-threads", "0", "-crf", "15",
                                   "-pix_fmt", "yuv420p", "-y", windows_path(target)])
            if code != 0:
                failures.append(f"{kind} encode: exit code {code}: {stderr.strip().splitlines()[-1:]}")
                continue
            figures = figures_of[kind]
            figures["encode_fps"].append(encode_frames / seconds)
            figures["encode_speed"].append(COMPARE_ENCODE_SECONDS / seconds)
            figures["encode_cpu"].append(cpu / COMPARE_ENCODE_SECONDS)
            figures["others"].append(others)
            os.remove(target)
        for kind in order:
            seconds, cpu, others, code, stderr = converter_run(
                converters[kind], ["-i", windows_path(decode_clip), "-f", "null", "-"])
            if code != 0:
                failures.append(f"{kind} decode: exit code {code}: {stderr.strip().splitlines()[-1:]}")
                continue
            decoders[kind] = decoder_used(stderr)
            figures_of[kind]["decode_fps"].append(decode_frames / seconds)
            figures_of[kind]["decode_cpu"].append(cpu / COMPARE_DECODE_SECONDS)
            figures_of[kind]["others"].append(others)
    for failure in failures:
        print(f"benchmark: {failure}", file=sys.stderr)

    def cell(kind, key, decimals):
        values = figures_of[kind][key]
        if not values:
            return "n/a"
        form = f"{{:.{decimals}f}}"
        return f"{form.format(statistics.median(values))} ({form.format(min(values))}-{form.format(max(values))})"

    def ratio(key):
        old_values, new_values = figures_of["old"][key], figures_of["new"][key]
        if not old_values or not new_values:
            return "n/a"
        return f"{statistics.median(new_values) / statistics.median(old_values):.2f}"

    sizes = {kind: os.path.getsize(path) for kind, path in converters.items()}
    heading = ["figure", "old: median (min-max)", "new: median (min-max)", "new / old", "unit"]
    rows = [
        ["converter size", f"{sizes['old'] / 1e6:.1f}", f"{sizes['new'] / 1e6:.1f}",
         f"{sizes['new'] / sizes['old']:.2f}", "MB"],
        ["720p usual mode (-crf 15 -pix_fmt yuv420p to mp4)", cell("old", "encode_fps", 1),
         cell("new", "encode_fps", 1), ratio("encode_fps"), "frames/s"],
        ["  the same as media time", cell("old", "encode_speed", 2), cell("new", "encode_speed", 2),
         ratio("encode_speed"), "media s/s"],
        ["  processor time", cell("old", "encode_cpu", 2), cell("new", "encode_cpu", 2),
         ratio("encode_cpu"), "s per media s"],
        ["1080p AV1 decode (-f null -)", cell("old", "decode_fps", 1), cell("new", "decode_fps", 1),
         ratio("decode_fps"), "frames/s"],
        ["  processor time", cell("old", "decode_cpu", 2), cell("new", "decode_cpu", 2),
         ratio("decode_cpu"), "s per media s"],
        ["other work on the machine during the runs", cell("old", "others", 0), cell("new", "others", 0),
         "", "% of a core"],
    ]
    print()
    print(f"Converters under Wine, {runs} runs each, alternating: old = {names['old']} "
          f"(AV1 decoder: {decoders.get('old', '?')}), new = {names['new']} "
          f"(AV1 decoder: {decoders.get('new', '?')})")
    print()
    print_table(rows, heading)
    print()
    print(COMPARE_HOW)


COMPARE_HOW = f"""How: each converter runs the same command line under Wine, started from the shell; the time is
the wall time of the whole run (start-up included), from which frames/s and media seconds per second
follow ({COMPARE_ENCODE_SECONDS} s clip of 1280x720 at 25 frames/s, H.264 and AAC; {COMPARE_DECODE_SECONDS} s clip of 1920x1080 at 25
frames/s, AV1 made by Debian's ffmpeg with libsvtav1 at preset 12). Processor time is the user and
system time of the converter's process, all threads, over the clip's length. Old and new alternate
in each run, so that other work on the machine falls on both alike; "other work" is what the rest
of the machine used meanwhile."""


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--recalibrate", action="store_true", help="size the clip anew")
    parser.add_argument("--old-converter", help="the converter shipped before, to compare with the built one")
    parser.add_argument("--compare-only", action="store_true", help="only the comparison of the converters")
    options = parser.parse_args()
    if options.compare_only and not options.old_converter:
        parser.error("--compare-only needs --old-converter")

    program = os.path.join(WORK, "program")
    media = os.path.join(WORK, "media")
    output = os.path.join(WORK, "output")
    shutil.rmtree(program, ignore_errors=True)
    shutil.rmtree(output, ignore_errors=True)
    for folder in (os.path.join(program, "PLUG-IN"), media, output):
        os.makedirs(folder, exist_ok=True)
    shutil.copy2(os.path.join(BUILT_PROGRAM, "KESTO.exe"), program)
    converter = os.path.join(program, "PLUG-IN", "ffmpeg_III.exe")
    shutil.copy2(os.path.join(BUILT_PROGRAM, "PLUG-IN", "ffmpeg_III.exe"), converter)
    if options.compare_only:
        compare_converters(options.old_converter, converter, media, output, max(3, options.runs))
        return 0

    clip, clip_record = prepare_clip(converter, media, options.recalibrate)
    events_path = os.path.join(WORK, "events.txt")
    if os.path.exists(events_path):
        os.remove(events_path)
    sampler = Sampler()
    arguments = [windows_path(events_path), windows_path(program), windows_path(MINIMAL_EXE),
                 windows_path(clip), windows_path(output), str(options.runs),
                 windows_path(prepare_batch_clips(media))]
    code = run_bench(sampler, events_path, arguments, timeout=60 * 60)
    for failure in sampler.failures:
        print(f"benchmark: bench.exe: {failure}", file=sys.stderr)
    if code != 0:
        print(f"benchmark: bench.exe ended with code {code}", file=sys.stderr)
    figures(sampler, os.path.join(BUILT_PROGRAM, "KESTO.exe"), clip_record, options.runs)
    if options.old_converter:
        compare_converters(options.old_converter, converter, media, output, max(3, options.runs))
    return 0


if __name__ == "__main__":
    sys.exit(main())
