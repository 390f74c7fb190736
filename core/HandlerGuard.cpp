#include "core/HandlerGuard.h"

#include <cstdio>
#include <utility>

namespace {

TErrorReport& Report() {
    static TErrorReport report;
    return report;
}

void Tell(const Exception& error) {
    if (Report()) {
        Report()(error);
    } else {
        std::fprintf(stderr, "%s\n", ErrorBoxText(error.Message).c_str());
    }
}

} // namespace

void SetErrorReport(TErrorReport report) {
    Report() = std::move(report);
}

void RunGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const Exception& error) {
        Tell(error);
    } catch (...) {
        Tell(Exception(""));
    }
}
