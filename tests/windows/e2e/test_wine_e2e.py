"""End-to-end checks of quorvin.exe under Wine on a real X display with a window manager.

Usage: scripts/wine-session.sh PREFIX --host python3 test_wine_e2e.py QUORVIN.EXE
ACTIVE-WINDOW-TEXTS.EXE CLIPBOARD-TEXT.EXE [unittest options]: the session provides the display,
the window manager and the Wine prefix (WINEPREFIX) with its server. The program gets real X input
through xdotool; what it shows is read back through the clipboard (Wine shares it with X), from its
X windows (xwininfo) and with ACTIVE-WINDOW-TEXTS.EXE, which prints the class, caption, client size
and control texts of the window that is active in Wine. Wine gives X the clipboard's text with
"\n" for each "\r\n" (and a Windows program "\r\n" for each "\n" from X), so line breaks are
read with CLIPBOARD-TEXT.EXE, which prints the text on the Windows clipboard.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
WINE_RUN = os.path.join(HERE, "..", "..", "..", "scripts", "wine-run.sh")
STEP_TIMEOUT = 10.0  # seconds any one step may take before the test fails
MENU_SETTLE = 0.3  # seconds given to a second menu to show up where one is awaited
POLL = 0.05
QUORVIN = None
TEXTS_READER = None
CLIPBOARD_READER = None

FORM_CLASS = "QuorvinForm"  # the window class of the program's own windows
MESSAGE_BOX_CLASS = "#32770"  # Windows' dialog class, that of message boxes
MAIN_CLIENT = (715, 249)
SUPPORT_CLIENT = (884, 494)
# Controls that the tests click, as (left, top, width, height) in their window's client area.
POSITION_FIELD = (88, 32, 233, 23)
SINGLE_BUTTON = (8, 56, 313, 25)
VALUE_FIELD = (8, 88, 313, 23)
MEMORY_LIST = (328, 0, 385, 129)
COUNT_FIELD = (328, 160, 385, 23)
LIST_BUTTON = (328, 192, 385, 25)
# A spot on the list's first row, 120 pixels in: within a 26-letter word that starts at the
# fourth letter in any font of 5 to 11 pixels a letter (the list's is 8).
LIST_WORD_SPOT = (328 + 120, 0, 1, 14)
FIRST_COPY_BUTTON = (512 + 208, 104, 145, 25)  # in the group box at 512, 0
SUPPORT_CLOSE_BUTTON = (408, 464, 113, 25)


def poll(read, accept, what, timeout=STEP_TIMEOUT):
    """Reads until accept(value) holds and returns the value; fails naming what was awaited
    and the last value seen."""
    deadline = time.monotonic() + timeout
    while True:
        value = read()
        if accept(value):
            return value
        if time.monotonic() >= deadline:
            raise AssertionError("timed out after %.0f s waiting for %s; seen: %r"
                                 % (timeout, what, value))
        time.sleep(POLL)


def poll_equal(read, expected, what):
    return poll(read, lambda value: value == expected, "%s to be %r" % (what, expected))


def run(*command):
    return subprocess.run(command, capture_output=True, text=True, timeout=STEP_TIMEOUT,
                          check=True).stdout


def key(*keys):
    run("xdotool", "key", "--delay", "30", *keys)


def type_text(text):
    run("xdotool", "type", "--delay", "30", text)


def click(point, button=1, count=1):
    x, y = point
    clicks = ("click", "--repeat", str(count), str(button))
    # --sync waits for a pointer motion, which never comes when the pointer is already there.
    if run("xdotool", "getmouselocation").split()[:2] == ["x:%d" % x, "y:%d" % y]:
        run("xdotool", *clicks)
    else:
        run("xdotool", "mousemove", "--sync", str(x), str(y), *clicks)


def clipboard_text():
    result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True,
                            timeout=STEP_TIMEOUT)
    return result.stdout.decode("utf-8", "replace") if result.returncode == 0 else None


def windows_clipboard_text(*arguments):
    result = subprocess.run([WINE_RUN, os.environ["WINEPREFIX"], CLIPBOARD_READER, *arguments],
                            capture_output=True, timeout=STEP_TIMEOUT)
    return result.stdout.decode("utf-8", "replace") if result.returncode == 0 else None


def assert_program_owns_clipboard():
    """Windows keeps text put on a clipboard only when a window opened it: the program's
    application window."""
    owner = windows_clipboard_text("owner")
    if owner != "QuorvinApplication":
        raise AssertionError("the clipboard's owner is %r, not the program's window" % owner)


def put_on_clipboard(text):
    # xclip stays behind to hold the text until another program takes the clipboard.
    subprocess.run(["xclip", "-selection", "clipboard", "-i"], input=text.encode("utf-8"),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=STEP_TIMEOUT,
                   check=True)


def open_menus():
    """The program's open popup menus: X windows of its own that no window manager frames."""
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--maxdepth", "1", "--class",
                           "quorvin.exe"], capture_output=True, text=True,
                          timeout=STEP_TIMEOUT).stdout.split()


