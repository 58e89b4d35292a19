// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "StartupChecks.h"

#include <QString>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace bh {
namespace {

// The scale factors the window can be shown at: smaller, its captions are a few pixels high;
// larger, it outgrows any screen and, soon after, the largest window X11 can make.
constexpr double kSmallestScale = 0.25;
constexpr double kLargestScale = 16.0;

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

// The guard's state; one start-up at a time.
std::vector<HeldMessage>* held = nullptr;
std::string* failureSentence = nullptr;

// What is missing, in one sentence, from the environment the player started the program in.
std::string sentenceFor(const QByteArray& platform, const QByteArray& x11,
                        const QByteArray& wayland)
{
    const std::string start = "Brackenholt Config cannot open its window: ";
    if (x11.isEmpty() && wayland.isEmpty()) {
        return start + "there is no X server or Wayland compositor to show it on (neither DISPLAY "
                       "nor WAYLAND_DISPLAY is set).";
    }
    if (!platform.isEmpty()) {
        return start + "the platform QT_QPA_PLATFORM names (" + platform.toStdString() +
               ") cannot show a window here; unset QT_QPA_PLATFORM to use the desktop's own.";
    }
    std::string named;
    if (!x11.isEmpty()) {
        named = "DISPLAY (" + x11.toStdString() + ")";
    }
    if (!wayland.isEmpty()) {
        named += (named.empty() ? "" : " or ") + std::string("WAYLAND_DISPLAY (") +
                 wayland.toStdString() + ")";
    }
    return start + "no X server or Wayland compositor answers at " + named + ".";
}

void holdOrEnd(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        // Qt would abort next, and leave a core file where core files are kept.
        std::fputs(failureSentence->c_str(), stderr);
        std::fputc('\n', stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    held->push_back({type, QByteArray(context.category), text});
}

} // namespace

PlatformFailureGuard::PlatformFailureGuard()
{
    held = new std::vector<HeldMessage>;
    failureSentence = new std::string(
        sentenceFor(qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY")));
    previous_ = qInstallMessageHandler(holdOrEnd);
}

PlatformFailureGuard::~PlatformFailureGuard()
{
    qInstallMessageHandler(previous_);
    for (const HeldMessage& message : *held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        if (previous_) {
            previous_(message.type, context, message.text);
        } else {
            std::fprintf(stderr, "%s\n", qPrintable(message.text));
        }
    }
    delete held;
    delete failureSentence;
    held = nullptr;
    failureSentence = nullptr;
}

void dropUnusableScaleFactor()
{
    const QByteArray text = qgetenv("QT_SCALE_FACTOR");
    if (text.isEmpty()) {
        return;
    }
    bool number = false;
    const double factor = text.toDouble(&number);
    if (number && std::isfinite(factor) && factor >= kSmallestScale && factor <= kLargestScale) {
        return;
    }
    std::fprintf(stderr,
                 "Brackenholt Config ignores QT_SCALE_FACTOR=%s: the window can be shown at a "
                 "scale from %g to %g.\n",
                 text.constData(), kSmallestScale, kLargestScale);
    qunsetenv("QT_SCALE_FACTOR");
}

} // namespace bh
