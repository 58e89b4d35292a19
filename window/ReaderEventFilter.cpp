// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ReaderEventFilter.h"

#include <QCoreApplication>
#include <QLineEdit>

ReaderEventFilter* ReaderEventFilter::installed_ = nullptr;

void ReaderEventFilter::install()
{
    if (installed_ == nullptr) {
        installed_ = new ReaderEventFilter(QCoreApplication::instance());
    }
}

ReaderEventFilter::ReaderEventFilter(QObject* application)
    : QObject(application),
      qtHandler_(QAccessible::installUpdateHandler(&ReaderEventFilter::filter))
{
}

ReaderEventFilter::~ReaderEventFilter()
{
    QAccessible::installUpdateHandler(qtHandler_);
    installed_ = nullptr;
}

void ReaderEventFilter::filter(QAccessibleEvent* event)
{
    installed_->passToReader(event);
}

void ReaderEventFilter::passToReader(QAccessibleEvent* event)
{
    if (event->type() == QAccessible::Focus) {
        readerFocus_ = event->object();
    } else if (event->type() == QAccessible::TextSelectionChanged) {
        auto* box = qobject_cast<QLineEdit*>(event->object());
        if (box != nullptr && (box != readerFocus_ || !box->hasFocus())) {
            return;
        }
    }
    // Qt offers no way to call on to its own handling but to put it back for the event.
    QAccessible::installUpdateHandler(qtHandler_);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(&ReaderEventFilter::filter);
}
