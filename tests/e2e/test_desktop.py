"""End-to-end checks of the built program on a real X display with a window manager.

Usage: test_desktop.py PATH-TO-QUORVIN [unittest options]. Run it through run-under-xvfb.sh,
which provides the display, the window manager and the session bus.
"""

import os
import subprocess
import sys
import time
import unittest

import pyatspi

from desktop import (Program, box_of, click_accessible, click_close_box, clipboard_text,
                     descendants, find, frame_extents, has_state, key, key_to_window, run,
                     screen_size, stays_false, text_of, type_text, viewable_windows, wait_for,
                     window_geometry, window_property)

EXECUTABLE = None
BUTTON1 = "Reawd word   sentence.urg...."
EXIT_ITEM = "退出本软件Exit"
HELP_ITEMS = {"p": "手机访问本软件网站Phone", "a": "关于本软件About"}


class DesktopTest(unittest.TestCase):
    arguments = ()  # the program's command line
    locale = None  # the locale the program runs in; None: the session's

    def setUp(self):
        self.program = Program(EXECUTABLE)
        self.addCleanup(self.program.stop)
        self.program.start(self.arguments, self.locale)

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


class ScreenReaderTest(DesktopTest):
    def test_huge_lists_answer_word_and_line_queries_at_once(self):
        controls = self.program.controls()
        memory_list, counter = controls["texts"][3:5]

        def timed(query):
            started = time.monotonic()
            answer = query()
            self.assertLess(time.monotonic() - started, 1.0)
            return answer

        # 200000000 lines are one text of 1.7 billion characters; 2147483647 would not fit
        # an int, and are given as the lines in view.
        text = memory_list.queryText()
        for count, least in (("200000000", 1000000000), ("2147483647", 10)):
            self.type_into(counter, count)
            before = self.program.resident_kib()
            shown = text.characterCount
            click_accessible(controls["buttons"][2])
            wait_for(lambda: text.characterCount != shown, "the list to be filled")
            length = timed(lambda: text.characterCount)
            self.assertGreater(length, least)
            self.assertEqual(timed(lambda: text.getText(0, 20)),
                             "0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n"[:length])
            for boundary, expected in ((pyatspi.TEXT_BOUNDARY_WORD_START, ("\n", 3, 4)),
                                       (pyatspi.TEXT_BOUNDARY_LINE_START, ("1\n", 2, 4))):
                self.assertEqual(tuple(timed(lambda: text.getTextAtOffset(3, boundary))), expected)
            middle = text.characterCount // 2
            line, start, end = timed(
                lambda: text.getTextAtOffset(middle, pyatspi.TEXT_BOUNDARY_LINE_START))
            self.assertTrue(start <= middle < end and line.endswith("\n"), (line, start, end))
            self.assertLess(self.program.resident_kib() - before, 64 * 1024, count)


class KeyboardTest(DesktopTest):
    def test_alt_f_opens_the_file_menu_whose_exit_ends_the_program(self):
        frame = self.program.main_frame()
        exit_item = find(frame, pyatspi.ROLE_MENU_ITEM, EXIT_ITEM)
        self.assertFalse(has_state(exit_item, pyatspi.STATE_SHOWING))
        key("alt+f")
        wait_for(lambda: has_state(exit_item, pyatspi.STATE_SHOWING), "the File menu to open")
        key("e")
        self.assertEqual(self.program.wait_for_exit(), 0)

    def test_alt_h_in_the_list_opens_the_help_menu_and_types_nothing(self):
        memory_list = self.program.controls()["texts"][3]
        click_accessible(memory_list)
        self.wait_for_focus(memory_list, "the list")
        about = find(self.program.main_frame(), pyatspi.ROLE_MENU_ITEM, HELP_ITEMS["a"])
        key("alt+h")
        wait_for(lambda: has_state(about, pyatspi.STATE_SHOWING), "the Help menu to open")
        key("Escape")
        wait_for(lambda: not has_state(about, pyatspi.STATE_SHOWING), "the Help menu to close")
        self.assertEqual(text_of(memory_list), "--\n")

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


