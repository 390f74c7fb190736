#!/usr/bin/env python3
"""Turns a window description (forms/NAME.ui) into a C++ header of layout tables for
the Windows front end, so that each geometry and caption is written once:

    scripts/ui-to-layout.py forms/UMain.ui OUT/UMainLayout.h

The header defines, in the namespace <Unit>Layout, Form (a TFormLayout, win32/forms/Layout.h)
and, for each control and menu item, an index constant into its tables
(UMainLayout::Button1, UMainLayout::MnuExit). Texts become UTF-16
literals; font sizes are pixel heights at 96 dots per inch, as the .ui gives them."""

import sys
import xml.etree.ElementTree as ElementTree

# Qt classes and the control kinds of win32/forms/Layout.h.
KINDS = {
    "QLabel": "Label",
    "QPushButton": "Button",
    "QLineEdit": "Edit",
    "QPlainTextEdit": "Memo",
    "QGroupBox": "GroupBox",
    "QFrame": "Panel",
    "QStatusBar": "StatusBar",
    "TListMemo": "ListMemo",
}
CONTAINERS = ("QWidget",)  # the central widget: its children belong to the window
# Boolean properties that become flags of a control.
FLAG_PROPERTIES = {
    "readOnly": "ReadOnly",
    "default": "Default",
    "closesWindow": "ClosesWindow",
    "closeGlyph": "CloseGlyph",
    "autoSize": "AutoSize",
    "wordWrap": "WordWrap",
    "scaledContents": "Stretch",
}


def wide_literal(text):
    """A wchar_t literal; characters outside ASCII as universal character names."""
    out = []
    for char in text:
        code = ord(char)
        if char == "\\":
            out.append("\\\\")
        elif char == '"':
            out.append('\\"')
        elif char == "\n":
            out.append("\\n")
        elif 0x20 <= code < 0x7F:
            out.append(char)
        elif code <= 0xFFFF:
            out.append("\\u%04X" % code)
        else:
            out.append("\\U%08X" % code)
    return 'L"' + "".join(out) + '"'


def prop(element, name):
    for child in element.findall("property"):
        if child.get("name") == name:
            return child
    return None


def text_of(element, *names):
    for name in names:
        found = prop(element, name)
        if found is not None:
            string = found.find("string")
            if string is not None:
                return string.text or ""
    return ""


def font_of(element):
    found = prop(element, "font")
    if found is None:
        return "{nullptr, 0}"
    family = found.findtext("font/family")
    size = found.findtext("font/pointsize")
    return "{%s, %s}" % (wide_literal(family) if family else "nullptr", size or "0")


def geometry_of(element):
    found = prop(element, "geometry")
    if found is None:
        return (0, 0, 0, 0)
    rect = found.find("rect")
    return tuple(int(rect.findtext(key)) for key in ("x", "y", "width", "height"))


def flags_of(element, tab_stops):
    flags = [flag for name, flag in FLAG_PROPERTIES.items()
             if prop(element, name) is not None and prop(element, name).findtext("bool") == "true"]
    scroll = prop(element, "verticalScrollBarPolicy")
    if scroll is not None and scroll.findtext("enum") == "Qt::ScrollBarAlwaysOn":
        flags.append("VerticalScrollBar")
    if text_of(element, "modalResult") == "ok":
        flags.append("ModalOk")
    if element.get("name") in tab_stops:
        flags.append("TabStop")
    return flags


def collect_controls(element, parent, tab_stops, controls):
    for child in element.findall("widget"):
        qt_class = child.get("class")
        if qt_class in CONTAINERS:
            collect_controls(child, parent, tab_stops, controls)
            continue
        if qt_class not in KINDS:
            continue
        index = len(controls)
        controls.append({
            "name": child.get("name"),
            "kind": KINDS[qt_class],
            "parent": parent,
            "geometry": geometry_of(child),
            "caption": text_of(child, "text", "title", "plainText"),
            "font": font_of(child),
            "flags": flags_of(child, tab_stops),
        })
        collect_controls(child, index, tab_stops, controls)


