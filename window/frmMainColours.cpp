// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The message colour editor: three bars and three boxes editing red, green and blue of the
// message type being edited, with its name drawn in the colour as it changes.
#include "NumericText.h"
#include "frmMain.h"

#include <algorithm>

namespace {

double numberIn(const QLineEdit* box)
{
    return bh::leadingNumber(box->text().toStdString());
}

// QLineEdit::setText with unchanged text raises no textChanged but still moves the caret to
// the end and drops the selection; a player typing must keep both, so equal text is left alone.
void setTextIfDifferent(QLineEdit* box, const QString& text)
{
    if (box->text() != text) {
        box->setText(text);
    }
}

} // namespace

void frmMain::scrColor_Change(int index)
{
    const auto c = static_cast<std::size_t>(index);
    setTextIfDifferent(txtColor[c], QString::number(scrColor[c]->component()));
    lblMessages[static_cast<std::size_t>(CurrentMessage)]->setTextColour(barColour());
    colourCheckFollows();
}

void frmMain::txtColor_Change(int index)
{
    // Each step reads the box afresh: every step that changes the text has already run this
    // handler again, nested, to its end. Text already in its final form is not set again, so
    // digits typed one by one keep the caret where the player left it.
    QLineEdit* box = txtColor[static_cast<std::size_t>(index)];
    const QString typed = box->text();
    setTextIfDifferent(box, QString::fromStdString(bh::shortNumberText(numberIn(box))));
    if (numberIn(box) < 0) {
        setTextIfDifferent(box, QStringLiteral("0"));
    }
    if (numberIn(box) > 255) {
        setTextIfDifferent(box, QStringLiteral("255"));
    }
    // The bar takes the whole component; if it moves, its handler rewrites the box as that whole
    // number (12.7 becomes 13). If it stands there already, the box keeps what was typed.
    scrColor[static_cast<std::size_t>(index)]->setComponent(numberIn(box));
    // A screen reader keeps quiet about text the program puts in a box, so the player would not
    // know that 300 became 255, nor why a letter they typed is gone and what stands there now.
    if (box->text() != typed) {
        const bool refused = std::any_of(typed.begin(), typed.end(), [](QChar ch) {
            return (ch < u'0' || ch > u'9') && ch != u'.';
        });
        notice_->announce(refused ? box->text() + QStringLiteral(", numbers 0 to 255")
                                  : box->text());
    }
}