class ReadOnlySettingsTest(DesktopTest):
    """A settings file without write permission stays as it is, also for root."""

    def setUp(self):
        self.program = Program(EXECUTABLE)
        self.addCleanup(self.program.stop)
        with open(self.program.settings_file, "w", encoding="ascii") as settings:
            settings.write("[Setting]\nbChinese=1\n")
        os.chmod(self.program.settings_file, 0o444)
        self.program.start()

    def test_a_read_only_settings_file_is_kept_and_the_lost_choice_reported(self):
        frame = self.program.main_frame()
        english = find(frame, pyatspi.ROLE_MENU_ITEM, "英文界面English")
        key("alt+s")
        wait_for(lambda: has_state(english, pyatspi.STATE_SHOWING), "the Set menu to open")
        key("e")
        wait_for(lambda: not has_state(english, pyatspi.STATE_SHOWING), "the Set menu to close")

        click_close_box(self.program.window)
        self.assertEqual(wait_for(self.program.message_box, "the lost choice's box"),
                         ("Quorvin", "Unable to write to %s." % self.program.settings_file))
        key("Return")
        self.assertEqual(self.program.wait_for_exit(), 0)
        with open(self.program.settings_file, encoding="ascii") as settings:
            self.assertEqual(settings.read(), "[Setting]\nbChinese=1\n")
        self.assertEqual(os.stat(self.program.settings_file).st_mode & 0o777, 0o444)
        self.assertEqual(sorted(os.listdir(self.program.folder)), ["quorvin", "quorvin.ini"])


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


class LocaleTest(DesktopTest):
    # Vietnamese, whose code page holds a letter back until it knows no accent follows; the
    # machine need not have generated the locale.
    locale = "vi_VN.UTF-8"

    def test_the_single_readout_shows_the_character_of_the_locales_code_page(self):
        controls = self.program.controls()
        position, value = controls["texts"][:2]
        single_button = controls["buttons"][1]
        for typed, shown in (("65", "A"), ("224", "\u00e0"), ("195", "\u0102")):
            with self.subTest(position=typed):
                self.type_into(position, typed)
                click_accessible(single_button)
                self.wait_for_text(value, shown, "the value field")


class CommandLineTest(DesktopTest):
    # Qt's own options, which the program must not take.
    arguments = ("-qwindowtitle", "Other", "-reverse")

    def test_the_command_line_does_not_change_the_title(self):
        self.assertEqual(window_property(self.program.window, "_NET_WM_NAME"),
                         '_NET_WM_NAME(UTF8_STRING) = "Quorvin"')


