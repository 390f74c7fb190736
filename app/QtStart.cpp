#include "app/QtStart.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <xcb/xcb.h>

namespace {

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

bool IsWaylandSession() {
    const char* session = std::getenv("XDG_SESSION_TYPE");
    return IsSet("WAYLAND_DISPLAY") || (session != nullptr && std::string(session) == "wayland");
}

bool XServerReachable() {
    if (!IsSet("DISPLAY")) {
        return false;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reachable;
}

std::vector<std::pair<QtMsgType, QString>> WaitingMessages;
QtMessageHandler PreviousHandler = nullptr;

void HoldMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        std::fputs("Quorvin cannot start: there is no display to show its windows on "
                   "(DISPLAY is not set or names no running X server).\n",
                   stderr);
        std::_Exit(1);
    }
    WaitingMessages.emplace_back(type, message);
}

} // namespace

std::vector<std::string> QtArguments(const std::string& programName) {
    std::vector<std::string> arguments = {programName};
    if (!IsSet("QT_QPA_PLATFORM") && IsWaylandSession() && XServerReachable()) {
        arguments.insert(arguments.end(), {"-platform", "xcb"});
    }
    return arguments;
}

void StartQtOrExit(const std::function<void()>& start) {
    PreviousHandler = qInstallMessageHandler(HoldMessage);
    start();
    qInstallMessageHandler(PreviousHandler);
    for (const auto& [type, message] : std::exchange(WaitingMessages, {})) {
        if (PreviousHandler != nullptr) {
            PreviousHandler(type, QMessageLogContext(), message);
        } else {
            qt_message_output(type, QMessageLogContext(), message);
        }
    }
}
