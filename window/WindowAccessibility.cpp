// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "WindowAccessibility.h"

#include "ColourBar.h"
#include "MessageLabel.h"
#include "MessageListAccessible.h"
#include "NumericText.h"
#include "ScreenReaderNotice.h"
#include "WindowFrameAccessible.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLineEdit>
#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// A message name: one item of the list of message types, the selected one being edited.
class MessageLabelAccessible : public QAccessibleWidget {
public:
    explicit MessageLabelAccessible(MessageLabel* label)
        : QAccessibleWidget(label, QAccessible::ListItem)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? label()->text() : QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.selectable = true;
        s.selected = label()->isSelected();
        return s;
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& action) override
    {
        if (action == pressAction()) {
            label()->click();
        }
    }

    QStringList keyBindingsForAction(const QString& /*action*/) const override { return {}; }

    // An item of the list the panel behind the names stands for.
    QAccessibleInterface* parent() const override
    {
        QWidget* panel = MessageListAccessible::panelOf(label()->parentWidget());
        return panel != nullptr ? QAccessible::queryAccessibleInterface(panel)
                                : QAccessibleWidget::parent();
    }

private:
    MessageLabel* label() const { return static_cast<MessageLabel*>(widget()); }
};

// A colour bar presents the component it stands for, so a screen reader says "255" for a bar
// at full intensity, where the raw scroll position is 0. A value set from outside moves the bar
// like a drag that ends there: the bar's own Change handler does the rest.
class ColourBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ColourBarAccessible(ColourBar* bar) : QAccessibleWidget(bar, QAccessible::ScrollBar) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? QString::number(bar()->component())
                                       : QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return bar()->component(); }

    void setCurrentValue(const QVariant& value) override
    {
        // Rounded as a typed value is: to the nearest whole component, a half to the even one.
        const double asked = value.toDouble();
        if (std::isnan(asked)) {
            return;
        }
        bar()->setComponent(bh::roundHalfEven(std::clamp(asked, 0.0, 255.0)));
    }

    QVariant maximumValue() const override { return 255; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    ColourBar* bar() const { return static_cast<ColourBar*>(widget()); }
};

QAccessibleInterface* windowAccessibleFactory(const QString& /*className*/, QObject* object)
{
    if (object->inherits("frmMain")) {
        return new WindowFrameAccessible(static_cast<QWidget*>(object));
    }
    if (object->isWidgetType() && object->parent() != nullptr &&
        object == MessageListAccessible::panelOf(static_cast<QWidget*>(object->parent()))) {
        return new MessageListAccessible(static_cast<QWidget*>(object));
    }
    if (auto* label = qobject_cast<MessageLabel*>(object)) {
        return new MessageLabelAccessible(label);
    }
    if (auto* bar = qobject_cast<ColourBar*>(object)) {
        return new ColourBarAccessible(bar);
    }
    return nullptr;
}

