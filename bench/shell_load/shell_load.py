#!/usr/bin/env python3
"""How much the running game costs: starts the real `velmora` on its own
Xvfb display with Mesa's software GL and measures

- start-up: from just before the process is started to its first presented
  frame, over several starts (needs --swap-record, the preloaded library
  that notes the time of the first SDL_GL_SwapWindow and counts the rest);
- the processor share of the game and of the X server on the title screen
  and while playing (space to start, then the leg held up), with the frames
  presented a second;
- the game's resident memory (VmRSS, peak VmHWM) and what it is made of.

With --draw-bench it also measures, offscreen, what drawing one frame of
each scene costs at the window's size, to tell the drawing's share from the
rest. Prints Markdown table rows on standard output, details on standard
error.

    shell_load.py PROGRAM [--seconds S] [--starts N] [--swap-record LIBRARY]
                  [--draw-bench PROGRAM]
"""

import argparse
import os
import re
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))
import velmora_e2e as e2e  # noqa: E402

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
MIB = 1024.0
# Mappings that belong to Mesa's software renderer: its driver, LLVM, which
# it compiles the drawing with, and the libraries LLVM brings along.
MESA_MAPPINGS = re.compile(r"libLLVM|/dri/|gallium|libglapi|libGLX_mesa|libz3|libxml2|libicu|libedit|libffi")


def log(text):
    print(text, file=sys.stderr, flush=True)


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        # The command name may hold blanks; the fields after it are plain.
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def memory_kib(pid, field):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    return 0


def resident_parts_kib(pid):
    """Resident memory by owner: Mesa's renderer, the shared image the frames
    reach the X server through, private memory, and the program's files."""
    parts = {"mesa": 0, "shared image": 0, "private": 0, "program": 0}
    owner = "private"
    with open(f"/proc/{pid}/smaps") as smaps:
        for line in smaps:
            if re.match(r"^[0-9a-f]+-[0-9a-f]+ ", line):
                fields = line.split(None, 5)
                path = fields[5].strip() if len(fields) > 5 else ""
                if MESA_MAPPINGS.search(path):
                    owner = "mesa"
                elif path.startswith("/SYSV"):
                    owner = "shared image"
                elif path.startswith("/"):
                    owner = "program"
                else:
                    owner = "private"  # heap, stack and anonymous memory
            elif line.startswith("Rss:"):
                parts[owner] += int(line.split()[1])
    return parts


class SwapRecord:
    """The file the preloaded library keeps: time of the first presented
    frame (CLOCK_MONOTONIC nanoseconds) and the number presented so far."""

    def __init__(self, library, folder, name):
        self.library = library
        self.path = os.path.join(folder, name + ".swaps")

    def prepare(self, session):
        if os.path.exists(self.path):
            os.remove(self.path)
        session.env = dict(session.env, LD_PRELOAD=self.library, VELMORA_SWAP_RECORD=self.path)

    def read(self):
        try:
            with open(self.path, "rb") as record:
                data = record.read(16)
        except FileNotFoundError:
            return None, 0
        if len(data) < 16:
            return None, 0
        first, swaps = struct.unpack("<qQ", data)
        return (first if swaps else None), swaps

    def wait_for_first(self, seconds):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            first, _ = self.read()
            if first is not None:
                return first
            time.sleep(0.005)
        raise e2e.Failure(f"no frame was presented within {seconds} s")


def measure_start(program, shots, library, run):
    """Milliseconds from just before the process starts to its first frame."""
    with e2e.Session(f"start_{run}", program, shots) as session:
        record = SwapRecord(library, shots, f"start_{run}")
        record.prepare(session)
        started = time.monotonic_ns()
        session.start()
        first = record.wait_for_first(10)
        return (first - started) / 1e6


def measure_phase(session, record, label, seconds):
    game, server = session.game.pid, session.xvfb.pid
    _, swaps_before = record.read() if record else (None, 0)
    start_game, start_server, start_wall = cpu_seconds(game), cpu_seconds(server), time.monotonic()
    time.sleep(seconds)
    wall = time.monotonic() - start_wall
    _, swaps_after = record.read() if record else (None, 0)
    phase = {
        "game": (cpu_seconds(game) - start_game) / wall,
        "server": (cpu_seconds(server) - start_server) / wall,
        "fps": (swaps_after - swaps_before) / wall if record else None,
        "rss": memory_kib(game, "VmRSS"),
    }
    fps = f"{phase['fps']:5.1f} frames/s" if record else "frames not counted"
    log(f"{label:<14} {wall:5.1f} s   game {phase['game'] * 100:5.1f} % of a processor   "
        f"X server {phase['server'] * 100:5.1f} %   {fps}   game resident {phase['rss'] / MIB:6.1f} MiB")
    return phase


