// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The colour check over the form: F1 brings it, F1 or Escape takes it away, and the palettes it
// offers go through the form's own colour path, so the names, bars and boxes follow as after any
// edit and nothing is written before OK.
#include "ColourCheckView.h"
#include "frmMain.h"

namespace {

QString appliedText(bh::Palette palette)
{
    switch (palette) {
    case bh::Palette::AsWhenOpened:
        return QStringLiteral("Colours as when opened applied");
    case bh::Palette::GameColours:
        return QStringLiteral("The game's colours applied");
    case bh::Palette::RedGreenSafe:
    case bh::Palette::BlueYellowSafe:
    case bh::Palette::HighContrast:
        break;
    }
    const std::string_view name = bh::kPaletteNames.at(static_cast<std::size_t>(palette));
    return QString::fromLatin1(name.data(), qsizetype(name.size())) +
           QStringLiteral(" colours applied");
}

} // namespace

bool frmMain::colourCheckOpen() const
{
    return colourCheck_ != nullptr && colourCheck_->isVisible();
}

void frmMain::openColourCheck()
{
    if (colourCheckOpen() || closingAfterNotice_) {
        return;
    }
    if (colourCheck_ == nullptr) {
        // Made here, not with the form: a player who never asks for it pays nothing at start-up.
        colourCheck_ = new ColourCheckView(this);
        colourCheck_->move(colourCheck_->pos() + formOrigin_);
        connect(colourCheck_, &ColourCheckView::paletteChosen, this, &frmMain::applyPalette);
        connect(colourCheck_, &ColourCheckView::closeRequested, this, &frmMain::closeColourCheck);
    }
    formFocus_ = focusWidget();
    formShowedFocus_ = testAttribute(Qt::WA_KeyboardFocusChange);
    colourCheck_->setColours(shownColours());
    colourCheck_->raise();
    colourCheck_->show();
    // F1 is a key: the palettes show where the keyboard is. The control the focus leaves sees a
    // popup's reason, so a text box keeps its selection for when the form comes back.
    setAttribute(Qt::WA_KeyboardFocusChange);
    colourCheck_->focusPalettes(Qt::PopupFocusReason);
}

void frmMain::closeColourCheck()
{
    if (!colourCheckOpen()) {
        return;
    }
    // The focus goes back before the view hides, or Qt would hand it to the next control in the
    // tab order on the way, and a text box would select its text.
    setAttribute(Qt::WA_KeyboardFocusChange, formShowedFocus_);
    if (formFocus_ != nullptr) {
        formFocus_->setFocus(Qt::PopupFocusReason);
    } else {
        setFocus(Qt::PopupFocusReason);
    }
    colourCheck_->hide();
}

void frmMain::applyPalette(bh::Palette palette)
{
    // As Form_Load does: the table and every name, then the bars take the type being edited, and
    // their handlers fill its boxes and repaint its name.
    MessageColors = bh::paletteColours(palette, openedColours_);
    for (std::size_t i = 0; i < MessageColors.size(); ++i) {
        lblMessages[i]->setTextColour(MessageColors[i]);
    }
    editMessage(CurrentMessage);
    colourCheckFollows();
    notice_->announce(appliedText(palette));
}

bh::MessageColours frmMain::shownColours() const
{
    bh::MessageColours shown = MessageColors;
    shown[static_cast<std::size_t>(CurrentMessage)] = barColour();
    return shown;
}

void frmMain::colourCheckFollows()
{
    if (colourCheckOpen()) {
        colourCheck_->setColours(shownColours());
    }
}