def active_x_window():
    result = subprocess.run(["xdotool", "getactivewindow"], capture_output=True, text=True,
                            timeout=STEP_TIMEOUT)
    return int(result.stdout) if result.returncode == 0 else None


def geometry(window):
    """(x, y, width, height) of an X window on the screen."""
    fields = dict(line.strip().split(": ", 1) for line in run("xwininfo", "-id", str(window))
                  .splitlines() if ": " in line)
    return tuple(int(fields[name]) for name in
                 ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))


def active_window_texts():
    """[class, caption, "WIDTHxHEIGHT", control texts...] of Wine's active window."""
    result = subprocess.run([WINE_RUN, os.environ["WINEPREFIX"], TEXTS_READER],
                            capture_output=True, timeout=STEP_TIMEOUT)
    records = result.stdout.decode("utf-8", "replace").split("\0")[:-1]
    return records if result.returncode == 0 else []


def centre(origin, box):
    left, top, width, height = box
    return origin[0] + left + width // 2, origin[1] + top + height // 2


def list_line(position):
    """The list readout's line: the position's low byte as a signed byte, in 32-bit hex."""
    signed = ((position & 0xFF) ^ 0x80) - 0x80
    return "%x\n" % (signed & 0xFFFFFFFF)


class Program:
    """quorvin.exe copied into a folder of its own, so that its settings file lands there."""

    def __init__(self):
        self.folder = tempfile.mkdtemp()
        self.executable = os.path.join(self.folder, "quorvin.exe")
        self.settings_file = os.path.join(self.folder, "quorvin.ini")
        shutil.copy(QUORVIN, self.executable)
        self.process = None
        self.window = None

    def start(self):
        self.process = subprocess.Popen([WINE_RUN, os.environ["WINEPREFIX"], self.executable],
                                        cwd=self.folder, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wait_until_active("the main window", FORM_CLASS, "Quorvin")
        self.window = active_x_window()

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)

    def wait_for_exit(self):
        return self.process.wait(timeout=STEP_TIMEOUT)

    def wait_until_active(self, what, window_class, caption=None):
        """The texts of the active window once it is of the class (and caption) given."""
        return poll(active_window_texts,
                    lambda records: len(records) >= 3 and records[0] == window_class and
                    caption in (None, records[1]),
                    "%s to be active in Wine" % what)

    def main_client_origin(self):
        # Wine's X window is the client area below the menu bar.
        x, y, _, height = geometry(self.window)
        return x, y + height - MAIN_CLIENT[1]

    def at(self, box):
        return centre(self.main_client_origin(), box)


class WineTest(unittest.TestCase):
    def setUp(self):
        self.program = Program()
        self.addCleanup(self.program.stop)
        self.program.start()

    def type_into(self, field, text):
        click(self.program.at(field))
        key("ctrl+a")
        type_text(text)

    def assert_copied(self, keys, expected, what, at=None, pasted="", read=clipboard_text):
        """Copies with the keys (after a click at a point, if given) and compares the clipboard,
        on which the text to paste (none by default) is put first."""
        put_on_clipboard(pasted)
        if at is not None:
            click(at)
        key(*keys)
        poll_equal(read, expected, what + " on the clipboard")

    def choose_from_menu(self, open_menu, letter):
        """Opens a popup menu with open_menu() and chooses the item underlined with the letter."""
        open_menu()
        poll(open_menus, bool, "a menu to open")
        time.sleep(MENU_SETTLE)
        self.assertEqual(len(open_menus()), 1, "the menus open")
        key(letter)
        poll_equal(open_menus, [], "the menu to close")

    def assert_message_box(self, text):
        """Waits for a message box titled with the program's title and closes it with Enter."""
        records = self.program.wait_until_active("a message box", MESSAGE_BOX_CLASS)
        self.assertEqual(records[1], "Quorvin", "the message box's title")
        self.assertEqual(sorted(filter(None, records[3:])), sorted([text, "OK"]),
                         "the message box's text and button")
        key("Return")
        poll_equal(active_x_window, self.program.window, "the main window to be active again")


