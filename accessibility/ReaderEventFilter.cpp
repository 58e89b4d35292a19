// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ReaderEventFilter.h"

#include "ColourBar.h"
#include "ColourBox.h"
#include "MessageLabel.h"

#include <QCoreApplication>
#include <algorithm>
#include <utility>

namespace {

bool isEditor(const QObject* object)
{
    return qobject_cast<const ColourBar*>(object) != nullptr ||
           qobject_cast<const ColourBox*>(object) != nullptr;
}

// What a bar or box shows; a reader asks for it when it comes to the control.
bool isContent(QAccessible::Event type)
{
    switch (type) {
    case QAccessible::ValueChanged:
    case QAccessible::TextInserted:
    case QAccessible::TextRemoved:
    case QAccessible::TextUpdated:
    case QAccessible::TextCaretMoved:
    case QAccessible::TextSelectionChanged:
        return true;
    default:
        return false;
    }
}

bool isSelection(QAccessible::Event type)
{
    return type == QAccessible::StateChanged || type == QAccessible::SelectionAdd ||
           type == QAccessible::SelectionRemove || type == QAccessible::Selection;
}

} // namespace

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

void ReaderEventFilter::holdChoice()
{
    if (installed_ != nullptr) {
        installed_->holding_ = true;
    }
}

void ReaderEventFilter::releaseChoice()
{
    if (installed_ != nullptr) {
        installed_->release();
    }
}

void ReaderEventFilter::filter(QAccessibleEvent* event)
{
    installed_->passToReader(event);
}

void ReaderEventFilter::passToReader(QAccessibleEvent* event)
{
    QObject* object = event->object();
    const QAccessible::Event type = event->type();
    if (type == QAccessible::Focus) {
        // The reader hears what a run changed before it moves on, and of the control it comes
        // to as that control now is.
        release();
        tellUnheard(object);
        readerFocus_ = object;
    } else if (isEditor(object)) {
        const bool onIt = object == readerFocus_ && object->isWidgetType() &&
                          static_cast<QWidget*>(object)->hasFocus();
        if (!onIt && isContent(type)) {
            return;
        }
        if (!onIt &&
            (type == QAccessible::NameChanged || type == QAccessible::DescriptionChanged)) {
            const auto same = [&](const Change& c) { return c.object == object && c.type == type; };
            if (std::none_of(unheard_.begin(), unheard_.end(), same)) {
                unheard_.append({object, type});
            }
            return;
        }
    }
    if (holding_ && holds(event)) {
        hold(event);
        return;
    }
    if (holding_ && type != QAccessible::Focus &&
        (isEditor(object) || qobject_cast<MessageLabel*>(object) != nullptr)) {
        release(); // the player acts on a control within the run: what came before goes first
    }
    send(event);
}

// What a choice changes, which a run of choices tells once.
bool ReaderEventFilter::holds(QAccessibleEvent* event)
{
    const QObject* object = event->object();
    if (qobject_cast<const MessageLabel*>(object) != nullptr) {
        return isSelection(event->type());
    }
    switch (event->type()) {
    case QAccessible::NameChanged:
    case QAccessible::DescriptionChanged:
    case QAccessible::ValueChanged:
    case QAccessible::TextCaretMoved:
    case QAccessible::TextSelectionChanged:
        return isEditor(object);
    case QAccessible::TextUpdated: // the program sets a box's text whole; typing inserts
        return qobject_cast<const ColourBox*>(object) != nullptr;
    default:
        return false;
    }
}

void ReaderEventFilter::hold(QAccessibleEvent* event)
{
    QObject* object = event->object();
    QAccessible::Event type = event->type();
    if (auto* label = qobject_cast<MessageLabel*>(object)) {
        type = QAccessible::Selection;
        const auto same = [&](const Change& c) { return c.object == object && c.type == type; };
        if (std::none_of(held_.begin(), held_.end(), same)) {
            // The event follows the change, so the reader last heard of the other state.
            held_.append({object, type,
                          event->type() == QAccessible::StateChanged
                              ? !label->isSelected()
                              : event->type() == QAccessible::SelectionRemove});
        }
        return;
    }
    if (type == QAccessible::TextUpdated) {
        if (heldBox_ == nullptr) {
            heldBox_ = static_cast<ColourBox*>(object);
            heldBoxText_ = static_cast<QAccessibleTextUpdateEvent*>(event)->textRemoved();
        }
        return;
    }
    const auto same = [&](const Change& c) { return c.object == object && c.type == type; };
    if (std::none_of(held_.begin(), held_.end(), same)) {
        held_.append({object, type});
    }
}

void ReaderEventFilter::release()
{
    holding_ = false;
    const QList<Change> held = std::exchange(held_, {});
    for (const Change& change : held) {
        QObject* object = change.object;
        if (object == nullptr) {
            continue;
        }
        if (const auto* label = qobject_cast<const MessageLabel*>(object)) {
            if (label->isSelected() != change.wasSelected) {
                QAccessible::State selected;
                selected.selected = true;
                QAccessibleStateChangeEvent state(object, selected);
                send(&state);
                QAccessibleEvent selection(object, label->isSelected()
                                                       ? QAccessible::SelectionAdd
                                                       : QAccessible::SelectionRemove);
                send(&selection);
            }
        } else if (change.type == QAccessible::ValueChanged) {
            QAccessibleValueChangeEvent value(object, {});
            send(&value);
        } else if (change.type == QAccessible::TextCaretMoved) {
            if (auto* box = qobject_cast<ColourBox*>(object)) {
                QAccessibleTextCursorEvent caret(object, box->cursorPosition());
                send(&caret);
            }
        } else if (change.type == QAccessible::TextSelectionChanged) {
            if (auto* box = qobject_cast<ColourBox*>(object)) {
                QAccessibleTextSelectionEvent selection(object, box->selectionStart(),
                                                        box->selectionEnd());
                send(&selection);
            }
        } else {
            QAccessibleEvent changed(object, change.type);
            send(&changed);
        }
    }
    if (ColourBox* box = std::exchange(heldBox_, nullptr);
        box != nullptr && box->text() != heldBoxText_) {
        QAccessibleTextUpdateEvent text(box, 0, heldBoxText_, box->text());
        send(&text);
    }
}

void ReaderEventFilter::tellUnheard(const QObject* control)
{
    const auto mine = [&](const Change& c) { return c.object == control || c.object == nullptr; };
    const auto split = std::stable_partition(unheard_.begin(), unheard_.end(),
                                             [&](const Change& c) { return !mine(c); });
    QList<Change> told(split, unheard_.end());
    unheard_.erase(split, unheard_.end());
    for (const Change& change : told) {
        if (change.object != nullptr) {
            QAccessibleEvent changed(change.object, change.type);
            send(&changed);
        }
    }
}

void ReaderEventFilter::send(QAccessibleEvent* event)
{
    // Qt offers no way to call on to its own handling but to put it back for the event.
    QAccessible::installUpdateHandler(qtHandler_);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(&ReaderEventFilter::filter);
}