// A text box as Qt presents one, except for its text attributes. A line edit has none, and Qt
// 6.4 answers with an empty run at the offset asked for; a screen reader that walks the runs to
// read the box on focus then reads "25" for 255. Here the one run covers the whole text.
class LineEditAccessible : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface {
public:
    explicit LineEditAccessible(QLineEdit* box) : QAccessibleWidget(box, QAccessible::EditableText)
    {
        addControllingSignal(QStringLiteral("textChanged(QString)"));
        addControllingSignal(QStringLiteral("returnPressed()"));
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        if (t == QAccessible::EditableTextInterface) {
            return static_cast<QAccessibleEditableTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(t);
    }

    // A box says first which type it edits, "Red of Quests", then its value: a player who tabs
    // on at once has heard what the number is. Said in the name, it is not said again after.
    QString text(QAccessible::Text t) const override
    {
        const QString edits = box()->accessibleDescription();
        switch (t) {
        case QAccessible::Value:
            return box()->text();
        case QAccessible::Name:
            return edits.isEmpty() ? QAccessibleWidget::text(t) : edits;
        case QAccessible::Description:
            return edits.isEmpty() ? QAccessibleWidget::text(t) : QString();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    void setText(QAccessible::Text t, const QString& text) override
    {
        if (t == QAccessible::Value) {
            box()->setText(text);
        } else {
            QAccessibleWidget::setText(t, text);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = true;
        s.readOnly = box()->isReadOnly();
        s.selectableText = true;
        return s;
    }

    QString attributes(int offset, int* startOffset, int* endOffset) const override
    {
        const int length = characterCount();
        *startOffset = offset >= 0 && offset <= length ? 0 : offset;
        *endOffset = offset >= 0 && offset <= length ? length : offset;
        return {};
    }

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (selectionIndex == 0 && box()->hasSelectedText()) {
            *startOffset = box()->selectionStart();
            *endOffset = box()->selectionEnd();
        }
    }
    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override
    {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int selectionIndex) override
    {
        if (selectionIndex == 0) {
            box()->deselect();
        }
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        if (selectionIndex == 0) {
            box()->setSelection(startOffset, endOffset - startOffset);
        }
    }

    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }

    QString text(int startOffset, int endOffset) const override
    {
        return startOffset > endOffset ? QString()
                                       : box()->text().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(box()->text().size()); }

    // Measured from the start of the text, as Qt's own line edit does.
    QRect characterRect(int offset) const override
    {
        const QString ch = text(offset, offset + 1);
        if (ch.isEmpty()) {
            return {};
        }
        const QFontMetrics metrics(box()->font());
        const QPoint topLeft(metrics.horizontalAdvance(text(0, offset)),
                             box()->textMargins().top());
        return {box()->mapToGlobal(topLeft),
                QSize(metrics.horizontalAdvance(ch), metrics.height())};
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        return box()->cursorPositionAt(box()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int endIndex) override
    {
        box()->setCursorPosition(endIndex);
        box()->setCursorPosition(startIndex);
    }

    void deleteText(int startOffset, int endOffset) override
    {
        box()->setText(box()->text().remove(startOffset, endOffset - startOffset));
    }
    void insertText(int offset, const QString& text) override
    {
        box()->setText(box()->text().insert(offset, text));
    }
    void replaceText(int startOffset, int endOffset, const QString& text) override
    {
        box()->setText(box()->text().replace(startOffset, endOffset - startOffset, text));
    }

private:
    QLineEdit* box() const { return static_cast<QLineEdit*>(widget()); }
};

// The notice as a screen reader finds it: a notification of the window, its name the text. The
// window does not list it among its children, as it is no control: a reader meets it only
// through the events that show it.
class NoticeAccessible : public QAccessibleObject {
public:
    explicit NoticeAccessible(ScreenReaderNotice* notice) : QAccessibleObject(notice) {}

    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(object()->parent());
    }
    QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? notice()->textForReader() : QString();
    }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.invisible = true;
        return s;
    }

private:
    ScreenReaderNotice* notice() const { return static_cast<ScreenReaderNotice*>(object()); }
};

QAccessibleInterface* readerAccessibleFactory(const QString& /*className*/, QObject* object)
{
    if (auto* notice = qobject_cast<ScreenReaderNotice*>(object)) {
        return new NoticeAccessible(notice);
    }
    // The colour boxes are the program's only line edits.
    if (auto* box = qobject_cast<QLineEdit*>(object)) {
        return new LineEditAccessible(box);
    }
    return nullptr;
}

// A box selects its whole text as Tab enters it, before Qt tells the reader the focus moved, and
// drops the selection as the focus leaves it. A reader takes both for the player's own selecting
// and says "255 selected" before it says which box this is, and "Text unselected" on leaving.
// What is selected on entering is part of what it says for the focus anyway, so a box's
// selection changes reach it only while the reader holds that box as focused. The box itself
// selects and draws as before.
QObject* readerFocus = nullptr; // the last control the reader was told has the focus
QAccessible::UpdateHandler qtUpdateHandler = nullptr;

void passToReader(QAccessibleEvent* event)
{
    if (event->type() == QAccessible::Focus) {
        readerFocus = event->object();
    } else if (event->type() == QAccessible::TextSelectionChanged) {
        auto* box = qobject_cast<QLineEdit*>(event->object());
        if (box != nullptr && (box != readerFocus || !box->hasFocus())) {
            return;
        }
    }
    // Qt offers no way to call on to its own handling but to put it back for the event.
    QAccessible::installUpdateHandler(qtUpdateHandler);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(passToReader);
}

} // namespace

void installWindowAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(windowAccessibleFactory);
        QAccessible::installFactory(readerAccessibleFactory);
        qtUpdateHandler = QAccessible::installUpdateHandler(passToReader);
        return true;
    }();
    (void)installed;
}