def measure_load(program, shots, library, seconds):
    with e2e.Session("shell_load", program, shots) as session:
        record = SwapRecord(library, shots, "shell_load") if library else None
        if record:
            record.prepare(session)
        session.start()
        window = session.window()
        session.wait_for_picture("title", e2e.shows_title(window))
        log(f"window {window.width}x{window.height}, virtual screen scaled {window.scale}x, "
            f"{os.cpu_count()} processors")
        title = measure_phase(session, record, "title screen", seconds)
        session.hold("space", lambda: session.wait_for_picture("courtship", e2e.shows_courtship(window)))
        session.xdotool("keydown", "space")
        playing = measure_phase(session, record, "playing", seconds)
        session.xdotool("keyup", "space")
        peak = memory_kib(session.game.pid, "VmHWM")
        parts = resident_parts_kib(session.game.pid)
        log(f"game resident peak {peak / MIB:.1f} MiB; " +
            ", ".join(f"{name} {kib / MIB:.1f} MiB" for name, kib in parts.items()))
    return window, title, playing, peak, parts


def drawing_milliseconds(draw_bench, width, height):
    """Processor milliseconds of one frame of each scene, drawn offscreen."""
    result = subprocess.run([draw_bench, "--raw", "--seconds", "0.5", f"{width}x{height}"],
                            capture_output=True, text=True, timeout=120)
    costs = {}
    for line in result.stdout.splitlines():
        match = re.match(r"^(.+) (\d+)x(\d+) ([0-9.]+) ([0-9.]+)$", line)
        if match:
            costs[match.group(1)] = float(match.group(4))
    return costs


def row(*cells):
    print("| " + " | ".join(cells) + " |", flush=True)


def start_row(starts):
    if not starts:
        return
    row("Start-up, process start to the first presented frame (real program, Xvfb)",
        f"median {statistics.median(starts):.0f} ms (from {min(starts):.0f} to {max(starts):.0f}, {len(starts)} starts)",
        "1 s",
        "a player should see the title at once: the game reads 25 small files, so anything near a second "
        "would be waste; counted by a preloaded library at the first SDL_GL_SwapWindow")


def share_row(label, window, phase, drawing_ms):
    note = f"X server {phase['server'] * 100:.1f} %"
    if phase["fps"] is not None:
        note = f"{phase['fps']:.1f} frames a second; " + note
    if phase["fps"] is not None and drawing_ms is not None:
        drawing = phase["fps"] * drawing_ms / 1000
        rest = phase["game"] - drawing
        left = (f"leaving {rest * 100:.1f} % for the rest (the loop, the ticks, the copy to the X server)"
                if rest > 0 else "so nothing measurable is left for the rest")
        note += (f"; Mesa's software drawing of those frames measures {drawing * 100:.1f} % offscreen "
                 f"({drawing_ms:.2f} ms each), {left}")
    row(f"CPU share, {label} (real program, {window.width}x{window.height}, {window.scale}x)",
        f"{phase['game'] * 100:.1f} % of a core",
        "a few % of a core (3 %) besides the software drawing", note)


def memory_row(playing, peak, parts):
    row("Resident memory while playing (VmRSS; peak VmHWM)",
        f"{playing['rss'] / MIB:.1f} MiB; peak {peak / MIB:.1f} MiB",
        "64 MiB (a small game)",
        f"Mesa's software renderer with LLVM {parts['mesa'] / MIB:.1f} MiB, heap and other private memory "
        f"{parts['private'] / MIB:.1f} MiB, the frame's image shared with the X server "
        f"{parts['shared image'] / MIB:.1f} MiB, the program and its other libraries {parts['program'] / MIB:.1f} MiB; "
        f"all but Mesa's renderer {(playing['rss'] - parts['mesa']) / MIB:.1f} MiB")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("program")
    parser.add_argument("--seconds", type=float, default=5.0, help="length of each measured phase")
    parser.add_argument("--starts", type=int, default=5, help="starts timed for the start-up figure")
    parser.add_argument("--swap-record", help="the preloaded library that records presented frames")
    parser.add_argument("--draw-bench", help="velmora-bench-draw, to tell the drawing's share")
    options = parser.parse_args()
    program = os.path.abspath(options.program)
    library = os.path.abspath(options.swap_record) if options.swap_record else None
    shots = tempfile.mkdtemp(prefix="velmora-bench-")

    starts = []
    try:
        if library:
            for run in range(options.starts):
                starts.append(measure_start(program, shots, library, run))
                log(f"start {run + 1}: first frame after {starts[-1]:.0f} ms")
        window, title, playing, peak, parts = measure_load(program, shots, library, options.seconds)
    finally:
        shutil.rmtree(shots, ignore_errors=True)
    costs = drawing_milliseconds(options.draw_bench, window.width, window.height) if options.draw_bench else {}
    if costs:
        log(f"offscreen at {window.width}x{window.height}: " +
            ", ".join(f"{scene} {ms:.2f} ms" for scene, ms in costs.items()))

    start_row(starts)
    memory_row(playing, peak, parts)
    share_row("title screen", window, title, costs.get("title"))
    share_row("playing", window, playing, costs.get("play"))
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except e2e.Failure as failure:
        log(f"shell_load: {failure}")
        sys.exit(1)
