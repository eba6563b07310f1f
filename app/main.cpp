// zantro-link: the accounting link program.
//
// ZANTRO_HOME names the installation folder (default: the folder of the executable).
// ZANTRO_CONSOLE_MESSAGES=1 prints the program's messages instead of showing message boxes, for
// runs without anyone at the screen.
#include "app/instance_guard.h"
#include "app/ui/close_on_stop_signal.h"
#include "app/ui/main_window.h"
#include "app/ui/splash_window.h"
#include "app/ui/widget_message_service.h"
#include "core/action_guard.h"
#include "core/app_context.h"
#include "core/stop_signals.h"
#include "login/ui/program_icon.h"
#include "sqlacc/sqlacc_login.h"
#include "standin/package_choice.h"

#include <QApplication>
#include <memory>

int main(int argc, char** argv) {
    // First, before any thread starts: the stop signals are the program's own (the database
    // engine's client would otherwise take them and ignore them).
    StopSignals::Install(nullptr);
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Zantro POS Accounting Link"));
    app.setWindowIcon(ProgramIcon());
    if (qEnvironmentVariableIntValue("ZANTRO_CONSOLE_MESSAGES") == 0)
        AppContext::instance().setMessages(std::make_shared<WidgetMessageService>());
    ChooseAccountingPackage();

    InstanceGuard guard;
    if (!guard.acquire()) {
        Messages().error(QLatin1String(AlreadyRunningMessage));
        return 1;
    }

    std::unique_ptr<TfrmMain> mainWindow;
    {
        TfrmStartLoad splash;
        splash.showNow();
        try {
            mainWindow = std::make_unique<TfrmMain>(QApplication::arguments());
        } catch (...) {
            const QString text = CurrentExceptionText();
            splash.close();
            Messages().error(text);
            FreeGroupAccessModule();
            return 1;
        }
    }
    if (mainWindow->terminationRequested()) {
        mainWindow.reset();
        FreeGroupAccessModule();
        return 1;
    }
    // A stop signal closes the window as File, Exit does, after an export's document in hand.
    CloseOnStopSignal(mainWindow.get(), [window = mainWindow.get()] { window->Exit1Click(); });
    mainWindow->showMaximized();
    const int result = app.exec();
    const bool ended = mainWindow->terminationRequested();
    mainWindow.reset();
    ReleaseBizApp();
    FreeGroupAccessModule();
    return ended ? 1 : result;
}
