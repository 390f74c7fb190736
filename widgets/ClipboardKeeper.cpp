#include "widgets/ClipboardKeeper.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

struct TConnectionCloser {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using TConnection = std::unique_ptr<xcb_connection_t, TConnectionCloser>;

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

xcb_window_t SelectionOwner(xcb_connection_t* connection, xcb_atom_t selection) {
    xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selection), nullptr);
    const xcb_window_t owner = reply != nullptr ? reply->owner : xcb_window_t{XCB_WINDOW_NONE};
    std::free(reply);
    return owner;
}

struct TAtoms {
    xcb_atom_t Clipboard;
    xcb_atom_t Manager;
    xcb_atom_t Targets;
    xcb_atom_t Utf8;
    xcb_atom_t Text;
    xcb_atom_t PlainUtf8;
    xcb_atom_t Stamp;
};

TAtoms AtomsOf(xcb_connection_t* connection) {
    return {Atom(connection, "CLIPBOARD"),      Atom(connection, "CLIPBOARD_MANAGER"),
            Atom(connection, "TARGETS"),        Atom(connection, "UTF8_STRING"),
            Atom(connection, "TEXT"),           Atom(connection, "text/plain;charset=utf-8"),
            Atom(connection, "_QUORVIN_KEEPER")};
}

// The server's time now: the time of a property change on our own window.
xcb_timestamp_t ServerTime(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t stamp) {
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, stamp, XCB_ATOM_STRING, 8, 0,
                        nullptr);
    xcb_flush(connection);
    while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
        const bool notified = (event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY;
        const xcb_timestamp_t time =
            notified ? reinterpret_cast<xcb_property_notify_event_t*>(event)->time : 0;
        std::free(event);
        if (notified) {
            return time;
        }
    }
    return XCB_CURRENT_TIME;
}

void Answer(xcb_connection_t* connection, const TAtoms& atoms, const std::string& text,
            const xcb_selection_request_event_t& request) {
    xcb_atom_t property = request.property != XCB_ATOM_NONE ? request.property : request.target;
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (request.target == atoms.Targets) {
        const xcb_atom_t offered[] = {atoms.Targets, atoms.Utf8, atoms.PlainUtf8, atoms.Text,
                                      XCB_ATOM_STRING};
        const uint32_t count = ascii ? 5 : 4;
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor, property,
                            XCB_ATOM_ATOM, 32, count, offered);
    } else if (request.target == atoms.Utf8 || request.target == atoms.PlainUtf8 ||
               request.target == atoms.Text || (request.target == XCB_ATOM_STRING && ascii)) {
        const xcb_atom_t type = request.target == atoms.Text ? atoms.Utf8 : request.target;
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor, property, type, 8,
                            static_cast<uint32_t>(text.size()), text.data());
    } else {
        property = XCB_ATOM_NONE;
    }
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = property;
    xcb_send_event(connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&notify));
    xcb_flush(connection);
}

// The split-off process: serves the text until another program takes the clipboard.
[[noreturn]] void Serve(xcb_connection_t* connection, const TAtoms& atoms,
                        const std::string& text) {
    setsid();
    const int nothing = open("/dev/null", O_RDWR);
    for (int standard = 0; standard <= 2; ++standard) {
        dup2(nothing, standard);
    }
    // Nothing of the program stays open here but this connection: the program's own
    // connection to the display must end when the program does.
    const auto own = static_cast<unsigned>(xcb_get_file_descriptor(connection));
    if (own > 3) {
        close_range(3, own - 1, 0);
    }
    close_range(own + 1, ~0U, 0);
    while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
        const uint8_t type = event->response_type & 0x7F;
        if (type == XCB_SELECTION_REQUEST) {
            Answer(connection, atoms, text,
                   *reinterpret_cast<xcb_selection_request_event_t*>(event));
        }
        std::free(event);
        if (type == XCB_SELECTION_CLEAR) {
            break;
        }
    }
    _exit(0);
}

} // namespace

bool KeepClipboardText(const std::string& utf8) {
    TConnection connection(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(connection.get()) != 0) {
        return false;
    }
    const size_t largest = xcb_get_maximum_request_length(connection.get()) * 4 - 64;
    const TAtoms atoms = AtomsOf(connection.get());
    if (utf8.size() > largest || SelectionOwner(connection.get(), atoms.Manager) != XCB_NONE) {
        return false;
    }

    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection.get())).data;
    const xcb_window_t window = xcb_generate_id(connection.get());
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection.get(), XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &events);
    const xcb_timestamp_t time = ServerTime(connection.get(), window, atoms.Stamp);
    xcb_set_selection_owner(connection.get(), window, atoms.Clipboard, time);
    if (SelectionOwner(connection.get(), atoms.Clipboard) != window) {
        return false;
    }

    const pid_t keeper = fork();
    if (keeper == 0) {
        Serve(connection.release(), atoms, utf8);
    }
    if (keeper < 0) {
        return false;
    }
    // The keeper holds the connection now: closing the program's copy of it must not end
    // it (xcb_disconnect would shut the connection down for both). The program's copy of
    // the connection's memory stays until exit, reachable, as the program ends right after.
    static xcb_connection_t* handedOver = nullptr;
    handedOver = connection.release();
    close(xcb_get_file_descriptor(handedOver));
    return true;
}
