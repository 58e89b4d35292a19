// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ReaderEventFilter.h"

#include "ColourBar.h"
#include "ColourBox.h"
#include "MessageLabel.h"
#include "ReaderSpeech.h"

#include <QWidget>
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

ReaderEventFilter::ReaderEventFilter()
{
    Q_ASSERT(installed_ == nullptr); // one window, one reader: one filter at a time
    installed_ = this;
    qtHandler_ = QAccessible::installUpdateHandler(&ReaderEventFilter::filter);
}

ReaderEventFilter::~ReaderEventFilter()
{
    QAccessible::installUpdateHandler(qtHandler_);
    installed_ = nullptr;
}

void ReaderEventFilter::holdChoice()
{
    holding_ = true;
    choosing_ = true;
}

void ReaderEventFilter::choiceMade()
{
    choosing_ = false;
}

void ReaderEventFilter::releaseChoice()
{
    release();
}

bool ReaderEventFilter::sayOnFocus(const QString& text)
{
    auto* control = const_cast<QObject*>(readerFocus_);
    if (control == nullptr || !isReaderFocus(control)) {
        return false;
    }
    QAccessibleInterface* focused = QAccessible::queryAccessibleInterface(control);
    if (focused == nullptr || !sayAsDescription(focused, text)) {
        return false;
    }
    // The reader now keeps the words as the control's description; Qt's own report of a changed
    // description names no text, so the reader drops what it kept and asks afresh next time.
    QAccessibleEvent asked(control, QAccessible::DescriptionChanged);
    send(&asked);
    return true;
}

void ReaderEventFilter::filter(QAccessibleEvent* event)
{
    installed_->passToReader(event);
}

bool ReaderEventFilter::isReaderFocus(const QObject* object) const
{
    return object == readerFocus_ && object->isWidgetType() &&
           static_cast<const QWidget*>(object)->hasFocus();
}

void ReaderEventFilter::valueTold(QObject* object)
{
    const auto* bar = qobject_cast<const ColourBar*>(object);
    if (bar == nullptr || !isReaderFocus(bar)) {
        return;
    }
    if (std::exchange(valueUntold_, false) && bar->component() == valueHeard_) {
        sayOnFocus(QString::number(bar->component()));
    }
    valueHeard_ = bar->component();
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
        const bool onIt = isReaderFocus(object);
        if (choosing_ && isContent(type)) {
            // Read afresh when the reader comes to the control, or told by the choice's words.
            valueUntold_ = valueUntold_ || (onIt && type == QAccessible::ValueChanged);
            return;
        }
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
    if (type == QAccessible::ValueChanged) {
        valueTold(object);
    }
}

// What a choice changes, which a run of choices tells once.
bool ReaderEventFilter::holds(QAccessibleEvent* event)
{
    const QObject* object = event->object();
    if (qobject_cast<const MessageLabel*>(object) != nullptr) {
        return isSelection(event->type());
    }
    // The editors' names and the captions beside the boxes say the type they edit.
    return event->type() == QAccessible::NameChanged ||
           event->type() == QAccessible::DescriptionChanged;
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
        } else {
            QAccessibleEvent changed(object, change.type);
            send(&changed);
        }
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
