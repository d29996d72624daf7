#!/usr/bin/env python3
"""End-to-end checks of the real program, the Linux one or velmora.exe under
Wine: each scenario starts its own Xvfb display, runs the program on it,
presses real keys with xdotool, and judges screenshots taken with ImageMagick.

    velmora_e2e.py [--wine] PROGRAM SHOT_FOLDER SCENARIO

Under Wine the prefix is WINEPREFIX or wineprefix-display beside the
program's folder, with a Wine server of the scenario's own. Screenshots of
every scenario are kept in SHOT_FOLDER/SCENARIO for looking at. The exit
status is 0 when the scenario passed.
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SCREEN_WIDTH, SCREEN_HEIGHT = 1280, 1024
VIRTUAL_WIDTH, VIRTUAL_HEIGHT = 160, 120
# Screenshots are judged at a quarter of their size, sampled without
# blending, so the exact colours of the pixel art survive.
SAMPLE = 4
# Sound goes nowhere, unless a scenario asks for a sound card that is not
# there: ALSA then looks for it, fails, and the game plays on silently.
NO_SOUND = {"SDL_AUDIODRIVER": "dummy"}
MISSING_SOUND_CARD = {"SDL_AUDIODRIVER": "alsa", "AUDIODEV": "hw:9"}
# Set by --wine: the program is a Windows one, run through Wine.
WINE = False


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Picture:
    """An RGB screenshot, sampled; coordinates are screen pixels."""

    def __init__(self, path):
        width = SCREEN_WIDTH // SAMPLE
        height = SCREEN_HEIGHT // SAMPLE
        raw = subprocess.run(
            ["convert", path, "-sample", f"{width}x{height}!", "-depth", "8", "rgb:-"],
            check=True, capture_output=True, timeout=20).stdout
        check(len(raw) == width * height * 3, f"unreadable screenshot {path}")
        self.raw, self.width, self.height = raw, width, height

    def pixels(self, left, top, width, height):
        x0, y0 = max(0, left // SAMPLE), max(0, top // SAMPLE)
        x1 = min(self.width, (left + width) // SAMPLE)
        y1 = min(self.height, (top + height) // SAMPLE)
        for y in range(y0, y1):
            row = self.raw[(y * self.width + x0) * 3:(y * self.width + x1) * 3]
            for i in range(0, len(row), 3):
                yield row[i], row[i + 1], row[i + 2]

    def share(self, area, test):
        """The share of the area's pixels that pass the test."""
        total = hits = 0
        for colour in self.pixels(*area):
            total += 1
            hits += 1 if test(*colour) else 0
        return hits / total if total else 0.0


def is_black(r, g, b):
    return r < 8 and g < 8 and b < 8


def is_white(r, g, b):
    return r > 235 and g > 235 and b > 235


def is_fear_red(r, g, b):
    return r > 180 and g < 60 and b < 60


def is_excitement_green(r, g, b):
    return g > 180 and r < 100 and b < 100


def is_spider_brown(r, g, b):
    return r > 90 and 40 < g < r and b < g and r - b > 50


