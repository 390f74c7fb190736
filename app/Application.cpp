#include "app/Application.h"

#include "app/Dialogs.h"
#include "app/Fonts.h"
#include "app/QtStart.h"
#include "core/HandlerGuard.h"

#include <QApplication>
#include <QIcon>
#include <QWidget>

#include <csignal>

TApplication* Application = nullptr;

TApplication::TApplication(const char* programName)
    : Arguments(QtArguments(programName != nullptr ? programName : "quorvin")) {
    for (std::string& argument : Arguments) {
        ArgumentPointers.push_back(argument.data());
    }
    ArgumentPointers.push_back(nullptr);
    ArgumentCount = static_cast<int>(Arguments.size());
    StartQtOrExit([this] {
        QtApplication = std::make_unique<QApplication>(ArgumentCount, ArgumentPointers.data());
    });
    SetErrorReport([this](const Exception& error) { HandleException(error); });
}

TApplication::~TApplication() {
    Forms.Clear();
    SetErrorReport(nullptr);
}

void TApplication::Initialize() {
    // A file-size limit makes the settings write fail and be reported, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    // The main window's close box ends the run through Terminate, not Qt's
    // last-window rule: a dialog closing must never end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setDesktopFileName(QStringLiteral("quorvin"));
    InstallFontSubstitutes();
}

void TApplication::Adopt(QWidget* form) {
    Forms.Add(std::unique_ptr<QWidget>(form));
    if (MainForm() == form) {
        // Only the main window carries the application icon: dialogs and message boxes
        // show none in their title bars.
        form->setWindowIcon(QIcon(QStringLiteral(":/quorvin.png")));
    }
}

void TApplication::Run() {
    QWidget* main = MainForm();
    if (main == nullptr) {
        return;
    }
    main->show();
    main->activateWindow();
    QApplication::exec();
}

void TApplication::Terminate() {
    QApplication::quit();
}

void TApplication::HandleException(const Exception& error) {
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        grabber->releaseMouse();
    }
    ShowException(error);
}

void TApplication::ShowException(const Exception& error) {
    ShowErrorBox(QString::fromStdString(ErrorBoxText(error.Message)));
}
