// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// Which message type is being edited, for players without a mouse: Ctrl+Down and Ctrl+Up choose
// the next or previous type from anywhere in the window, a mark beside the name shows the choice
// once those keys have been used, and assistive technology learns which name is selected and
// which type the bars and boxes edit.
#include "frmMain.h"

#include <QShortcut>

void frmMain::createMessageChoice()
{
    // A window-wide shortcut: none of the controls uses these keys, so they work from every one
    // of them, and the focus stays where it is.
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down), this);
    connect(next, &QShortcut::activated, this, [this] { chooseNeighbourMessage(+1); });
    auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up), this);
    connect(previous, &QShortcut::activated, this, [this] { chooseNeighbourMessage(-1); });

    showCurrentMessage();
}

void frmMain::chooseNeighbourMessage(int step)
{
    // From here on the player relies on the mark; it stays, and follows clicks too.
    keyboardChoice_ = true;
    const int index = CurrentMessage + step;
    if (index < 0 || index >= bh::kMessageTypeCount) {
        showCurrentMessage(); // at the end of the list: nothing to choose, but show where it is
    } else {
        SelectMessage(index); // as a click on the name: the type left behind keeps the colour
    }
    // The focus stays where it is, so a screen reader would not say the name on its own; at
    // either end it says it again, which tells the player the list goes no further.
    notice_->announce(lblMessages[static_cast<std::size_t>(CurrentMessage)]->text());
}

void frmMain::showCurrentMessage()
{
    const auto current = static_cast<std::size_t>(CurrentMessage);
    for (std::size_t i = 0; i < lblMessages.size(); ++i) {
        lblMessages[i]->setSelected(i == current);
    }

    // "Red of Quests": a bar or box alone does not say which type it edits.
    const auto& components = bh::layout::kComponentNames;
    for (std::size_t c = 0; c < components.size(); ++c) {
        const QString description =
            QStringLiteral("%1 of %2")
                .arg(QString::fromLatin1(components[c]), lblMessages[current]->text());
        for (QWidget* editor :
             {static_cast<QWidget*>(scrColor[c]), static_cast<QWidget*>(txtColor[c])}) {
            if (editor->accessibleDescription() != description) {
                editor->setAccessibleDescription(description);
            }
        }
    }

    if (keyboardChoice_) {
        const bh::layout::Place p = bh::layout::kSelectionMark.at(CurrentMessage);
        selectionMark->setGeometry(QRect(p.left, p.top, p.width, p.height).translated(formOrigin_));
        selectionMark->show();
    }
}