class Window:
    """Where the game's window lies, and where its virtual screen lies in it."""

    def __init__(self, x, y, width, height):
        self.x, self.y, self.width, self.height = x, y, width, height
        self.scale = max(1, min(width // VIRTUAL_WIDTH, height // VIRTUAL_HEIGHT))
        self.left = x + (width - VIRTUAL_WIDTH * self.scale) // 2
        self.top = y + (height - VIRTUAL_HEIGHT * self.scale) // 2

    def area(self):
        return (self.x, self.y, self.width, self.height)

    def virtual_area(self, left, bottom, width, height):
        """A rectangle of the virtual screen (origin bottom-left, y up)."""
        k = self.scale
        return (self.left + left * k, self.top + (VIRTUAL_HEIGHT - bottom - height) * k, width * k, height * k)


class Session:
    """One Xvfb display with one run of the game on it."""

    def __init__(self, name, program, shots, arguments=(), stderr_path=None, sound=NO_SOUND):
        self.name, self.program, self.arguments, self.sound = name, program, list(arguments), sound
        self.shots = os.path.join(shots, name)
        shutil.rmtree(self.shots, ignore_errors=True)
        os.makedirs(self.shots)
        self.stderr_path = stderr_path or os.path.join(self.shots, "stderr.txt")
        self.shot_count = 0
        self.xvfb = self.game = None
        self.exit_code = None

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN_WIDTH}x{SCREEN_HEIGHT}x24",
             "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as display_pipe:
            while not number.endswith(b"\n"):
                byte = display_pipe.read(1)
                check(byte, "Xvfb did not start")
                number += byte
        self.env = dict(os.environ, DISPLAY=":" + number.decode().strip(), LIBGL_ALWAYS_SOFTWARE="1", **self.sound)
        if WINE:
            # Wine keeps the screen size of the first display its server met,
            # so each display gets a server of its own.
            here = os.path.dirname(os.path.abspath(__file__))
            self.env.update(WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
                            ALSA_CONFIG_PATH=os.path.join(here, "..", "windows", "alsa-null.conf"))
            subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)
            subprocess.run(["wineserver", "-p0"], env=self.env, timeout=60)
        return self

    def __exit__(self, exc_type, exc, trace):
        try:
            # Every scenario ends as a player would: Esc, and a clean exit.
            if exc_type is None and self.game and self.game.poll() is None:
                self.xdotool("windowfocus", "--sync", self.window_id)
                self.press("Escape")
                code = self.wait_for_exit(5)
                check(code == 0, f"exit code {code} after Esc; see {self.stderr_path}")
        finally:
            self.stop_processes()
        return False

    def stop_processes(self):
        if WINE and self.game:
            if self.game.poll() is None:
                subprocess.run(["wineserver", "-k"], env=self.env, timeout=60)
            subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)
        for process in (self.game, self.xvfb):
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()

    def launch(self):
        # Started from elsewhere: the game must find its files beside itself.
        self.stderr_file = open(self.stderr_path, "wb")
        command = (["wine"] if WINE else []) + [self.program] + self.arguments
        self.game = subprocess.Popen(command, cwd=tempfile.gettempdir(), env=self.env,
                                     stdout=subprocess.DEVNULL, stderr=self.stderr_file)

    def start(self):
        self.launch()
        self.window_id = self.wait_for(self.find_window, 30 if WINE else 15, "the window never appeared")
        self.xdotool("windowfocus", "--sync", self.window_id)
        return self

    def start_at_title(self, label="title"):
        """Starts the game and waits for its title screen; returns the window."""
        self.start()
        window = self.window()
        self.wait_for_picture(label, shows_title(window), 10)
        return window

    def xdotool(self, *arguments):
        result = subprocess.run(["xdotool"] + list(arguments), env=self.env, capture_output=True, text=True,
                                timeout=10)
        return result.stdout if result.returncode == 0 else None

    def find_window(self):
        check(self.game.poll() is None, f"the game ended early with {self.game.returncode}")
        found = self.xdotool("search", "--onlyvisible", "--name", "^Game$")
        return found.split()[0] if found else None

    def wait_for(self, probe, seconds, message):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            value = probe()
            if value:
                return value
            time.sleep(0.1)
        raise Failure(message)

    def window(self):
        lines = self.xdotool("getwindowgeometry", "--shell", self.window_id)
        check(lines, "no window geometry")
        values = dict(line.split("=", 1) for line in lines.split())
        return Window(int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"]))

    def wait_for_window(self, width, height, seconds=5):
        def probe():
            w = self.window()
            return w if (w.width, w.height) == (width, height) else None
        try:
            return self.wait_for(probe, seconds, "")
        except Failure:
            w = self.window()
            raise Failure(f"window is {w.width}x{w.height} at {w.x},{w.y}, not {width}x{height}")

    def screenshot(self, label):
        self.shot_count += 1
        path = os.path.join(self.shots, f"{self.shot_count:02d}-{label}.png")
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True, timeout=20)
        return Picture(path)

    def wait_for_picture(self, label, test, seconds):
        """Screenshots until one passes the test; returns it."""
        deadline = time.monotonic() + seconds
        while True:
            picture = self.screenshot(label)
            if test(picture):
                return picture
            check(time.monotonic() < deadline, f"no screenshot showed {label} within {seconds} s")
            time.sleep(0.2)

    def press(self, key, seconds=0.2):
        # Held long enough for a tick of the game to see it.
        self.xdotool("keydown", key)
        time.sleep(seconds)
        self.xdotool("keyup", key)

    def hold(self, key):
        self.xdotool("keydown", key)

    def release(self, key):
        self.xdotool("keyup", key)

    def wait_for_exit(self, seconds):
        try:
            self.exit_code = self.game.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            raise Failure(f"the game did not end within {seconds} s")
        self.stderr_file.close()
        return self.exit_code

    def log_lines(self):
        """The lines the game logged; None under Wine, where they go to a console."""
        if WINE:
            return None
        if not self.stderr_file.closed:
            self.stderr_file.flush()
        with open(self.stderr_path, "rb") as log:
            return [line for line in log.read().decode(errors="replace").splitlines() if line]


