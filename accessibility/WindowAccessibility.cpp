// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "WindowAccessibility.h"

#include "ColourBar.h"
#include "ColourBarAccessible.h"
#include "ColourBox.h"
#include "ColourBoxAccessible.h"
#include "ColourCheckView.h"
#include "MessageLabel.h"
#include "MessageLabelAccessible.h"
#include "MessageListAccessible.h"
#include "MessagePanel.h"
#include "NoticeAccessible.h"
#include "ReaderEventFilter.h"
#include "ScreenReaderNotice.h"
#include "WindowFrameAccessible.h"
#include "frmMain.h"

namespace {

// The window's own controls by their types; everything else keeps what Qt gives it.
QAccessibleInterface* windowAccessibleFactory(const QString& /*className*/, QObject* object)
{
    if (auto* window = qobject_cast<frmMain*>(object)) {
        return new WindowFrameAccessible(window);
    }
    if (auto* panel = qobject_cast<MessagePanel*>(object)) {
        return new MessageListAccessible(panel);
    }
    if (auto* label = qobject_cast<MessageLabel*>(object)) {
        return new MessageLabelAccessible(label);
    }
    if (auto* bar = qobject_cast<ColourBar*>(object)) {
        return new ColourBarAccessible(bar);
    }
    if (auto* box = qobject_cast<ColourBox*>(object)) {
        return new ColourBoxAccessible(box);
    }
    if (auto* check = qobject_cast<ColourCheckView*>(object)) {
        return new QAccessibleWidget(check, QAccessible::Dialog); // named by the view itself
    }
    if (auto* notice = qobject_cast<ScreenReaderNotice*>(object)) {
        return new NoticeAccessible(notice);
    }
    return nullptr;
}

} // namespace

WindowAccessibility::WindowAccessibility() : filter_(std::make_unique<ReaderEventFilter>())
{
    QAccessible::installFactory(windowAccessibleFactory); // Qt keeps a factory once however often
}

WindowAccessibility::~WindowAccessibility() = default;

WindowNotices* WindowAccessibility::noticesFor(QWidget* window)
{
    return new ScreenReaderNotice(window, *filter_);
}
