#!/usr/bin/env python3
"""The real program, the Linux one or velmora.exe under Wine, on an Xvfb display of each scenario's own, driven
by xdotool's keys and judged by screenshots kept in SHOT_FOLDER/SCENARIO. Exits with 0 when it passed.
    velmora_e2e.py [--wine] PROGRAM SHOT_FOLDER SCENARIO"""

import os
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SCREEN_WIDTH, SCREEN_HEIGHT = 1280, 1024
VIRTUAL_WIDTH, VIRTUAL_HEIGHT = 160, 120
FIRST_WINDOW = (1120, 840)
# Screenshots are judged at a quarter of their size, sampled unblended: the pixel art's colours survive.
SAMPLE = 4
# No sound, or a card that is not there: ALSA looks for it, fails, and the game plays on silently.
NO_SOUND = {"SDL_AUDIODRIVER": "dummy"}
MISSING_SOUND_CARD = {"SDL_AUDIODRIVER": "alsa", "AUDIODEV": "hw:9"}
WINE = False  # set by --wine: the program is a Windows one, run through Wine
# Every wait ends at the event it waits for; this bounds only a wait for what never comes, however loaded the machine.
CEILING = 60


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Picture:
    """An RGB screenshot, sampled; coordinates are screen pixels."""

    def __init__(self, path):
        self.width, self.height = SCREEN_WIDTH // SAMPLE, SCREEN_HEIGHT // SAMPLE
        self.raw = subprocess.run(
            ["convert", path, "-sample", f"{self.width}x{self.height}!", "-depth", "8", "rgb:-"],
            check=True, capture_output=True, timeout=CEILING).stdout

    def pixels(self, left, top, width, height):
        x0, y0 = max(0, left // SAMPLE), max(0, top // SAMPLE)
        x1 = min(self.width, (left + width) // SAMPLE)
        for y in range(y0, min(self.height, (top + height) // SAMPLE)):
            row = self.raw[(y * self.width + x0) * 3:(y * self.width + x1) * 3]
            yield from zip(row[0::3], row[1::3], row[2::3])

    def share(self, area, test):
        """The share of the area's pixels that pass the test."""
        tests = [test(*colour) for colour in self.pixels(*area)]
        return sum(tests) / len(tests) if tests else 0.0


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

    def virtual_area(self, left=0, bottom=0, width=VIRTUAL_WIDTH, height=VIRTUAL_HEIGHT):
        """A rectangle of the virtual screen (origin bottom-left, y up)."""
        k = self.scale
        return (self.left + left * k, self.top + (VIRTUAL_HEIGHT - bottom - height) * k, width * k, height * k)


class Session:
    """One Xvfb display (and under Wine one Wine server) with runs of the game on it."""

    def __init__(self, name, program, shots, sound=NO_SOUND):
        self.program, self.sound = program, sound
        self.shots = os.path.join(shots, name)
        shutil.rmtree(self.shots, ignore_errors=True)
        os.makedirs(self.shots)
        self.stderr_path, self.shot_count, self.xvfb, self.game = os.path.join(self.shots, "stderr.txt"), 0, None, None

    def __enter__(self):
        read_end, write_end = os.pipe()
        # -noreset: a game started as the last one quits must not meet a resetting server.
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                      f"{SCREEN_WIDTH}x{SCREEN_HEIGHT}x24", "-nolisten", "tcp", "-noreset"],
                                     pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end, "rb") as display_pipe:
            number = display_pipe.readline().strip()
        check(number, "Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=":" + number.decode(), LIBGL_ALWAYS_SOFTWARE="1", **self.sound)
        if WINE:
            # Wine keeps the screen size of the first display its server met,
            # so each display gets a server of its own, kept for all its runs.
            here = os.path.dirname(os.path.abspath(__file__))
            self.env.update(WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
                            ALSA_CONFIG_PATH=os.path.join(here, "..", "windows", "alsa-null.conf"))
            # It outlives its last program by a minute at most, should this harness be killed.
            subprocess.run(["wineserver", "-w"], env=self.env, timeout=CEILING)
            subprocess.run(["wineserver", f"-p{CEILING}"], env=self.env, timeout=CEILING)
        return self

    def __exit__(self, exc_type, exc, trace):
        try:
            # Every run ends as a player would end it: Esc, and a clean exit.
            if exc_type is None and self.game and self.game.poll() is None:
                self.quit()
        finally:
            for process in (self.game, self.xvfb):
                if process and process.poll() is None:
                    process.kill()
                    process.wait()
            if WINE:
                subprocess.run(["wineserver", "-k"], env=self.env, timeout=CEILING)
                subprocess.run(["wineserver", "-w"], env=self.env, timeout=CEILING)

    def launch(self, arguments=(), program=None):
        # Started from elsewhere: the game must find its files beside itself.
        self.program = program or self.program
        with open(self.stderr_path, "wb") as log:
            self.game = subprocess.Popen((["wine"] if WINE else []) + [self.program, *arguments],
                                         cwd=tempfile.gettempdir(), env=self.env, stdout=subprocess.DEVNULL, stderr=log)

    def start(self, *launch):
        self.launch(*launch)
        self.window_id = self.wait_for(self.find_window, "the window never appeared")
        self.xdotool("windowfocus", "--sync", self.window_id)
        return self

    def start_at_title(self, *launch):
        window = self.start(*launch).window()
        self.wait_for_picture("title", shows_title(window))
        return window

    def quit(self, keys="Escape", code=0):
        self.xdotool("windowfocus", "--sync", self.window_id)
        check(self.hold(keys, self.wait_for_exit) == code,
              f"exit code {self.game.returncode} after {keys}; see {self.stderr_path}")

    def xdotool(self, *arguments):
        result = subprocess.run(["xdotool", *arguments], env=self.env, capture_output=True, text=True, timeout=CEILING)
        return result.stdout if result.returncode == 0 else None

    def find_window(self):
        check(self.game.poll() is None, f"the game ended early with {self.game.returncode}")
        found = self.xdotool("search", "--onlyvisible", "--name", "^Game$")
        return found.split()[0] if found else None

    def wait_for(self, probe, message):
        deadline = time.monotonic() + CEILING
        while not (value := probe()):
            check(time.monotonic() < deadline, message() if callable(message) else message)
            time.sleep(0.1)
        return value

    def window(self):
        lines = self.xdotool("getwindowgeometry", "--shell", self.window_id)
        values = dict(line.split("=", 1) for line in lines.split())
        return Window(int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"]))

    def wait_for_window(self, width, height):
        return self.wait_for(lambda: (lambda w: (w.width, w.height) == (width, height) and w)(self.window()),
                             lambda: f"window is {self.window().__dict__}, not {width}x{height}")

    def screenshot(self, label):
        self.shot_count += 1
        path = os.path.join(self.shots, f"{self.shot_count:02d}-{label}.png")
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True, timeout=CEILING)
        return Picture(path)

    def wait_for_picture(self, label, test):
        return self.wait_for(lambda: (lambda p: test(p) and p)(self.screenshot(label)),
                             f"no screenshot showed {label} within {CEILING} s")

    def hold(self, key, until):
        """Holds the key down until what it brings about has happened, however long a tick of the game takes."""
        self.xdotool("keydown", key)
        try:
            return until()
        finally:
            self.xdotool("keyup", key)

    def wait_for_exit(self):
        self.wait_for(lambda: self.game.poll() is not None, f"the game did not end within {CEILING} s")
        return self.game.returncode

    def log_lines(self):
        """The lines the game logged: its standard error, or under Wine what its console shows."""
        if WINE:
            reader = os.path.join(os.path.dirname(self.program), "console-reader.exe")
            text = subprocess.run(["wine", reader, os.path.basename(self.program)], env=self.env,
                                  capture_output=True, timeout=CEILING).stdout
        else:
            text = pathlib.Path(self.stderr_path).read_bytes()
        return [line for line in text.decode(errors="replace").splitlines() if line.strip()]


def shows_title(window):
    def test(picture):
        # The night-sky picture fills the virtual screen; the title text is white.
        lit = picture.share(window.virtual_area(), lambda *c: not is_black(*c))
        return lit > 0.6 and picture.share(window.virtual_area(4, 104, 40, 12), is_white) > 0.05
    return test


def shows_courtship(window):
    def test(picture):
        upper = window.virtual_area(0, 60, VIRTUAL_WIDTH, 60)
        return (picture.share(upper, is_fear_red) > 0.002 and picture.share(upper, is_excitement_green) > 0.002
                and picture.share(window.virtual_area(0, 0, 60, 40), is_spider_brown) > 0.02
                and picture.share(window.virtual_area(100, 0, 60, 40), is_spider_brown) > 0.02)
    return test


def shows_outcome_message(window):
    def test(picture):
        whole = window.virtual_area()
        return (picture.share(whole, is_white) > 0.01 and picture.share(whole, is_fear_red) == 0
                and picture.share(whole, lambda *c: not is_black(*c) and not is_white(*c)) < 0.05)
    return test


def playing(program, shots):
    """Title, a chase, the title again, Alt+Enter there and back, Esc; with a sound card not there."""
    with Session("playing", program, shots, sound=MISSING_SOUND_CARD) as session:
        window = session.start_at_title()
        check((window.width, window.height) == FIRST_WINDOW, f"first window {window.width}x{window.height}")
        if WINE:
            check(not session.xdotool("search", "--name", r"velmora\.exe"), "a healthy start opened a console")
        else:
            icon = subprocess.run(["xprop", "-id", session.window_id, "_NET_WM_ICON"], env=session.env,
                                  capture_output=True, text=True, timeout=CEILING).stdout
            check("Icon (32 x 32)" in icon, f"the window has no icon of its own: {icon.strip()}")
        session.hold("space", lambda: session.wait_for_picture("courtship", shows_courtship(window)))
        session.hold("Right", lambda: session.wait_for_picture("message", shows_outcome_message(window)))
        session.wait_for_picture("title-again", shows_title(window))
        # Nothing logged, not even by ALSA looking for the missing card.
        check(WINE or session.log_lines() == [], f"the game logged {session.log_lines()}")
        alt_enter_fills_the_screen_and_back(session, window)


def alt_enter_fills_the_screen_and_back(session, framed):
    session.xdotool("keydown", "alt+Return")
    full = session.wait_for_window(SCREEN_WIDTH, SCREEN_HEIGHT)
    # Held past the keyboard's repeat delay, the keys still switch once.
    for _ in range(8):
        time.sleep(0.15)
        check(session.window().__dict__ == full.__dict__, "a held Alt+Enter switched again")
    session.xdotool("keyup", "alt+Return")
    check((full.x, full.y) == (0, 0), f"full screen at {full.x},{full.y}")
    session.wait_for_picture("full-screen", shows_title(full))
    session.xdotool("key", "alt+Return")
    back = session.wait_for_window(framed.width, framed.height)
    check((back.x, back.y) == (framed.x, framed.y), f"back at {back.x},{back.y}, was {framed.x},{framed.y}")
    session.wait_for_picture("framed-again", shows_title(back))
    # Keys are handled in turn: had Enter alone switched, Alt+Enter after it would switch back.
    session.xdotool("key", "Return")
    session.xdotool("key", "alt+Return")
    session.wait_for(lambda: session.window().__dict__ == full.__dict__, "Enter alone changed the mode")


def command_line_options(program, shots):
    """-f starts in full screen, the framed window it would have had coming back on Alt+Enter; -w wins over -f."""
    with Session("command_line_options", program, shots) as session:
        window = session.start(["-f"]).wait_for_window(SCREEN_WIDTH, SCREEN_HEIGHT)
        session.wait_for_picture("full-screen", shows_title(window))
        session.xdotool("key", "alt+Return")
        session.wait_for_window(*FIRST_WINDOW)
        # On Linux Alt+F4 belongs to the window manager, and Xvfb runs none.
        session.quit("alt+F4" if WINE else "Escape")
        for arguments in (["-f", "-w"], ["-wf"]):
            window = session.start_at_title(arguments)
            check((window.width, window.height) == FIRST_WINDOW, f"{arguments} gave {window.width}x{window.height}")
            if not WINE:
                session.xdotool("windowsize", session.window_id, "500", "370")
                session.wait_for_picture("snapped", shows_title(session.wait_for_window(500, 360)))
                # A side too short for the other is raised to the same multiple.
                session.xdotool("windowsize", session.window_id, "250", "190")
                session.wait_for_picture("snapped-small", shows_title(session.wait_for_window(320, 240)))
            session.quit()


def missing_string_data(program, shots):
    """The log lines of a start without string data; the Linux window stays black, and Esc still quits."""
    with tempfile.TemporaryDirectory() as folder:
        for name in [os.path.basename(program), "Data"] + (["console-reader.exe"] if WINE else []):
            source = os.path.join(os.path.dirname(program), name)
            (shutil.copytree if os.path.isdir(source) else shutil.copy)(source, os.path.join(folder, name))
        with Session("missing_string_data", os.path.join(folder, os.path.basename(program)), shots) as session:
            window = session.start().window()
            lines = session.wait_for(lambda: (lambda found: len(found) >= 3 and found)(session.log_lines()),
                                     lambda: f"logged {session.log_lines()}")
            if not WINE:
                area = (window.x, window.y, window.width, window.height)
                session.wait_for_picture("black", lambda p: p.share(area, lambda *c: not is_black(*c)) == 0)
            session.quit()
            lines = lines if WINE else session.log_lines()
            check(len(lines) == 3 and lines[0] == "Error loading string data StringData.txt"
                  and lines[1].startswith(("Error opening file ", "Error loading font "))
                  and lines[2] == "Error initialising renderer", f"logged {lines}")


def failing_gl(program, shots):
    """Windows only: each failing step of the OpenGL set-up shows its error box, once, and ends with 1."""
    boxes = {2: "Error choosing pixel format", 3: "Error creating OpenGL context", 4: "Error attaching OpenGL context"}
    with Session("failing_gl", program, shots) as session, tempfile.TemporaryDirectory() as folder:
        record = os.path.join(folder, "error-boxes.txt")
        for step, box in boxes.items():
            # Kept beside the program, where it writes what its error boxes say.
            copy = shutil.copy(os.path.join(os.path.dirname(program), f"velmora-failing-gl-{step}.exe"), folder)
            session.start([], copy)
            session.wait_for(lambda: os.path.exists(record), f"step {step} showed no error box")
            session.quit("Return", 1)
            # One box, with the failing step's words, and no more after it.
            said = pathlib.Path(record).read_text()
            check(said == box + "\n", f"step {step}: the error boxes said {said!r}")
            os.remove(record)


def in_main(game, program):
    """Whether the game holds SIGTERM back or handles it, as from main's first statement on, or has moved into its
    own folder, as main does soon after."""
    try:
        with open(f"/proc/{game.pid}/status") as status:
            masks = [int(line.split()[1], 16) for line in status if line.startswith(("SigBlk", "SigCgt"))]
        moved = os.readlink(f"/proc/{game.pid}/cwd") == os.path.dirname(os.path.realpath(program))
    except OSError:
        return False
    return moved or any(mask >> (signal.SIGTERM - 1) & 1 for mask in masks)


def stop_signals_close_it(program, shots):
    # SIGTERM and Ctrl+C end it as Esc does, while it runs and in its first moments: 0 to 50 ms after the start,
    # then as long after main's first statement. Only a run the signal reached before main, which the system ends,
    # may end otherwise.
    with Session("stop_signals", program, shots) as session:
        for run in range(-1, 20):
            number = (signal.SIGTERM, signal.SIGINT)[run % 2]
            session.start_at_title() if run < 0 else session.launch()
            while run >= 10 and not in_main(session.game, program):
                check(session.game.poll() is None, f"the game ended by itself with {session.game.returncode}")
            time.sleep(run % 10 * 0.005)
            reached = in_main(session.game, program)
            session.game.send_signal(number)
            code = session.wait_for_exit()
            check((code == 0 or not reached and code == -number) and session.log_lines() == [],
                  f"{number.name} in run {run}: exit code {code}, logged {session.log_lines()}")


def run_with_stderr_gone(program, shots, closed):
    """Started beside whatever data lies there, with standard error closed or a pipe whose reader has gone, the game
    neither hangs nor dies of what it writes: its window comes, and Esc ends it."""
    with Session("stderr_closed" if closed else "stderr_reader_gone", program, shots) as session:
        reader, writer = os.pipe()
        os.close(reader)
        session.game = subprocess.Popen([program], cwd=tempfile.gettempdir(), env=session.env,
                                        stdout=subprocess.DEVNULL, stderr=writer,
                                        preexec_fn=(lambda: os.close(2)) if closed else None)
        os.close(writer)
        session.window_id = session.wait_for(session.find_window, "the window never appeared")
        session.quit()


def pad_plays(program, shots):
    """Linux only, with the virtual pad of tools/virtual_pad: A and start begin games, the d-pad and the stick walk
    her away; pulled out while holding left, it lets the keyboard's Right walk; plugged in again, back quits."""
    with tempfile.TemporaryDirectory() as folder, Session("pad_plays", "/usr/bin/env", shots) as session:
        commands = os.path.join(folder, "pad")
        os.mkfifo(commands)
        pipe = os.open(commands, os.O_RDWR)

        def pad(*lines):
            os.write(pipe, "".join(line + "\n" for line in lines).encode())
        pad("attach")
        # Started through env, so that only the game gets the pad.
        window = session.start_at_title(
            [f"LD_PRELOAD={os.environ['VELMORA_VIRTUAL_PAD']}", f"VELMORA_PAD_COMMANDS={commands}", program])
        # Each button is held until the game shows what it brought about; the
        # message is left to end by itself, long after the button came up.
        for begin, walk in (("a", "dpright 1"), ("start", "leftx 32767")):
            pad(f"{begin} 1")
            session.wait_for_picture(f"{begin}-began", shows_courtship(window))
            pad(f"{begin} 0", walk)
            session.wait_for_picture(f"{begin}-chased", shows_outcome_message(window))
            pad(walk.split()[0] + " 0")
            session.wait_for_picture(f"{begin}-title", shows_title(window))
        pad("a 1")
        session.wait_for_picture("began", shows_courtship(window))
        pad("a 0", "dpleft 1")
        # Left on the pad and Right on the keyboard: he stands until the pad, pulled out, lets go.
        session.xdotool("keydown", "Right")
        pad("detach")
        session.wait_for_picture("pulled-out", shows_outcome_message(window))
        session.xdotool("keyup", "Right")
        pad("attach", "back 1")
        check(session.wait_for_exit() == 0 and session.log_lines() == [],
              f"exit code {session.game.returncode}, logged {session.log_lines()}")


SCENARIOS = {f.__name__: f for f in (playing, command_line_options, missing_string_data, failing_gl,
                                      stop_signals_close_it, pad_plays)}
SCENARIOS.update(stderr_closed=lambda *run: run_with_stderr_gone(*run, True),
                 stderr_reader_gone=lambda *run: run_with_stderr_gone(*run, False))


def main():
    global WINE
    WINE = sys.argv[1:2] == ["--wine"]
    arguments = sys.argv[1 + WINE:]
    if len(arguments) != 3 or arguments[2] not in SCENARIOS:
        print(__doc__ + "\n\nScenarios: " + ", ".join(SCENARIOS), file=sys.stderr)
        return 2
    program, shots, name = os.path.abspath(arguments[0]), os.path.abspath(arguments[1]), arguments[2]
    if WINE:
        os.environ.setdefault("WINEPREFIX", str(pathlib.Path(program).parents[1] / "wineprefix-display"))
    # Stopped from outside, it still ends the game, its display and its Wine server.
    signal.signal(signal.SIGTERM, lambda number, frame: check(False, "stopped by SIGTERM"))
    try:
        SCENARIOS[name](program, shots)
    except Failure as failure:
        print(f"FAILED {name}: {failure} (screenshots in {shots})", file=sys.stderr)
        return 1
    print(f"passed {name}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