# What the screen shows.

def shows_title(window):
    def test(picture):
        # The night-sky picture fills the virtual screen; the title text is white.
        lit = picture.share(window.virtual_area(0, 0, VIRTUAL_WIDTH, VIRTUAL_HEIGHT), lambda *c: not is_black(*c))
        title_text = picture.share(window.virtual_area(4, 104, 40, 12), is_white)
        return lit > 0.6 and title_text > 0.05
    return test


def shows_courtship(window):
    def test(picture):
        upper = window.virtual_area(0, 60, VIRTUAL_WIDTH, 60)
        lower_left = window.virtual_area(0, 0, 60, 40)
        lower_right = window.virtual_area(100, 0, 60, 40)
        return (picture.share(upper, is_fear_red) > 0.002 and picture.share(upper, is_excitement_green) > 0.002
                and picture.share(lower_left, is_spider_brown) > 0.02
                and picture.share(lower_right, is_spider_brown) > 0.02)
    return test


def shows_outcome_message(window):
    def test(picture):
        whole = window.virtual_area(0, 0, VIRTUAL_WIDTH, VIRTUAL_HEIGHT)
        return (picture.share(whole, is_white) > 0.01 and picture.share(whole, is_fear_red) == 0
                and picture.share(whole, lambda *c: not is_black(*c) and not is_white(*c)) < 0.05)
    return test


def all_black(area):
    return lambda picture: picture.share(area, lambda *c: not is_black(*c)) == 0


# The scenarios.

def title_screen(program, shots):
    with Session("title_screen", program, shots, sound=MISSING_SOUND_CARD) as session:
        window = session.start_at_title()
        check((window.width, window.height) == (1120, 840), f"first window {window.width}x{window.height}")
        check(session.log_lines() in ([], None), f"a healthy start logged {session.log_lines()}")
        if WINE:
            check(not session.xdotool("search", "--name", r"velmora\.exe"), "a healthy start opened a console")
        else:
            icon = subprocess.run(["xprop", "-id", session.window_id, "_NET_WM_ICON"], env=session.env,
                                  capture_output=True, text=True, timeout=10).stdout
            check("Icon (32 x 32)" in icon, f"the window has no icon of its own: {icon.strip()}")


def chasing_her_away_returns_to_the_title(program, shots):
    with Session("chasing_her_away", program, shots) as session:
        window = session.start_at_title()
        session.press("space")
        session.wait_for_picture("courtship", shows_courtship(window), 5)
        session.hold("Right")
        session.wait_for_picture("message", shows_outcome_message(window), 15)
        session.release("Right")
        session.wait_for_picture("title-again", shows_title(window), 12)


