"""Helpers for driving the built Quorvin on a real X display.

The program is given real X input through xdotool and read the way a screen reader reads it,
through the accessibility bus (AT-SPI); window properties come from xwininfo and xprop, the
clipboard from xclip. Every wait polls a condition against a deadline.
"""

import os
import re
import shutil
import subprocess
import tempfile
import time

import pyatspi

STEP_TIMEOUT = 10.0  # seconds any one step may take before the test fails
POLL = 0.05


def wait_for(condition, what, timeout=STEP_TIMEOUT):
    """Polls condition() until it returns something true and returns that, or fails.

    what names the awaited state in the failure; a callable what is asked at the deadline.
    """
    deadline = time.monotonic() + timeout
    while True:
        try:
            value = condition()
        except Exception:  # the accessibility tree changes under our feet while windows open
            value = None
        if value:
            return value
        if time.monotonic() >= deadline:
            if callable(what):
                what = what()
            raise AssertionError("timed out after %.0f s waiting for %s" % (timeout, what))
        time.sleep(POLL)


def stays_false(condition, seconds):
    """True when condition() stays false for the whole given time."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            if condition():
                return False
        except Exception:
            pass
        time.sleep(POLL)
    return True


def run(*command):
    return subprocess.run(command, capture_output=True, text=True, timeout=STEP_TIMEOUT,
                          check=True).stdout


def key(*keys):
    """Presses keys through the X server's test extension, as a keyboard would."""
    run("xdotool", "key", "--delay", "30", *keys)


def key_to_window(window, *keys):
    """Sends keys straight to a window, past any key the window manager grabs."""
    run("xdotool", "key", "--window", str(window), *keys)


def type_text(text):
    run("xdotool", "type", "--delay", "30", text)


def click(x, y):
    # xdotool's --sync waits for a pointer motion, which never comes when the pointer is
    # already there (windows come up at the same place in every test).
    if run("xdotool", "getmouselocation").split()[:2] == ["x:%d" % x, "y:%d" % y]:
        run("xdotool", "click", "1")
    else:
        run("xdotool", "mousemove", "--sync", str(x), str(y), "click", "1")


def box_of(accessible):
    """An accessible's place on the screen: x, y, width, height."""
    return accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


def click_accessible(accessible):
    box = box_of(accessible)
    click(box.x + box.width // 2, box.y + box.height // 2)


def text_of(accessible):
    return accessible.queryText().getText(0, -1)


def has_state(accessible, state):
    return accessible.getState().contains(state)


def children(accessible):
    return [accessible.getChildAtIndex(index) for index in range(accessible.childCount)]


def descendants(accessible):
    for child in children(accessible):
        yield child
        yield from descendants(child)


def find(accessible, role, name=None):
    """The first descendant with the role (and the name, when given), or None."""
    for item in descendants(accessible):
        if item.getRole() == role and (name is None or item.name == name):
            return item
    return None


def clipboard_text():
    result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True,
                            timeout=STEP_TIMEOUT)
    return result.stdout.decode("utf-8") if result.returncode == 0 else None


def window_property(window, name):
    """xprop's line for one property of a window ("... not found." when it has none)."""
    return run("xprop", "-id", str(window), name).strip()