class MainWindowTest(WineTest):
    def test_client_area_is_715_by_249_below_the_menu_bar_and_cannot_be_resized(self):
        records = active_window_texts()
        self.assertEqual(records[1:3], ["Quorvin", "%dx%d" % MAIN_CLIENT],
                         "caption and client size")
        _, _, width, height = geometry(self.program.window)
        self.assertEqual(width, MAIN_CLIENT[0], "the X window's width")
        self.assertTrue(18 <= height - MAIN_CLIENT[1] <= 24,
                        "the X window is %d high: not 249 and one menu bar row" % height)

        window = str(self.program.window)
        hints = run("xprop", "-id", window, "WM_NORMAL_HINTS")
        for limit in ("minimum", "maximum"):
            self.assertIn("%s size: %d by %d" % (limit, width, height), hints)
        actions = run("xprop", "-id", window, "_NET_WM_ALLOWED_ACTIONS")
        for allowed in ("_NET_WM_ACTION_MINIMIZE", "_NET_WM_ACTION_CLOSE"):
            self.assertIn(allowed, actions)
        for refused in ("_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MAXIMIZE"):
            self.assertNotIn(refused, actions)

    def test_a_typed_position_is_read_out_and_an_invalid_one_reported(self):
        self.type_into(POSITION_FIELD, "65")
        click(self.program.at(SINGLE_BUTTON))
        self.assert_copied(["ctrl+a", "ctrl+c"], "A", "the value field",
                           at=self.program.at(VALUE_FIELD))

        self.type_into(POSITION_FIELD, "abc")
        click(self.program.at(SINGLE_BUTTON))
        self.assert_message_box("'abc' is not a valid integer value.")
        self.assert_copied(["ctrl+a", "ctrl+c"], "A", "the value field, unchanged,",
                           at=self.program.at(VALUE_FIELD))

    def test_the_list_readout_of_130_and_of_2147483647_lines(self):
        self.type_into(COUNT_FIELD, "130")
        click(self.program.at(LIST_BUTTON))
        self.assert_copied(["ctrl+a", "ctrl+c"], "".join(map(list_line, range(130))),
                           "the list of 130 lines", at=self.program.at(MEMORY_LIST))

        self.type_into(COUNT_FIELD, "2147483647")
        click(self.program.at(LIST_BUTTON))
        # The window answers at once: the reader gives up on a control after two seconds.
        records = active_window_texts()
        self.assertIn("2147483647", records, "the count field")
        self.assertNotIn("(no answer)", records, "the window's controls")
        click(self.program.at(MEMORY_LIST))
        self.assert_copied(["ctrl+Home", "shift+Down", "ctrl+c"], list_line(0),
                           "the first line")
        self.assert_copied(["ctrl+End", "shift+Up", "ctrl+c"], list_line(2147483646),
                           "the last line")


