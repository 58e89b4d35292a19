// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ConfigFile.h"
#include "GameFolderQt.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QObject>
#include <QtGlobal>
#include <climits>
#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <system_error>

namespace bh {

namespace {

namespace fs = std::filesystem;

// Room left under PATH_MAX for the longest name the program opens inside its folder (a plugin's
// path under plugins/, a library under lib/).
constexpr qsizetype kLongestNameInFolder = 128;

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

// Start-up has no window to show this in: without a folder it can name, Qt could only load a
// platform plugin from outside the folder, built for another Qt. The folder goes between before
// and after, as the file system holds its name.
bool reportCannotStart(const std::string& before, const char* after)
{
    std::error_code error;
    const fs::path folder = fs::read_symlink("/proc/self/exe", error).parent_path();
    std::fprintf(stderr, "Brackenholt Config cannot start: %s%s%s\n", before.c_str(),
                 error ? "its folder" : folder.c_str(), after);
    return false;
}

} // namespace

bool isolateGameFolderQt()
{
    const QString folder = programFolder();
    std::error_code unnamed;
    if (folder.isEmpty() && fs::read_symlink("/proc/self/exe", unnamed).empty()) {
        // Only /proc tells a program which file it was started from; a chroot or a container
        // may leave it out.
        std::fprintf(stderr, "Brackenholt Config cannot start: the system does not tell it which "
                             "folder it was started from (/proc is not mounted). Mount /proc and "
                             "start the program again.\n");
        return false;
    }
    if (folder.isEmpty()) {
        return reportCannotStart("the name of ",
                                 " is not valid UTF-8. Rename the folder, using letters this "
                                 "system shows correctly, and start the program again.");
    }
    // The system refuses every longer name, and Qt's plugin loader then aborts.
    if (const qsizetype length = QFile::encodeName(folder).size();
        length > PATH_MAX - 1 - kLongestNameInFolder) {
        std::fprintf(stderr,
                     "Brackenholt Config cannot start: the path of its folder is %lld bytes long, "
                     "too long for the system to reach the files in it. Move the game folder to a "
                     "place with a shorter path and start the program again.\n",
                     static_cast<long long>(length));
        return false;
    }
    // Qt reads qt6.conf or qt.conf beside the program when the application starts: a FIFO there
    // would stop it for good, a device would feed it without end.
    for (const char* name : {"qt6.conf", "qt.conf"}) {
        struct stat status {};
        const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + QLatin1String(name));
        if (stat(path.constData(), &status) == 0 && !S_ISREG(status.st_mode)) {
            return reportCannotStart(
                name + std::string(" in "),
                " is not a regular file. Remove it, or unpack the game folder again.");
        }
    }
    std::error_code error;
    const fs::path ownQt =
        fs::canonical(fs::path(QFile::encodeName(folder).toStdString()) / "lib", error);
    if (error || loadedQtFolder() != ownQt) {
        return true; // the build tree, or a system's Qt: Qt's usual behaviour
    }
    // Launchers and desktop sessions point these at the system's plugins, built for another Qt:
    // this Qt would refuse each with a warning or, built from the same version, load it and mix
    // two builds' private parts. The folder's plugins/ is named here rather than left to
    // qt.conf, which a player may have removed or changed.
    qunsetenv("QT_PLUGIN_PATH");
    qunsetenv("QT_QPA_PLATFORM_PLUGIN_PATH");
    QCoreApplication::setLibraryPaths({folder + QStringLiteral("/plugins")});
    // The window is laid out to the pixel in Fusion's measures and its own colours: a desktop's
    // font and palette (KDE's, or a theme QT_QPA_PLATFORMTHEME names) would clip the captions and
    // recolour the boxes. An input method the folder lacks needs nothing: Qt falls back to compose.
    qunsetenv("QT_QPA_PLATFORMTHEME");
    QGuiApplication::setDesktopSettingsAware(false);
    return true;
}

} // namespace bh
