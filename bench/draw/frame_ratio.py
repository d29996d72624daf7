#!/usr/bin/env python3
"""What a presented frame of the real program costs beside its floor: on an
Xvfb display of its own with Mesa's software GL, interleaved rounds of the
floor program (one 160x120 texture scaled to the window as one quad a frame)
and of velmora-bench-window (the game's window, timed turn and swap for the
title, play and the heart rain), both at 60 frames a second. Prints one
Markdown table row with each scene's processor time a frame as a ratio to
the floor's of the same round (medians over the rounds); details on
standard error.

    frame_ratio.py FLOOR WINDOW_BENCH [--size WxH] [--rounds N] [--seconds S]
"""

import argparse
import os
import statistics
import subprocess
import sys

SCENES = ("title", "play", "heart rain")


def log(text):
    print(text, file=sys.stderr, flush=True)


def start_xvfb():
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end, "rb") as display_pipe:
        number = display_pipe.readline().strip().decode()
    if not number:
        raise SystemExit("frame_ratio: Xvfb did not start")
    return xvfb, dict(os.environ, DISPLAY=":" + number, LIBGL_ALWAYS_SOFTWARE="1", SDL_AUDIODRIVER="dummy")


def measure(command, env):
    """{scene: (ms a frame, frames a second)} from the program's lines."""
    result = subprocess.run(command, env=env, capture_output=True, text=True, timeout=600)
    costs = {}
    for line in result.stdout.splitlines():
        name, _, ms, fps = line.rsplit(" ", 3)
        costs[name] = (float(ms), float(fps))
    if result.returncode != 0 or not costs:
        raise SystemExit(f"frame_ratio: {' '.join(command)} failed: {result.stderr.strip()}")
    return costs


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("floor")
    parser.add_argument("window_bench")
    parser.add_argument("--size", default="1120x840")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--seconds", type=float, default=3)
    options = parser.parse_args()
    xvfb, env = start_xvfb()
    rounds = []
    try:
        for number in range(options.rounds):
            floor = measure([options.floor, "--seconds", str(options.seconds), options.size], env)["floor"]
            game = measure([options.window_bench, "--seconds", str(options.seconds), options.size], env)
            rounds.append((floor, game))
            log(f"round {number + 1}: floor {floor[0]:.2f} ms ({floor[1]:.1f} frames/s); " +
                "; ".join(f"{scene} {game[scene][0]:.2f} ms ({game[scene][1]:.1f} frames/s)" for scene in SCENES))
    finally:
        xvfb.kill()
        xvfb.wait()
    floor_ms = statistics.median(floor[0] for floor, _ in rounds)
    ratios = {scene: statistics.median(game[scene][0] / floor[0] for floor, game in rounds) for scene in SCENES}
    scene_ms = {scene: statistics.median(game[scene][0] for _, game in rounds) for scene in SCENES}
    fps = {scene: min(game[scene][1] for _, game in rounds) for scene in SCENES}
    width, height = (int(side) for side in options.size.split("x"))
    scale = min(width // 160, height // 120)
    print(f"| CPU per presented frame against the floor (real window, Xvfb, {options.size}, {scale}x) | " +
          "; ".join(f"{scene} {ratios[scene]:.2f}x" for scene in SCENES) + " | 1.2x the floor | " +
          f"the floor, one 160x120 texture scaled to the window as one quad a frame (velmora-bench-floor): "
          f"{floor_ms:.2f} ms a frame; the game " + ", ".join(f"{scene} {scene_ms[scene]:.2f} ms" for scene in SCENES) +
          f" at {min(fps.values()):.0f} frames a second or more; medians of {options.rounds} interleaved rounds of "
          f"{options.seconds:g} s, process time with the GL's threads and the copy to the X server |", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
