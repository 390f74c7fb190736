"""End-to-end checks of the built program on a real X display with a window manager.

Usage: test_desktop.py PATH-TO-QUORVIN [unittest options]. Run it through run-under-xvfb.sh,
which provides the display, the window manager and the session bus.
"""

import os
import sys
import unittest

import pyatspi

from desktop import (Program, box_of, click_accessible, click_close_box, clipboard_text,
                     descendants, find, has_state, key, key_to_window, run,
                     stays_false, text_of, type_text, viewable_windows, wait_for, window_geometry)

EXECUTABLE = None
BUTTON1 = "Reawd word   sentence.urg...."
EXIT_ITEM = "退出本软件Exit"


class DesktopTest(unittest.TestCase):
    def setUp(self):
        self.program = Program(EXECUTABLE)
        self.addCleanup(self.program.stop)
        self.program.start()

    def wait_for_text(self, control, expected, what):
        wait_for(lambda: text_of(control) == expected,
                 lambda: "%s to read %r (it reads %r)" % (what, expected, text_of(control)))

    def wait_for_focus(self, control, what):
        wait_for(lambda: has_state(control, pyatspi.STATE_FOCUSED), what + " to have the focus")

    def type_into(self, field, text):
        """Clicks into a field, replaces its whole text and waits until it shows the text."""
        click_accessible(field)
        self.wait_for_focus(field, "the clicked field")
        key("ctrl+a")
        type_text(text)
        self.wait_for_text(field, text, "the field")


class MainWindowTest(DesktopTest):
    def test_client_area_is_715_by_249_below_the_menu_bar_and_cannot_be_resized(self):
        window = self.program.window
        frame = self.program.main_frame()
        menu_bar = find(frame, pyatspi.ROLE_MENU_BAR)
        menu_height = box_of(menu_bar).height
        _, _, width, height = window_geometry(window)
        self.assertEqual((width, height - menu_height), (715, 249))

        hints = run("xprop", "-id", str(window), "WM_NORMAL_HINTS")
        self.assertIn("minimum size: %d by %d" % (width, height), hints)
        self.assertIn("maximum size: %d by %d" % (width, height), hints)
        actions = run("xprop", "-id", str(window), "_NET_WM_ALLOWED_ACTIONS")
        for allowed in ("_NET_WM_ACTION_MINIMIZE", "_NET_WM_ACTION_CLOSE"):
            self.assertIn(allowed, actions)
        for refused in ("_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MAXIMIZE"):
            self.assertNotIn(refused, actions)

        # Asked for another size, the window keeps its own.
        run("xdotool", "windowsize", str(window), "900", "400")
        self.assertTrue(stays_false(lambda: window_geometry(window)[2:] != (width, height), 0.5))

    def test_a_typed_position_is_read_out_when_its_button_is_pressed(self):
        controls = self.program.controls()
        position, value, _, memory_list, counter = controls["texts"]
        _, single_button, list_button = controls["buttons"]
        self.assertEqual([text_of(field) for field in (position, value, counter, memory_list)],
                         ["1", "-", "10", "--\n"])

        # Tab from the first button selects the whole position text, so typing replaces it.
        key("Tab")
        self.wait_for_focus(position, "the position field")
        type_text("65")
        self.wait_for_text(position, "65", "the position field")
        click_accessible(single_button)
        self.wait_for_text(value, "A", "the value field")

        self.type_into(counter, "3")
        click_accessible(list_button)
        self.wait_for_text(memory_list, "0\n1\n2\n", "the list")

    def test_an_invalid_position_is_reported_and_the_window_works_on(self):
        controls = self.program.controls()
        position, value = controls["texts"][:2]
        single_button = controls["buttons"][1]

        self.type_into(position, "abc")
        click_accessible(single_button)
        box = wait_for(self.program.message_box, "an error box")
        self.assertEqual(box, ("Quorvin", "'abc' is not a valid integer value."))
        self.program.close_message_box()
        self.assertEqual(text_of(value), "-")
        self.wait_for_focus(single_button, "the pressed button")

        key("shift+Tab")
        self.wait_for_focus(position, "the position field")
        type_text("65")
        self.wait_for_text(position, "65", "the position field")
        key("Tab", "Return")
        self.wait_for_text(value, "A", "the value field")

    def test_enter_right_after_start_presses_the_first_button(self):
        button1 = self.program.controls()["buttons"][0]
        self.assertEqual(button1.name, BUTTON1)
        self.wait_for_focus(button1, "the first button")
        key("Return")
        self.assertEqual(wait_for(self.program.message_box, "a message box"), ("Quorvin", "OK!"))
        self.program.close_message_box()
        self.wait_for_focus(button1, "the first button")


