// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// Which message type is being edited, for players without a mouse: Ctrl+Down and Ctrl+Up choose
// the next or previous type from anywhere in the window, a mark beside the name shows the choice
// once those keys have been used, and assistive technology learns which name is selected and
// which type the bars and boxes edit.
#include "frmMain.h"

#include <QKeyEvent>
#include <QStringList>
#include <array>
#include <initializer_list>

namespace {

// "Targets, 2 of 14, red 255, green 255, blue 128": what a player choosing by ear needs, in one
// utterance, the name first. "first" or "last" says, at an end, why a further key changes nothing.
QString choiceText(const QString& name, int index, const bh::Colour& colour)
{
    QStringList parts{name, QStringLiteral("%1 of %2").arg(index + 1).arg(bh::kMessageTypeCount)};
    if (index == 0) {
        parts << QStringLiteral("first");
    } else if (index == bh::kMessageTypeCount - 1) {
        parts << QStringLiteral("last");
    }
    for (std::size_t c = 0; c < colour.size(); ++c) {
        parts << QStringLiteral("%1 %2")
                     .arg(QString::fromLatin1(bh::layout::kComponentNames[c]).toLower())
                     .arg(colour[c]);
    }
    return parts.join(QStringLiteral(", "));
}

const QString kChoiceHint =
    QStringLiteral("Ctrl+Up and Ctrl+Down choose the message type; on a pad, the shoulder buttons");

} // namespace

void frmMain::createMessageChoice()
{
    // The list of types takes no focus, so nothing a reader lands on would tell of these keys:
    // the first control says how to reach them, once where the player starts and once a round
    // of Tab, and a reader's "where am I" says it there again on request.
    chkFullScreen->setAccessibleDescription(kChoiceHint);
    // Three boxes that act as one choice, told as one.
    const std::array<QCheckBox*, 3> depths = {chk16bit, chk24bit, chk32bit};
    for (std::size_t i = 0; i < depths.size(); ++i) {
        depths[i]->setAccessibleDescription(
            QStringLiteral("Colour depth, %1 of %2").arg(i + 1).arg(depths.size()));
    }
    // The window's own keys are taken from each control before the control sees them, so they
    // work from every one of them and the focus stays where it is. Not as QShortcuts: Qt runs
    // those before its screen-reader bridge has offered the key to the reader, and a reader's
    // own commands (keypad Enter on OK is Orca's "where am I") would press OK instead. A
    // control's event filter runs after the bridge, and only for keys the reader let through.
    installEventFilter(this);
    for (QWidget* control : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (control->focusPolicy() != Qt::NoFocus) {
            control->installEventFilter(this);
        }
    }
    showCurrentMessage();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    // The keypad's arrows count too: with Num Lock off they are the arrows.
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (key->key() == Qt::Key_F1 && modifiers == Qt::NoModifier) {
        if (!key->isAutoRepeat()) { // a held F1 would open and close the check by turns
            colourCheckOpen() ? closeColourCheck() : openColourCheck();
        }
        return true;
    }
    if (modifiers == Qt::ControlModifier &&
        (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up)) {
        chooseNeighbourMessage(key->key() == Qt::Key_Down ? +1 : -1);
        return true;
    }
    // Return, or the keypad's Enter, presses OK as in every desktop's dialogs, but only while OK
    // has the focus; a push button that is not a default button leaves both keys alone.
    if (watched == cmdOK && modifiers == Qt::NoModifier &&
        (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        cmdOK->click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::chooseNeighbourMessage(int step)
{
    // From here on the player relies on the mark; it stays, and follows clicks too.
    keyboardChoice_ = true;
    notice_->choosing();
    const int index = CurrentMessage + step;
    if (index < 0 || index >= bh::kMessageTypeCount) {
        showCurrentMessage(); // at the end of the list: nothing to choose, but show where it is
    } else {
        SelectMessage(index); // as a click on the name: the type left behind keeps the colour
    }
    announceCurrentMessage();
}

void frmMain::announceCurrentMessage()
{
    // The focus stays where it is, so a screen reader would not say the name on its own.
    notice_->announce(choiceText(lblMessages[static_cast<std::size_t>(CurrentMessage)]->text(),
                                 CurrentMessage, barColour()),
                      WindowNotices::Kind::Choice);
}

void frmMain::showCurrentMessage()
{
    const auto current = static_cast<std::size_t>(CurrentMessage);
    for (std::size_t i = 0; i < lblMessages.size(); ++i) {
        lblMessages[i]->setSelected(i == current);
    }

    // "Red of Quests": a bar or box alone does not say which type it edits. Each says it as its
    // name, before its value, so a player who tabs on at once has heard what the number is; and
    // so does the caption beside a box, which a review of the screen reads on the box's line.
    const auto& components = bh::layout::kComponentNames;
    const std::array<QLabel*, 3> captions = {Label1, Label2, Label3};
    for (std::size_t c = 0; c < components.size(); ++c) {
        const QString edits =
            QStringLiteral("%1 of %2")
                .arg(QString::fromLatin1(components[c]), lblMessages[current]->text());
        for (QWidget* control : std::initializer_list<QWidget*>{scrColor[c], txtColor[c]}) {
            if (control->accessibleName() != edits) {
                control->setAccessibleName(edits);
            }
        }
        if (captions[c]->accessibleName() != edits + QLatin1Char(',')) {
            captions[c]->setAccessibleName(edits + QLatin1Char(','));
        }
    }

    if (keyboardChoice_) {
        const bh::layout::Place p = bh::layout::kSelectionMark.at(CurrentMessage);
        selectionMark->setGeometry(QRect(p.left, p.top, p.width, p.height).translated(formOrigin_));
        selectionMark->show();
    }
}
