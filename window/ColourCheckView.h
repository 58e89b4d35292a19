// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include "ColourCheck.h"
#include "Palettes.h"

#include <QFrame>
#include <QString>
#include <array>

class QLabel;
class QListWidget;
class QPushButton;

// The colour check, drawn over the form as a panel of the log's own grey: each message type's
// name in its colour with its contrast on that grey, the types that look alike with normal vision
// and to red-, green- and blue-blind players, the 14 names as each of those players sees them,
// and the palettes that fix what it finds. It only shows and offers; the form applies a palette
// to its own colours and tells it what the colours are now.
//
// Tab, the arrows and a pad's d-pad go round the palettes and never leave the view; Space, Enter
// and a pad's A apply one; F1 and Escape (a pad's Y and B) ask the form to take the view away.
// A screen reader finds a dialog named "Colour check", a row per type that says its contrast, a
// list of look-alike pairs per vision and a button per palette.
class ColourCheckView : public QFrame {
    Q_OBJECT
public:
    // form: the settings window the view lies over, inside its 640 x 480.
    explicit ColourCheckView(QWidget* form);

    // Shows the check of these colours: the 14 colours in message-type order as the form shows
    // them, the one being edited as its bars have it.
    void setColours(const bh::MessageColours& colours);

    // Puts the keyboard on the first palette.
    void focusPalettes(Qt::FocusReason reason);

signals:
    void paletteChosen(bh::Palette palette);
    void closeRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void createPanels();
    void createLookAlikeLists();
    void createPalettes();

    std::array<QLabel*, bh::kMessageTypeCount> contrastRows_{};
    std::array<QWidget*, bh::kVisionCount> visionPanels_{};
    std::array<QLabel*, bh::kVisionCount> pairCounts_{};
    std::array<QListWidget*, bh::kVisionCount> lookAlike_{};
    std::array<QPushButton*, bh::kPaletteCount> palettes_{};
};
