// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// Brackenholt Config: the settings program of Brackenholt. It edits bh.cfg, beside the program,
// in one window, and saves on OK. A settings file it cannot read or save ends it with a message
// that names the problem and the file, and exit status 1.
#include "ConfigError.h"
#include "ConfigFile.h"
#include "DesktopPlatform.h"
#include "GameFolderQt.h"
#include "frmMain.h"

#include <QApplication>
#include <QMessageBox>

namespace {

void showFatal(QWidget* parent, const QString& message)
{
    QMessageBox::critical(parent, QApplication::applicationName(), message);
}

} // namespace

int main(int argc, char* argv[])
{
    // The program takes no command line: arguments, Qt's own included, are ignored.
    int programNameOnly = argc > 0 ? 1 : 0;
    if (!bh::isolateGameFolderQt() || !bh::chooseDesktopPlatform()) {
        return 1; // before any window can be shown: the reason is on standard error
    }
    QApplication app(programNameOnly, argv);
    // The window is laid out to the pixel in Fusion's measures, which Qt draws the same on every
    // platform; a platform's own style (Windows', a desktop theme's) would move the check marks,
    // the focus frames and the scroll bars' arrows and thumbs.
    QApplication::setStyle(QStringLiteral("Fusion"));
    // Lets a Wayland desktop match the window to its menu entry, and so to its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(BH_APP_ID));

    frmMain window(bh::configPath());
    QApplication::setApplicationName(window.windowTitle()); // the error boxes' title
    QApplication::setWindowIcon(window.windowIcon());       // the error box carries it too
    try {
        window.Form_Load();
    } catch (const bh::ConfigError& error) {
        showFatal(nullptr, QString::fromStdString(error.what()));
        return 1;
    }

    int status = 0;
    QObject::connect(&window, &frmMain::saveFailed, &window, [&](const QString& message) {
        showFatal(&window, message);
        status = 1;
    });
    window.showCentered();
    const int loopStatus = QApplication::exec();
    return status != 0 ? status : loopStatus;
}