class KeyboardTest(DesktopTest):
    def test_alt_f_opens_the_file_menu_whose_exit_ends_the_program(self):
        frame = self.program.main_frame()
        exit_item = find(frame, pyatspi.ROLE_MENU_ITEM, EXIT_ITEM)
        self.assertFalse(has_state(exit_item, pyatspi.STATE_SHOWING))
        key("alt+f")
        wait_for(lambda: has_state(exit_item, pyatspi.STATE_SHOWING), "the File menu to open")
        key("e")
        self.assertEqual(self.program.wait_for_exit(), 0)

    def test_alt_space_opens_the_window_menu_and_does_not_press_button1(self):
        button1 = self.program.controls()["buttons"][0]
        self.wait_for_focus(button1, "the first button")
        before = viewable_windows()
        routes = {
            # The window manager takes Alt+Space from the keyboard before the program sees it.
            "from the keyboard": lambda: key("alt+space"),
            # Sent to the window itself, the program asks the window manager for the menu.
            "sent to the window": lambda: key_to_window(self.program.window, "alt+space"),
        }
        for route, press in routes.items():
            with self.subTest(route=route):
                press()
                wait_for(lambda: viewable_windows() - before, "the window menu to open")
                # The window menu holds the keyboard: nothing could close a box that came up.
                self.assertTrue(stays_false(self.program.message_box, 0.3),
                                "Alt+Space pressed the first button")
                key("Escape")
                wait_for(lambda: not (viewable_windows() - before), "the window menu to close")
        wait_for(lambda: has_state(self.program.main_frame(), pyatspi.STATE_ACTIVE),
                 "the main window to be active")
        key("Return")
        self.assertEqual(wait_for(self.program.message_box, "a message box"), ("Quorvin", "OK!"))


class ClosingTest(DesktopTest):
    def test_language_choice_is_written_to_the_settings_file_after_the_close_box(self):
        frame = self.program.main_frame()
        english = find(frame, pyatspi.ROLE_MENU_ITEM, "英文界面English")
        key("alt+s")
        wait_for(lambda: has_state(english, pyatspi.STATE_SHOWING), "the Set menu to open")
        self.assertFalse(has_state(english, pyatspi.STATE_CHECKED))
        key("e")
        wait_for(lambda: not has_state(english, pyatspi.STATE_SHOWING), "the Set menu to close")
        key("alt+s")
        wait_for(lambda: has_state(english, pyatspi.STATE_CHECKED), "English to be checked")
        key("Escape", "Escape")
        wait_for(lambda: not has_state(english, pyatspi.STATE_SHOWING), "the Set menu to close")

        self.assertFalse(os.path.exists(self.program.settings_file))
        click_close_box(self.program.window)
        self.assertEqual(self.program.wait_for_exit(), 0)
        with open(self.program.settings_file, encoding="ascii") as settings:
            content = settings.read()
        self.assertRegex(content, r"\[Setting\]\r?\nbChinese=0\r?\n")


class SupportDialogTest(DesktopTest):
    def test_copy_button_puts_the_card_number_on_the_clipboard(self):
        key("alt+r")
        dialog = wait_for(lambda: self.program.dialog(pyatspi.ROLE_FRAME, "打赏作者"),
                          "the support dialog")
        close_button = find(dialog, pyatspi.ROLE_PUSH_BUTTON, "关闭(Close)")
        self.wait_for_focus(close_button, "the dialog's close button")

        # The card number is the label beside the first "卡号：" label, on the same line.
        labels = [(item.name, box_of(item)) for item in descendants(dialog)
                  if item.getRole() == pyatspi.ROLE_LABEL]
        caption_box = next(box for name, box in labels if name == "卡号：")
        card_number = next(name for name, box in labels
                           if box.y == caption_box.y and box.x > caption_box.x)
        self.assertRegex(card_number, r"^[0-9 ]+$")

        copy_button = find(dialog, pyatspi.ROLE_PUSH_BUTTON, "复制卡号Copy CardNumber")
        self.assertNotEqual(clipboard_text(), card_number)
        key("Tab")
        self.wait_for_focus(copy_button, "the first copy button")
        key("Return")
        wait_for(lambda: clipboard_text() == card_number, "the card number on the clipboard")

        dialog_window = int(run("xdotool", "getactivewindow"))
        self.assertNotEqual(dialog_window, self.program.window)
        click_close_box(dialog_window)
        self.assertEqual(wait_for(self.program.message_box, "a message box"), ("Quorvin", "OK!"))


if __name__ == "__main__":
    EXECUTABLE = sys.argv.pop(1)
    unittest.main(verbosity=2)