def keys_are_not_held_without_the_focus(program, shots):
    with Session("focus", program, shots) as session:
        window = session.start_at_title()
        session.press("space")
        session.wait_for_picture("courtship", shows_courtship(window), 5)
        his_side = window.virtual_area(0, 0, 80, 40)
        standing = list(session.screenshot("standing").pixels(*his_side))
        session.hold("Right")
        time.sleep(0.3)
        root = session.xdotool("search", "--maxdepth", "0", "--name", "").split()[0]
        session.xdotool("windowfocus", "--sync", root)
        time.sleep(0.2)
        unfocused = list(session.screenshot("unfocused").pixels(*his_side))
        check(unfocused != standing, "he did not walk while Right was held")
        time.sleep(0.5)
        check(list(session.screenshot("unfocused-later").pixels(*his_side)) == unfocused,
              "he walked on without the focus")
        session.release("Right")
        session.xdotool("windowfocus", "--sync", session.window_id)
        time.sleep(0.2)
        refocused = list(session.screenshot("refocused").pixels(*his_side))
        time.sleep(0.5)
        check(list(session.screenshot("refocused-later").pixels(*his_side)) == refocused,
              "Right was still held after the focus came back")


def escape_quits(program, shots):
    with Session("escape_quits", program, shots) as session:
        session.start_at_title()
        session.press("Escape")
        code = session.wait_for_exit(5)
        check(code == 0, f"exit code {code}")


def alt_f4_quits(program, shots):
    """Windows only: on Linux Alt+F4 belongs to the window manager."""
    with Session("alt_f4_quits", program, shots) as session:
        session.start_at_title()
        session.xdotool("key", "alt+F4")
        code = session.wait_for_exit(10)
        check(code == 0, f"exit code {code}")


def resizing_snaps(program, shots):
    with Session("resizing_snaps", program, shots) as session:
        session.start()
        session.xdotool("windowsize", session.window_id, "500", "370")
        window = session.wait_for_window(500, 360)
        session.wait_for_picture("snapped", shows_title(window), 5)
        # A side too short for the other is raised to the same multiple.
        session.xdotool("windowsize", session.window_id, "250", "190")
        window = session.wait_for_window(320, 240)
        session.wait_for_picture("snapped-small", shows_title(window), 5)


def alt_enter_fills_the_screen_and_back(program, shots):
    with Session("alt_enter", program, shots) as session:
        framed = session.start_at_title("framed")
        session.hold("alt+Return")
        full = session.wait_for_window(SCREEN_WIDTH, SCREEN_HEIGHT)
        # Held past the keyboard's repeat delay, the keys still switch once.
        for _ in range(8):
            time.sleep(0.15)
            held = session.window()
            check((held.width, held.height) == (full.width, full.height), "a held Alt+Enter switched again")
        session.release("alt+Return")
        check((full.x, full.y) == (0, 0), f"full screen at {full.x},{full.y}")
        session.wait_for_picture("full-screen", shows_title(full), 5)
        session.xdotool("key", "alt+Return")
        back = session.wait_for_window(framed.width, framed.height)
        check((back.x, back.y) == (framed.x, framed.y), f"back at {back.x},{back.y}, was {framed.x},{framed.y}")
        session.wait_for_picture("framed-again", shows_title(back), 5)
        # Enter without Alt changes nothing.
        session.press("Return")
        time.sleep(0.3)
        still = session.window()
        check((still.width, still.height) == (framed.width, framed.height), "Enter alone changed the mode")


def full_screen_option(program, shots):
    with Session("full_screen_option", program, shots, ["-f"]) as session:
        session.start()
        window = session.wait_for_window(SCREEN_WIDTH, SCREEN_HEIGHT)
        session.wait_for_picture("full-screen", shows_title(window), 10)
        # The framed window it would have had comes back on Alt+Enter.
        session.xdotool("key", "alt+Return")
        session.wait_for_window(1120, 840)