def collect_menus(window):
    """The menu bar as (name, parent index, caption, flags), in menu order; separators
    are named N1, N2, ..."""
    bar = window.find("widget[@class='QMenuBar']")
    if bar is None:
        return []
    actions = {action.get("name"): action for action in window.findall("action")}
    submenus = {menu.get("name"): menu for menu in bar.findall("widget[@class='QMenu']")}
    menus = []
    separators = []

    def add(item, parent):
        if item == "separator":
            separators.append(item)
            menus.append(("N%d" % len(separators), parent, "-", ["Separator"]))
            return
        if item in submenus:
            menu = submenus[item]
            menus.append((item, parent, text_of(menu, "title"), []))
            index = len(menus) - 1
            for entry in menu.findall("addaction"):
                add(entry.get("name"), index)
            return
        action = actions[item]
        checkable = prop(action, "checkable")
        flags = ["Checkable"] if checkable is not None and checkable.findtext("bool") == "true" else []
        menus.append((item, parent, text_of(action, "text"), flags))

    for entry in bar.findall("addaction"):
        add(entry.get("name"), -1)
    return menus


def flag_expression(prefix, flags):
    if not flags:
        return "0"
    return " | ".join("%s::%s" % (prefix, flag) for flag in flags)


def generate(ui_path):
    root = ElementTree.parse(ui_path).getroot()
    window = root.find("widget")
    unit = ui_path.split("/")[-1].rsplit(".", 1)[0]
    name = root.findtext("class")
    space = unit + "Layout"
    tab_stops = [stop.text for stop in root.findall("tabstops/tabstop")]
    controls = []
    collect_controls(window, -1, tab_stops, controls)
    if not tab_stops:
        # Without a tab order of its own, a window takes its focus in document order.
        for control in controls:
            if control["kind"] in ("Button", "Edit", "Memo", "ListMemo"):
                control["flags"].append("TabStop")
    # Creation order: containers first, then the tab stops in tab order, then the rest;
    # the focus moves in creation order.
    tab_rank = {stop: rank for rank, stop in enumerate(tab_stops)}

    def creation_rank(item):
        index, control = item
        if control["kind"] in ("GroupBox", "Panel"):
            return (0, index)
        if "TabStop" in control["flags"]:
            return (1, tab_rank.get(control["name"], index))
        return (2, index)

    order = [index for index, _ in sorted(enumerate(controls), key=creation_rank)]
    menus = collect_menus(window)
    _, _, width, height = geometry_of(window)

    lines = [
        "// Made by scripts/ui-to-layout.py from %s; edit the .ui file instead." % ui_path.split("/")[-1],
        "#pragma once",
        "",
        '#include "win32/forms/Layout.h"',
        "",
        "namespace %s {" % space,
    ]
    for index, control in enumerate(controls):
        lines.append("inline constexpr int %s = %d;" % (control["name"], index))
    for index, menu in enumerate(menus):
        lines.append("inline constexpr int %s = %d;" % (menu[0], index))
    lines.append("inline constexpr TControlEntry Controls[] = {")
    for control in controls:
        left, top, w, h = control["geometry"]
        lines.append("    {%s, TControlKind::%s, %d, %d, %d, %d, %d, %s, %s, %s}," % (
            wide_literal(control["name"]), control["kind"], control["parent"], left, top, w, h,
            wide_literal(control["caption"]), control["font"],
            flag_expression("TControlFlag", control["flags"])))
    lines.append("};")
    lines.append("inline constexpr int CreationOrder[] = {%s};" % ", ".join(str(i) for i in order))
    if menus:
        lines.append("inline constexpr TMenuEntry Menus[] = {")
        for menu_name, parent, caption, flags in menus:
            lines.append("    {%s, %d, %s, %s}," % (wide_literal(menu_name), parent, wide_literal(caption),
                                                    flag_expression("TMenuFlag", flags)))
        lines.append("};")
    lines.append("inline constexpr TFormLayout Form = {")
    lines.append("    %s, %s, %d, %d, %s," % (wide_literal(name), wide_literal(text_of(window, "windowTitle")),
                                             width, height, font_of(window)))
    lines.append("    Controls, %d, CreationOrder, %s, %d};" % (len(controls), "Menus" if menus else "nullptr",
                                                                 len(menus)))
    lines.append("} // namespace %s" % space)
    return "\n".join(lines) + "\n"


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: ui-to-layout.py FORM.ui OUTPUT.h")
    text = generate(sys.argv[1])
    with open(sys.argv[2], "w", encoding="utf-8") as output:
        output.write(text)


if __name__ == "__main__":
    main()
