// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "Startup.h"

#include "ConfigError.h"
#include "ConfigFile.h"
#include "GameModeScale.h"
#include "GamePad.h"
#include "Pictures.h"
#include "PlatformStartup.h"
#include "StartupChecks.h"
#include "WindowAccessibility.h"
#include "frmMain.h"

#include <QMessageBox>

namespace bh {

namespace {

// In the program's own face like the window: a bare Wine prefix's stand-in for the dialog font
// is a thin serif. A box is a window of its own and takes no font from the window behind it.
void showFatal(QWidget* parent, const QString& message)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), message,
                    QMessageBox::Ok, parent);
    box.setFont(controlFont());
    box.exec();
}

} // namespace

std::unique_ptr<QApplication> startApplication(int argc, char* argv[])
{
    // QApplication keeps a reference to the count for its whole life. A program started with
    // no arguments at all has no name in argv either.
    static int programNameOnly = 0;
    programNameOnly = argc > 0 ? 1 : 0;
    const PlatformFailureGuard platformFailure;
    dropUnusableScaleFactor();
    if (!preparePlatform()) {
        return nullptr; // before any window can be shown: the reason is on standard error
    }
    scaleForGameMode();
    auto app = std::make_unique<QApplication>(programNameOnly, argv);
    // The window is laid out to the pixel in Fusion's measures, which Qt draws the same on every
    // platform; a platform's own style (Windows', a desktop theme's) would move the check marks,
    // the focus frames and the scroll bars' arrows and thumbs.
    QApplication::setStyle(QStringLiteral("Fusion"));
    // Lets a Wayland desktop match the window to its menu entry, and so to its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(BH_APP_ID));
    return app;
}

int runSettingsWindow(const std::function<void(frmMain&)>& beforeShow)
{
    // The window is a form and no more; here it gets its ways in. A screen reader's first:
    // Qt keeps the first accessible interface it hands out for a control, from its creation on.
    WindowAccessibility accessibility;
    ConfigFile settingsFile(configPath());
    frmMain window(settingsFile);
    window.setNotices(accessibility.noticesFor(&window));
    QApplication::setApplicationName(window.windowTitle()); // the error boxes' title
    QApplication::setWindowIcon(window.windowIcon());       // the error box carries it too
    try {
        window.Form_Load();
    } catch (const ConfigError& error) {
        showFatal(nullptr, QString::fromStdString(error.what()));
        return 1;
    }

    int status = 0;
    // Closed after a save that failed and no later one that worked, the program says so in its
    // status.
    QObject::connect(&window, &frmMain::saveFailed, &window, [&](const QString& message) {
        status = 1;
        showFatal(&window, message);
    });
    QObject::connect(&window, &frmMain::saved, &window, [&] { status = 0; });
    if (beforeShow) {
        beforeShow(window);
    }
    // Game Mode shows no frame around a window: a Windows window's own (Wine draws it where no
    // window manager does) would push the form down and right off a screen it fits exactly.
    // The frameless hint alone: beside the title, menu and fixed-size hints, Windows (as Wine
    // shows) still places the form inside a frame's margins, 3 px in and 22 px down.
    if (inGameMode()) {
        window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    }
    const GamePad pad(&window); // starts once the first frame is on screen
    window.showCentered();
    const int loopStatus = QApplication::exec();
    return status != 0 ? status : loopStatus;
}

} // namespace bh