def window_geometry(window):
    """Left, top, width and height of a window's client area on the screen."""
    info = run("xwininfo", "-id", str(window))
    values = {name: int(re.search(name + r":\s+(-?\d+)", info).group(1))
              for name in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")}
    return (values["Absolute upper-left X"], values["Absolute upper-left Y"], values["Width"],
            values["Height"])


def frame_extents(window):
    """The window manager's frame around a window: left, right, top, bottom."""
    line = run("xprop", "-id", str(window), "_NET_FRAME_EXTENTS")
    return tuple(int(number) for number in re.findall(r"\d+", line.split("=", 1)[1]))


def click_close_box(window):
    """Clicks the close box at the right end of the window manager's title bar."""
    left, top, width, _ = window_geometry(window)
    _, right_edge, title_height, _ = frame_extents(window)
    click(left + width + right_edge - title_height // 2 - 1, top - title_height // 2)


def screen_size():
    info = run("xwininfo", "-root")
    return tuple(int(re.search(name + r":\s+(\d+)", info).group(1)) for name in ("Width", "Height"))


def viewable_windows():
    """Ids of the windows shown on the screen, frames and menus, whoever shows them."""
    tree = run("xwininfo", "-root", "-children")
    shown = set()
    for window in re.findall(r"^\s+(0x[0-9a-f]+)", tree, re.MULTILINE):
        info = subprocess.run(["xwininfo", "-id", window], capture_output=True, text=True,
                              timeout=STEP_TIMEOUT).stdout
        if "IsViewable" in info:
            shown.add(window)
    return shown


class Program:
    """One run of a copy of the built program in a scratch folder of its own.

    The program keeps its settings file beside its executable, so the copy's folder holds the
    settings file of this run and nothing is written beside the build.
    """

    def __init__(self, executable):
        self.folder = tempfile.mkdtemp(prefix="quorvin-e2e-")
        self.executable = os.path.join(self.folder, "quorvin")
        shutil.copy2(executable, self.executable)
        self.settings_file = os.path.join(self.folder, "quorvin.ini")
        self.process = None
        self.window = None

    def start(self, arguments=(), locale=None):
        """Starts the program with the given command line arguments, and in the locale given
        (LANG; the machine need not have generated it)."""
        # The program joins the accessibility bus only if that bus runs when it starts.
        pyatspi.Registry.getDesktop(0)
        environment = dict(os.environ, QT_QPA_PLATFORM="xcb",
                           QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        if locale is not None:
            for variable in ("LC_ALL", "LC_CTYPE"):
                environment.pop(variable, None)
            environment["LANG"] = locale
        self.process = subprocess.Popen([self.executable, *arguments], cwd=self.folder,
                                        env=environment, stdout=subprocess.DEVNULL)
        self.window = int(wait_for(self._find_window, "the main window on the screen").split()[0])
        wait_for(lambda: self.main_frame() and has_state(self.main_frame(), pyatspi.STATE_ACTIVE),
                 "the main window to become active")
        return self

    def _find_window(self):
        return subprocess.run(["xdotool", "search", "--onlyvisible", "--pid",
                               str(self.process.pid), "--name", "^Quorvin$"],
                              capture_output=True, text=True, timeout=STEP_TIMEOUT).stdout

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=STEP_TIMEOUT)
        for pid in self.processes():
            os.kill(pid, 9)
        shutil.rmtree(self.folder, ignore_errors=True)

    def processes(self):
        """Ids of the running processes of this copy of the program (the program itself and
        any process split off from it)."""
        found = []
        for entry in os.listdir("/proc"):
            if entry.isdigit():
                try:
                    if os.readlink("/proc/%s/exe" % entry) == self.executable:
                        found.append(int(entry))
                except OSError:
                    pass
        return found

    def resident_kib(self):
        """The program's resident memory in KiB."""
        with open("/proc/%d/status" % self.process.pid) as status:
            return next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))

    def wait_for_exit(self):
        try:
            return self.process.wait(timeout=STEP_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise AssertionError("the program did not end") from None

    def application(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for candidate in children(desktop):
            if candidate is not None and candidate.get_process_id() == self.process.pid:
                return candidate
        return None

    def top_levels(self):
        application = self.application()
        return children(application) if application is not None else []

    def main_frame(self):
        for window in self.top_levels():
            if window.getRole() == pyatspi.ROLE_FRAME and window.name == "Quorvin":
                return window
        return None

    def dialog(self, role, name):
        """The program's showing top-level window of the role and name, or None."""
        for window in self.top_levels():
            if (window.getRole() == role and window.name == name
                    and has_state(window, pyatspi.STATE_SHOWING)):
                return window
        return None

    def message_box(self):
        """The message box on the screen: (caption, text) or None."""
        box = self.dialog(pyatspi.ROLE_ALERT, "Quorvin")
        if box is None:
            return None
        texts = [label.name for label in descendants(box)
                 if label.getRole() == pyatspi.ROLE_LABEL and label.name]
        return (box.name, "\n".join(texts))

    def close_message_box(self):
        """Closes the message box with Enter and waits until the main window is active again.
        Enter goes to the box once it is active: on a busy machine it shows before that."""
        wait_for(lambda: (self.dialog(pyatspi.ROLE_ALERT, "Quorvin") is not None and
                          has_state(self.dialog(pyatspi.ROLE_ALERT, "Quorvin"),
                                    pyatspi.STATE_ACTIVE)),
                 "the message box to become active")
        key("Return")
        wait_for(lambda: self.message_box() is None, "the message box to close")
        wait_for(lambda: has_state(self.main_frame(), pyatspi.STATE_ACTIVE),
                 "the main window to become active again")

    def controls(self):
        """The main window's controls in the order they take the focus, by role."""
        frame = self.main_frame()
        client = next(child for child in children(frame) if child.getRole() == pyatspi.ROLE_FILLER)
        found = {"buttons": [], "texts": []}
        for child in children(client):
            if child.getRole() == pyatspi.ROLE_PUSH_BUTTON:
                found["buttons"].append(child)
            elif child.getRole() == pyatspi.ROLE_TEXT:
                found["texts"].append(child)
        return found

    def focused(self):
        for window in self.top_levels():
            for item in descendants(window):
                if has_state(item, pyatspi.STATE_FOCUSED):
                    return item
        return None
