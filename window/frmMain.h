// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

// How the settings window works, in brief:
//  - bh::ConfigRecord (config/ConfigRecord.h) is bh.cfg as one record; bh::ConfigFile
//    (config/ConfigFile.h) moves it between disk and memory.
//  - frmMain is the one window. Form_Load reads the record and sets the controls from it; after
//    that the check boxes alone hold the options, and MessageColors plus the three scroll bars
//    hold the message colours (the bars own the colour of the type being edited).
//  - cmdOK_Click commits the bars through SelectMessage(0), builds a record from the controls,
//    saves it and closes the window; a save that fails leaves the window open with every edit,
//    for OK again. Closing any other way saves nothing.
//  - Every handler runs synchronously inside the change that raised it, so a handler that sets
//    a control runs that control's handler before it goes on. Two things keep this finite:
//    DepthUpdating, and controls that raise nothing when set to the value they already hold.
// Files: frmMain.cpp (life cycle), frmMainLayout.cpp (the controls, made from the layout table),
// frmMainOptions.cpp (display options), frmMainColours.cpp (message colour editor),
// frmMainSelection.cpp (choosing the type by keyboard, and what assistive technology is told),
// frmMainColourCheck.cpp (F1: the colour check over the form, and the palettes it applies).

#include "ColourBar.h"
#include "ColourBox.h"
#include "ConfigFile.h"
#include "ConfigRecord.h"
#include "MessageLabel.h"
#include "MessagePanel.h"
#include "Palettes.h"
#include "WindowLayout.h"
#include "WindowNotices.h"

#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <array>
#include <cstdint>

class ColourCheckView;

class frmMain : public QWidget {
    Q_OBJECT
public:
    // configFile: the bh.cfg this window reads on load and writes on OK; it must outlive the
    // window.
    explicit frmMain(bh::ConfigFile& configFile, QWidget* parent = nullptr);

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

    // Who hears what the window tells of its own accord; nobody until this is called. The
    // notices must outlive the window.
    void setNotices(WindowNotices* notices);

    // Ctrl+Down (+1) and Ctrl+Up (-1), and a pad's shoulder buttons: the neighbouring type, as
    // a click on its name would, told to a screen reader once a run of them stops.
    void chooseNeighbourMessage(int step);

    // F1 and a pad's Y: the colour check over the form, made the first time it is asked for,
    // and F1 or Escape in it to take it away, leaving the form as it was, focus and all.
    void openColourCheck();
    void closeColourCheck();
    bool colourCheckOpen() const;

protected:
    // A window manager may make the window full screen, maximise it or force another size on it
    // although it cannot be resized. The form then stays whole, centred on black as the game's
    // own screen would show it, and each change of state is drawn at once: a compositor that
    // applies a state with the window's next frame would otherwise leave it half applied, with
    // clicks landing away from the controls they are aimed at.
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // The window's keys (Ctrl+Down, Ctrl+Up, and Enter on OK), taken from whichever control has
    // the focus once a screen reader has let them through.
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // The settings could not be saved on OK; the window stays as it was, with every edit.
    void saveFailed(const QString& message);
    // The settings were saved on OK; the window closes.
    void saved();

private:
    // One walk over the layout's table makes every control: the member its row's id names, of
    // that member's type, with its name, caption, place, place in the stack and turn in the tab
    // order.
    void createControls();
    QWidget* createControl(const bh::layout::Control& row);
    // Calls visit(member, "member") on the member id names: a control, or a group's array.
    template <typename Visit> void visitMember(bh::layout::Id id, Visit&& visit);
    // The looks of the game screen, and what the table cannot say: the pictures, the palettes,
    // the label faces, and the names a screen reader gives the controls.
    void finishControls(const QFont& messageFont, const QFont& captionFont);
    void connectHandlers();
    void createMessageChoice();
    bh::ConfigRecord recordFromControls() const;
    bh::Colour barColour() const;

    // The one operation shared by OK and the colour editor: commit the bars' colour to the type
    // being edited, then bring the colour of type index into the bars.
    void SelectMessage(int index);
    void editMessage(int index); // its second half alone: on load the bars hold nothing yet

    // Marks the name of the type being edited, for the eye and for assistive technology.
    void showCurrentMessage();
    // Tells a screen reader which type is now being edited, with its place and colour.
    void announceCurrentMessage();

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

    // A palette from the colour check becomes every type's colour, as a file read at start
    // would: the names, the table, and the bars and boxes of the type being edited.
    void applyPalette(bh::Palette palette);
    // The colours as the names show them: the table, and the bars' live colour for the type
    // being edited. The open colour check follows them.
    bh::MessageColours shownColours() const;
    void colourCheckFollows();

    bh::ConfigFile& configFile_;
    QStyle* focusFrames_ = nullptr;
    // Tells the player what changed away from the control they are on.
    WindowNotices* notice_;
    QPoint formOrigin_; // the form's top left corner in the window: 0,0 at the window's own size

    // The controls, made by createControls from the layout's table.
    QLabel* imgBase = nullptr;
    QLabel* imgDebugON = nullptr;
    MessagePanel* shpMessages = nullptr;
    // Points at the name being edited once the player has chosen a type with the keyboard: the
    // names never take the focus, so this mark alone shows which one the bars edit.
    QLabel* selectionMark = nullptr;
    std::array<MessageLabel*, bh::kMessageTypeCount> lblMessages{};
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QCheckBox* chkFullScreen = nullptr;
    QCheckBox* chkDebug = nullptr;
    QCheckBox* chkAntialias = nullptr;
    QCheckBox* chkDither = nullptr;
    QCheckBox* chk16bit = nullptr;
    QCheckBox* chk24bit = nullptr;
    QCheckBox* chk32bit = nullptr;
    QCheckBox* chkWBuffer = nullptr;
    QCheckBox* chkKeepBodies = nullptr;
    std::array<ColourBar*, bh::kComponentCount> scrColor{};
    std::array<ColourBox*, bh::kComponentCount> txtColor{};
    QPushButton* cmdOK = nullptr;

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

    // The colours bh.cfg gave at start, for the palette "As when opened".
    bh::MessageColours openedColours_{};
    ColourCheckView* colourCheck_ = nullptr; // none until F1
    // What the colour check gives back when it goes: the control that had the focus, and
    // whether the focus frames showed.
    QPointer<QWidget> formFocus_;
    bool formShowedFocus_ = false;
};
