// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

// How the settings window works, in brief:
//  - bh::ConfigRecord (config/ConfigRecord.h) is bh.cfg as one record; bh::readConfigFile and
//    bh::writeConfigFile (config/ConfigFile.h) move it between disk and memory.
//  - frmMain is the one window. Form_Load reads the record and sets the controls from it; after
//    that the check boxes alone hold the options, and MessageColors plus the three scroll bars
//    hold the message colours (the bars own the colour of the type being edited).
//  - cmdOK_Click commits the bars through SelectMessage(0), builds a record from the controls,
//    saves it and closes the window. Closing any other way saves nothing.
//  - Every handler runs synchronously inside the change that raised it, so a handler that sets
//    a control runs that control's handler before it goes on. Two things keep this finite:
//    DepthUpdating, and controls that raise nothing when set to the value they already hold.
// Files: frmMain.cpp (life cycle), frmMainLayout.cpp (controls and places),
// frmMainOptions.cpp (display options), frmMainColours.cpp (message colour editor),
// frmMainSelection.cpp (choosing the type by keyboard, and what assistive technology is told).

#include "ColourBar.h"
#include "ConfigRecord.h"
#include "FocusFrameStyle.h"
#include "MessageLabel.h"
#include "Pictures.h"
#include "WindowAccessibility.h"
#include "WindowLayout.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <array>
#include <cstdint>
#include <string>

class frmMain : public QWidget {
    Q_OBJECT
public:
    // configPath: the bh.cfg this window reads on load and writes on OK.
    explicit frmMain(QString configPath, QWidget* parent = nullptr);

    // Fills the window from bh.cfg. Call once, before the window is shown.
    // Throws bh::ConfigError when the file cannot be read; the window must then not be shown.
    void Form_Load();

    // Shows the window in the middle of its screen.
    void showCentered();

    const std::array<bh::Colour, bh::kMessageTypeCount>& messageColors() const
    {
        return MessageColors;
    }
    int currentMessage() const { return CurrentMessage; }

protected:
    // The window's keys (Ctrl+Down, Ctrl+Up, and Enter on OK), taken from whichever control has
    // the focus once a screen reader has let them through.
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // The settings could not be saved on OK; the window closes right after this returns.
    void saveFailed(const QString& message);

private:
    // A control as its row in the window's layout (WindowLayout.h) has it: name, caption, place.
    template <typename Control> Control* make(const std::string& name)
    {
        installWindowAccessibility(); // first: Qt keeps the first accessible interface it hands out
        auto* control = new Control(this);
        fromLayout(control, name);
        return control;
    }
    // An indexed group, named "name(0)", "name(1)", ...
    template <typename Control, std::size_t N> std::array<Control*, N> makeGroup(const char* name)
    {
        std::array<Control*, N> group{};
        for (std::size_t i = 0; i < N; ++i) {
            group[i] = make<Control>(name + ('(' + std::to_string(i) + ')'));
        }
        return group;
    }
    void fromLayout(QWidget* control, const std::string& name);
    void finishControls();
    void connectHandlers();
    void createMessageChoice();
    bh::ConfigRecord recordFromControls() const;
    bh::Colour barColour() const;

    // The one operation shared by OK and the colour editor: commit the bars' colour to the type
    // being edited, then bring the colour of type index into the bars.
    void SelectMessage(int index);
    void editMessage(int index); // its second half alone: on load the bars hold nothing yet

    // Ctrl+Down (+1) and Ctrl+Up (-1): the neighbouring type, as a click on its name would.
    void chooseNeighbourMessage(int step);
    // Marks the name of the type being edited, for the eye and for assistive technology.
    void showCurrentMessage();

    // Handlers, in the order their controls stand in the window.
    void chkDebug_Click();
    void chk16bit_Click();
    void chk24bit_Click();
    void chk32bit_Click();
    // Behind the three depth handlers: box becomes the one depth, W-buffering follows it.
    void applyDepthRule(QCheckBox* box);
    void scrColor_Change(int index);
    void txtColor_Change(int index);
    void cmdOK_Click();
    void lblMessages_Click(int index);

    QString configPath_;
    const std::vector<bh::layout::Control> layout_ = bh::layout::controls();
    QStyle* focusFrames_ = newFocusFrameStyle(this);
    // Made before any control, so the embedded label face is in the font database before the
    // first font is resolved: added later, it has every font resolved again.
    const QFont messageFont_ = bh::labelFont(9.75);
    const QFont captionFont_ = bh::labelFont(9.0);

    // Every control: here its kind, and in its row of the layout's table its caption, its place
    // and its turn in the stack and in the tab order.
    QLabel* imgBase = make<QLabel>("imgBase");
    QLabel* imgDebugON = make<QLabel>("imgDebugON");
    QFrame* shpMessages = make<QFrame>("shpMessages");
    // Points at the name being edited once the player has chosen a type with the keyboard: the
    // names never take the focus, so this mark alone shows which one the bars edit.
    QLabel* selectionMark = make<QLabel>("selectionMark");
    std::array<MessageLabel*, bh::kMessageTypeCount> lblMessages =
        makeGroup<MessageLabel, bh::kMessageTypeCount>("lblMessages");
    QLabel* Label1 = make<QLabel>("Label1");
    QLabel* Label2 = make<QLabel>("Label2");
    QLabel* Label3 = make<QLabel>("Label3");
    QCheckBox* chkFullScreen = make<QCheckBox>("chkFullScreen");
    QCheckBox* chkDebug = make<QCheckBox>("chkDebug");
    QCheckBox* chkAntialias = make<QCheckBox>("chkAntialias");
    QCheckBox* chkDither = make<QCheckBox>("chkDither");
    QCheckBox* chk16bit = make<QCheckBox>("chk16bit");
    QCheckBox* chk24bit = make<QCheckBox>("chk24bit");
    QCheckBox* chk32bit = make<QCheckBox>("chk32bit");
    QCheckBox* chkWBuffer = make<QCheckBox>("chkWBuffer");
    QCheckBox* chkKeepBodies = make<QCheckBox>("chkKeepBodies");
    std::array<ColourBar*, bh::kComponentCount> scrColor =
        makeGroup<ColourBar, bh::kComponentCount>("scrColor");
    std::array<QLineEdit*, bh::kComponentCount> txtColor =
        makeGroup<QLineEdit, bh::kComponentCount>("txtColor");
    QPushButton* cmdOK = make<QPushButton>("cmdOK");
    // Tells a screen reader what changed away from the control the player is on.
    ScreenReaderNotice* notice = new ScreenReaderNotice(this);

    // The committed colour of every message type; the type being edited has its live colour in
    // the scroll bars and is written back here only by SelectMessage.
    std::array<bh::Colour, bh::kMessageTypeCount> MessageColors{};
    std::int16_t CurrentMessage = 0;
    // While true the depth rule stands still, so setting one depth box does not set off the
    // others' handlers.
    bool DepthUpdating = false;
    // Whether a type has been chosen with the keyboard: only then is the mark shown, so the
    // window looks the same as ever to a player who uses the mouse.
    bool keyboardChoice_ = false;
    // OK has saved and the window waits for a screen reader to say so before it closes.
    bool closingAfterNotice_ = false;
};