def windowed_option_wins(program, shots):
    for arguments in (["-f", "-w"], ["-wf"]):
        with Session("windowed_option_wins" + "".join(arguments), program, shots, arguments) as session:
            session.start_at_title("framed")
            time.sleep(0.3)
            window = session.window()
            check((window.width, window.height) == (1120, 840),
                  f"{' '.join(arguments)} gave {window.width}x{window.height}")


def missing_string_data(program, shots):
    with tempfile.TemporaryDirectory() as folder:
        copy = os.path.join(folder, "bin")
        shutil.copytree(os.path.dirname(os.path.abspath(program)), copy, symlinks=True)
        os.remove(os.path.join(copy, "StringData.txt"))
        with Session("missing_string_data", os.path.join(copy, "velmora"), shots) as session:
            session.start()
            window = session.window()
            time.sleep(1.5)
            session.wait_for_picture("black", all_black(window.area()), 2)
            session.press("space")
            time.sleep(0.5)
            session.wait_for_picture("still-black", all_black(window.area()), 2)
            session.press("Escape")
            code = session.wait_for_exit(5)
            check(code == 0, f"exit code {code}")
            lines = session.log_lines()
            check(len(lines) == 3, f"logged {lines}")
            check(lines[0] == "Error loading string data StringData.txt", f"first line {lines[0]!r}")
            check(lines[1].startswith(("Error opening file ", "Error loading font ")), f"font line {lines[1]!r}")
            check(lines[2] == "Error initialising renderer", f"last line {lines[2]!r}")


def stop_signals_close_it(program, shots):
    # Ctrl+C while it starts and SIGTERM while it runs both end it as Esc does.
    for number, running in ((signal.SIGINT, False), (signal.SIGTERM, True)):
        with Session(f"stop_signal_{number.name}", program, shots) as session:
            if running:
                session.start_at_title()
            else:
                session.launch()
                time.sleep(0.3)
            session.game.send_signal(number)
            code = session.wait_for_exit(5)
            check(code == 0, f"{number.name} gave exit code {code}")
            check(session.log_lines() == [], f"{number.name} logged {session.log_lines()}")


def no_display(program, shots):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    try:
        ended = subprocess.run([program], env=dict(env, SDL_AUDIODRIVER="dummy"), capture_output=True, timeout=10)
    except subprocess.TimeoutExpired:
        raise Failure("without a display the game ran on unseen")
    check(ended.returncode == 0, f"exit code {ended.returncode}")
    check(b"Error creating window" in ended.stderr, f"no error box: {ended.stderr!r}")


SCENARIOS = {f.__name__: f for f in (
    title_screen, chasing_her_away_returns_to_the_title, keys_are_not_held_without_the_focus,
    escape_quits, alt_f4_quits, resizing_snaps,
    alt_enter_fills_the_screen_and_back, full_screen_option, windowed_option_wins, missing_string_data,
    stop_signals_close_it, no_display)}


def main():
    global WINE
    arguments = sys.argv[1:]
    WINE = arguments[:1] == ["--wine"]
    arguments = arguments[1:] if WINE else arguments
    if len(arguments) != 3 or arguments[2] not in SCENARIOS:
        print(__doc__.strip() + "\n\nScenarios: " + ", ".join(SCENARIOS), file=sys.stderr)
        return 2
    program, shots, name = arguments
    if WINE and "WINEPREFIX" not in os.environ:
        os.environ["WINEPREFIX"] = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(program))),
                                                "wineprefix-display")
    try:
        SCENARIOS[name](os.path.abspath(program), os.path.abspath(shots))
    except Failure as failure:
        print(f"FAILED {name}: {failure} (screenshots in {os.path.join(shots)})", file=sys.stderr)
        return 1
    print(f"passed {name}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
