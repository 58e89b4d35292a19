// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "GameFolderQt.h"

#include <QGuiApplication>
#include <QObject>
#include <QtGlobal>
#include <dlfcn.h>
#include <filesystem>
#include <system_error>

namespace bh {

namespace {

namespace fs = std::filesystem;

// The folder of the QtCore this program runs with, which the player or the loader may have
// taken from somewhere other than the game folder; empty when it cannot be told.
fs::path loadedQtFolder()
{
    Dl_info info{};
    if (dladdr(&QObject::staticMetaObject, &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    std::error_code error;
    const fs::path library = fs::canonical(info.dli_fname, error);
    return error ? fs::path{} : library.parent_path();
}

} // namespace

void isolateGameFolderQt()
{
    // QCoreApplication cannot say where the program is before it exists; the kernel can.
    std::error_code error;
    const fs::path folder = fs::canonical("/proc/self/exe", error).parent_path();
    if (error || !fs::is_regular_file(folder / "qt.conf", error)) {
        return;
    }
    const fs::path ownQt = fs::canonical(folder / "lib", error);
    if (error || loadedQtFolder() != ownQt) {
        return;
    }
    // Launchers and desktop sessions point these at the system's plugins, built for another Qt:
    // this Qt would refuse each with a warning or, built from the same version, load it and mix
    // two builds' private parts. Without them Qt searches only what qt.conf names, plugins/.
    qunsetenv("QT_PLUGIN_PATH");
    qunsetenv("QT_QPA_PLATFORM_PLUGIN_PATH");
    // The window is laid out to the pixel in Fusion's measures and its own colours: a desktop's
    // font and palette (KDE's, or a theme QT_QPA_PLATFORMTHEME names) would clip the captions and
    // recolour the boxes. An input method the folder lacks needs nothing: Qt falls back to compose.
    qunsetenv("QT_QPA_PLATFORMTHEME");
    QGuiApplication::setDesktopSettingsAware(false);
}

} // namespace bh