class ListTest(WineTest):
    """The list readout's keys, mouse and context menu: those of a Windows multi-line edit."""

    def test_words_are_stepped_over_selected_deleted_and_double_clicked(self):
        self.type_into(MEMORY_LIST, "alpha beta_2 gamma.delta")
        # Ctrl+Right stops at the start of "beta_2", then of "gamma", which ends at the full stop.
        self.assert_copied(["ctrl+Home", "ctrl+Right", "ctrl+Right", "ctrl+shift+Right",
                            "ctrl+c"], "gamma", "the third word")
        self.assert_copied(["ctrl+End", "ctrl+shift+Left", "ctrl+shift+Left", "ctrl+Insert"],
                           ".delta", "the last two words")
        self.assert_copied(["End", "ctrl+BackSpace", "ctrl+Home", "ctrl+Delete", "ctrl+a",
                            "ctrl+c"], "beta_2 gamma.", "the line less its first and last words")

        self.type_into(MEMORY_LIST, "ab the_word_under_the_pointer cd")
        click(self.program.at(LIST_WORD_SPOT), count=2)
        self.assert_copied(["ctrl+c"], "the_word_under_the_pointer", "the double-clicked word")

    def test_cut_paste_and_undo_keys_pasted_line_breaks_and_surrogate_pairs(self):
        # Wine hands the program "x\r\ny\rz\r\nw": a lone CR breaks the line too.
        self.assert_copied(["ctrl+a", "shift+Insert", "ctrl+a", "ctrl+Insert"],
                           "x\r\ny\r\nz\r\nw", "the four pasted lines",
                           at=self.program.at(MEMORY_LIST), pasted="x\ny\rz\r\nw",
                           read=windows_clipboard_text)
        self.assert_copied(["ctrl+Home", "shift+Down", "shift+Delete"], "x\r\n",
                           "the cut first line", read=windows_clipboard_text)
        self.assert_copied(["ctrl+a", "ctrl+c"], "y\nz\nw", "the lines left")
        self.assert_copied(["alt+BackSpace", "ctrl+a", "ctrl+c"], "x\ny\nz\nw",
                           "the lines after the cut is undone")

        # Left and Right step over the emoji's two UTF-16 units at once.
        self.assert_copied(["ctrl+a", "ctrl+v", "Home", "Right", "shift+Right", "ctrl+c"],
                           "\U0001F600", "the emoji selected rightwards", pasted="a\U0001F600b")
        self.assert_copied(["End", "Left", "shift+Left", "ctrl+c"], "\U0001F600",
                           "the emoji selected leftwards")

    def test_context_menu_by_right_click_and_shift_f10_copies_crlf_lines(self):
        self.type_into(COUNT_FIELD, "3")
        click(self.program.at(LIST_BUTTON))
        memory_list = self.program.at(MEMORY_LIST)
        self.choose_from_menu(lambda: click(memory_list, button=3), "a")
        put_on_clipboard("")
        self.choose_from_menu(lambda: click(memory_list, button=3), "c")
        poll_equal(windows_clipboard_text, "0\r\n1\r\n2\r\n", "the list copied by the menu")
        assert_program_owns_clipboard()

        click(memory_list)  # drops the selection
        self.choose_from_menu(lambda: key("shift+F10"), "a")
        put_on_clipboard("")
        self.choose_from_menu(lambda: key("shift+F10"), "c")
        poll_equal(windows_clipboard_text, "0\r\n1\r\n2\r\n",
                   "the list copied by the keyboard's menu")

    # The menu key comes as WM_CONTEXTMENU when it is let go; one menu opens, not two.
    def test_alt_h_in_the_list_opens_the_help_menu_and_types_nothing(self):
        self.type_into(MEMORY_LIST, "list")
        # The first Esc closes the menu, the second leaves the menu bar.
        self.choose_from_menu(lambda: key("alt+h"), "Escape")
        key("Escape")
        self.assert_copied(["ctrl+a", "ctrl+c"], "list", "the list's text")

    def test_the_menu_key_opens_one_context_menu(self):
        self.type_into(MEMORY_LIST, "menu key")
        self.choose_from_menu(lambda: key("Menu"), "a")
        self.assert_copied(["ctrl+c"], "menu key", "the text selected by the menu")


class SettingsTest(WineTest):
    def choose_language_and_exit(self, letter):
        key("alt+s", letter)
        key("alt+f", "e")
        self.assertEqual(self.program.wait_for_exit(), 0, "the exit code")

    def read_settings(self):
        with open(self.program.settings_file, "rb") as settings:
            return settings.read()

    def test_the_set_menu_choice_is_written_beside_the_executable_by_file_exit(self):
        self.assertFalse(os.path.exists(self.program.settings_file))
        self.choose_language_and_exit("e")
        self.assertEqual(self.read_settings(), b"[Setting]\r\nbChinese=0\r\n", "after English")
        self.program.start()
        self.choose_language_and_exit("c")
        self.assertEqual(self.read_settings(), b"[Setting]\r\nbChinese=1\r\n", "after Chinese")


class SupportDialogTest(WineTest):
    def test_copy_button_puts_the_card_number_on_the_clipboard(self):
        key("alt+r")
        records = self.program.wait_until_active("the support dialog", FORM_CLASS, "打赏作者")
        self.assertEqual(records[2], "%dx%d" % SUPPORT_CLIENT, "the dialog's client size")
        dialog = poll(active_x_window, lambda window: window != self.program.window,
                      "the support dialog's X window")
        x, y, width, height = geometry(dialog)
        self.assertEqual((width, height), SUPPORT_CLIENT, "the dialog's X window size")

        # The card number is the label that follows the first "卡号：" label.
        card_number = records[records.index("卡号：") + 1]
        self.assertRegex(card_number, r"^[0-9 ]+$")
        put_on_clipboard("")
        click(centre((x, y), FIRST_COPY_BUTTON))
        poll_equal(clipboard_text, card_number, "the card number on the clipboard")
        assert_program_owns_clipboard()

        click(centre((x, y), SUPPORT_CLOSE_BUTTON))
        self.assert_message_box("OK!")


if __name__ == "__main__":
    QUORVIN, TEXTS_READER, CLIPBOARD_READER = (os.path.abspath(path) for path in sys.argv[1:4])
    unittest.main(argv=sys.argv[:1] + sys.argv[4:], verbosity=2)