class DialogWindowTest(DesktopTest):
    """The dialogs and message boxes as the window manager sees them."""

    def active_window(self):
        return int(run("xdotool", "getactivewindow"))

    def open_from_menu(self, item_key, caption):
        item = find(self.program.main_frame(), pyatspi.ROLE_MENU_ITEM, HELP_ITEMS[item_key])
        key("alt+h")
        wait_for(lambda: has_state(item, pyatspi.STATE_SHOWING), "the Help menu to open")
        key(item_key)
        wait_for(lambda: self.program.dialog(pyatspi.ROLE_FRAME, caption), caption)
        return wait_for(lambda: self.active_window() != self.program.window and
                        self.active_window(), "the dialog to become active")

    def assert_dialog_of_the_main_window(self, window):
        self.assertEqual(window_property(window, "WM_TRANSIENT_FOR"),
                         "WM_TRANSIENT_FOR(WINDOW): window id # %s" % hex(self.program.window))
        self.assertRegex(window_property(window, "_NET_WM_WINDOW_TYPE"),
                         r"= _NET_WM_WINDOW_TYPE_DIALOG\b")
        actions = window_property(window, "_NET_WM_ALLOWED_ACTIONS")
        self.assertIn("_NET_WM_ACTION_CLOSE", actions)
        for refused in ("_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_RESIZE"):
            self.assertNotIn(refused, actions)
        self.assertIn("not found", window_property(window, "_NET_WM_ICON"))

    def assert_centred_frame_included(self, window):
        left, top, width, height = window_geometry(window)
        frame_left, frame_right, frame_top, frame_bottom = frame_extents(window)
        centre_x = left - frame_left + (frame_left + width + frame_right) / 2
        centre_y = top - frame_top + (frame_top + height + frame_bottom) / 2
        screen_width, screen_height = screen_size()
        self.assertLessEqual(abs(centre_x - screen_width / 2), 1)
        self.assertLessEqual(abs(centre_y - screen_height / 2), 1)

    def test_phone_and_about_dialogs_are_dialogs_of_the_main_window_centred_on_the_screen(self):
        for item_key, caption in (("p", "手机二维码访问本软件网站Visite with 2-Dims Code"),
                                  ("a", "关于本软件About")):
            with self.subTest(dialog=caption):
                dialog = self.open_from_menu(item_key, caption)
                self.assert_dialog_of_the_main_window(dialog)
                self.assert_centred_frame_included(dialog)
                key("Return")
                wait_for(lambda: self.program.dialog(pyatspi.ROLE_FRAME, caption) is None,
                         "the dialog to close")

    def test_the_main_window_and_only_it_carries_the_icon(self):
        self.assertIn("Icon (32 x 32)", window_property(self.program.window, "_NET_WM_ICON"))
        self.assert_centred_frame_included(self.program.window)

    def test_a_message_box_is_a_dialog_of_the_main_window(self):
        key("Return")
        self.assertEqual(wait_for(self.program.message_box, "a message box"), ("Quorvin", "OK!"))
        box = wait_for(lambda: self.active_window() != self.program.window and
                       self.active_window(), "the box to become active")
        self.assert_dialog_of_the_main_window(box)
        self.assert_centred_frame_included(box)
        self.program.close_message_box()

    def test_a_minimised_dialog_comes_back_with_the_main_window(self):
        caption = "关于本软件About"
        dialog = self.open_from_menu("a", caption)
        run("xdotool", "windowminimize", str(dialog))
        wait_for(lambda: "Iconic" in window_property(dialog, "WM_STATE"), "the dialog minimised")
        # As a click on the taskbar entry does.
        run("xdotool", "windowactivate", str(self.program.window))
        wait_for(lambda: "Normal" in window_property(dialog, "WM_STATE"), "the dialog back")
        wait_for(lambda: self.active_window() == dialog, "the dialog to be active again")


class ClipboardAfterExitTest(DesktopTest):
    def test_copied_card_number_stays_after_exit_until_another_program_copies(self):
        key("alt+r")
        dialog = wait_for(lambda: self.program.dialog(pyatspi.ROLE_FRAME, "打赏作者"),
                          "the support dialog")
        close_button = find(dialog, pyatspi.ROLE_PUSH_BUTTON, "关闭(Close)")
        self.wait_for_focus(close_button, "the dialog's close button")
        copy_button = find(dialog, pyatspi.ROLE_PUSH_BUTTON, "复制卡号Copy CardNumber")
        key("Tab")
        self.wait_for_focus(copy_button, "the first copy button")
        key("Return")
        card_number = wait_for(clipboard_text, "the card number on the clipboard")
        self.assertRegex(card_number, r"^[0-9 ]+$")

        key("alt+c")
        self.assertEqual(wait_for(self.program.message_box, "a message box"), ("Quorvin", "OK!"))
        self.program.close_message_box()
        key("alt+f")
        wait_for(lambda: has_state(find(self.program.main_frame(), pyatspi.ROLE_MENU_ITEM,
                                        EXIT_ITEM), pyatspi.STATE_SHOWING), "the File menu")
        key("e")
        self.assertEqual(self.program.wait_for_exit(), 0)
        self.assertEqual(clipboard_text(), card_number)
        self.assertEqual(len(self.program.processes()), 1, "one keeper of the clipboard")

        other = subprocess.Popen(["xclip", "-selection", "clipboard", "-loops", "1"],
                                 stdin=subprocess.PIPE)
        other.communicate(b"something else")
        wait_for(lambda: not self.program.processes(), "the keeper to end")
        self.assertEqual(clipboard_text(), "something else")
        other.wait(timeout=10)


if __name__ == "__main__":
    EXECUTABLE = sys.argv.pop(1)
    unittest.main(verbosity=2)
