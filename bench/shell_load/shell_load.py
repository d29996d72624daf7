#!/usr/bin/env python3
"""How much the running game costs: starts `velmora` on its own Xvfb display
with Mesa's software GL, leaves it on the title screen, then plays (space
to start, then the leg held up), and prints for each phase the processor
share of the game and of the X server, and the game's resident memory.

    shell_load.py PROGRAM [SECONDS_PER_PHASE]

The main loop sleeps as the frame clock says, so the share should stay far
below one processor; most of it is the software drawing of 60 frames a
second.
"""

import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))
import velmora_e2e as e2e  # noqa: E402

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


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


def measure(session, label, seconds):
    game, server = session.game.pid, session.xvfb.pid
    start_game, start_server, start_wall = cpu_seconds(game), cpu_seconds(server), time.monotonic()
    time.sleep(seconds)
    wall = time.monotonic() - start_wall
    game_share = (cpu_seconds(game) - start_game) / wall
    server_share = (cpu_seconds(server) - start_server) / wall
    print(f"{label:<14} {wall:5.1f} s   game {game_share * 100:5.1f} % of a processor   "
          f"X server {server_share * 100:5.1f} %   game resident {memory_kib(game, 'VmRSS') / 1024:6.1f} MiB")


def main():
    if len(sys.argv) not in (2, 3):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    program = os.path.abspath(sys.argv[1])
    seconds = float(sys.argv[2]) if len(sys.argv) == 3 else 5.0
    shots = tempfile.mkdtemp(prefix="velmora-bench-")
    with e2e.Session("shell_load", program, shots) as session:
        session.start()
        window = session.window()
        session.wait_for_picture("title", e2e.shows_title(window), 10)
        print(f"window {window.width}x{window.height}, virtual screen scaled {window.scale}x, "
              f"{os.cpu_count()} processors")
        measure(session, "title screen", seconds)
        session.press("space")
        session.wait_for_picture("courtship", e2e.shows_courtship(window), 5)
        session.hold("space")
        measure(session, "playing", seconds)
        session.release("space")
        print(f"game resident peak {memory_kib(session.game.pid, 'VmHWM') / 1024:.1f} MiB")
        session.press("Escape")
        session.wait_for_exit(5)
    return 0


if __name__ == "__main__":
    sys.exit(main())
