// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The window's life: creation, loading bh.cfg into the controls, and OK.
#include "frmMain.h"

#include "ConfigError.h"
#include "ConfigFile.h"
#include "Pictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <utility>

namespace {

// Where nobody is plugged in to hear the window: changes go untold, and the window closes at once.
class NobodyListens final : public WindowNotices {
public:
    void announce(const QString& /*text*/, Kind /*kind*/) override {}
    void choosing() override {}
    void farewell(const QString& /*text*/, const std::function<void()>& close) override { close(); }
};

NobodyListens nobody; // holds no state, so one serves every window

} // namespace

// A fixed size alone still leaves a Windows window its sizing border, and under Wine its X
// window no minimum or maximum size, so a window manager offers to resize it; the fixed-size
// dialog hint gives it the thin frame. Other platforms ignore the hint.
frmMain::frmMain(bh::ConfigFile& configFile, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      configFile_(configFile), notice_(&nobody)
{
    setWindowTitle(QString::fromLatin1(bh::layout::kCaption));
    setWindowIcon(bh::programIcon());
    setFixedSize(bh::layout::kWindow.width, bh::layout::kWindow.height);

    // The faces go into the font database before any control exists: added later, it
    // would have every font resolved again.
    const QFont messageFont = bh::labelFont(9.75);
    const QFont captionFont = bh::labelFont(9.0);
    setFont(bh::controlFont()); // the controls take it from the window, the labels have their own
    createControls();
    finishControls(messageFont, captionFont);
    connectHandlers();
    createMessageChoice();
    chkFullScreen->setFocus();
}

void frmMain::setNotices(WindowNotices* notices)
{
    notice_ = notices != nullptr ? notices : &nobody;
}

void frmMain::connectHandlers()
{
    connect(chkDebug, &QCheckBox::toggled, this, &frmMain::chkDebug_Click);
    connect(chk16bit, &QCheckBox::toggled, this, &frmMain::chk16bit_Click);
    connect(chk24bit, &QCheckBox::toggled, this, &frmMain::chk24bit_Click);
    connect(chk32bit, &QCheckBox::toggled, this, &frmMain::chk32bit_Click);
    for (int c = 0; c < bh::kComponentCount; ++c) {
        const auto i = static_cast<std::size_t>(c);
        connect(scrColor[i], &QScrollBar::valueChanged, this, [this, c] { scrColor_Change(c); });
        connect(txtColor[i], &QLineEdit::textChanged, this, [this, c] { txtColor_Change(c); });
    }
    connect(cmdOK, &QPushButton::clicked, this, &frmMain::cmdOK_Click);
    for (int i = 0; i < bh::kMessageTypeCount; ++i) {
        connect(lblMessages[static_cast<std::size_t>(i)], &MessageLabel::clicked, this,
                [this, i] { lblMessages_Click(i); });
    }
}

void frmMain::Form_Load()
{
    const bh::ConfigRecord record = configFile_.read();

    // The order matters: W-buffering is set before the depth box, and the depth rule is held
    // off while the depth box is checked, so W-buffering keeps the value the file gives it.
    // Every box starts unchecked, so an option that is off raises nothing.
    for (const auto& [box, on] : {std::pair{chkFullScreen, record.fullScreen},
                                  {chkDebug, record.debugInfo},
                                  {chkAntialias, record.antialiasing},
                                  {chkDither, record.dithering},
                                  {chkWBuffer, record.wBuffering}}) {
        box->setChecked(on);
    }
    DepthUpdating = true;
    switch (record.depth) {
    case bh::ColourDepth::Bits16:
        chk16bit->setChecked(true);
        break;
    case bh::ColourDepth::Bits24:
        chk24bit->setChecked(true);
        break;
    case bh::ColourDepth::Bits32:
        chk32bit->setChecked(true);
        break;
    }
    DepthUpdating = false;
    chkKeepBodies->setChecked(record.keepBodies);

    MessageColors = record.colours;
    openedColours_ = record.colours;
    for (std::size_t i = 0; i < MessageColors.size(); ++i) {
        lblMessages[i]->setTextColour(MessageColors[i]);
    }
    editMessage(0);
}

void frmMain::showCentered()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        QRect place = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), available);
        // On a screen smaller than the window (Game Mode on a small one, which gamescope shrinks
        // the window to fit) its top left corner stays on it, never above the top edge.
        place.moveTopLeft(
            {std::max(place.left(), available.left()), std::max(place.top(), available.top())});
        setGeometry(place);
    }
    show();
}

void frmMain::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) {
        return;
    }
    // A Wayland compositor only offers a full screen's size, and Qt keeps a fixed-size window at
    // its size, which leaves the form in a corner: there the window takes the whole screen and
    // the form stands in its middle, and it is fixed at 640 x 480 again when the state ends.
    const QSize form(bh::layout::kWindow.width, bh::layout::kWindow.height);
    if ((windowState() & Qt::WindowFullScreen) != 0 && screen() != nullptr) {
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(screen()->size().expandedTo(form));
    } else if (maximumSize() != form) {
        setFixedSize(form);
    }
    update();
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const QPoint origin(std::max(0, (width() - bh::layout::kWindow.width) / 2),
                        std::max(0, (height() - bh::layout::kWindow.height) / 2));
    const QPoint shift = origin - formOrigin_;
    if (shift.isNull()) {
        return;
    }
    formOrigin_ = origin;
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!control->isWindow()) {
            control->move(control->pos() + shift);
        }
    }
    update();
}

void frmMain::paintEvent(QPaintEvent* /*event*/)
{
    const QRect form(formOrigin_, QSize(bh::layout::kWindow.width, bh::layout::kWindow.height));
    if (!form.contains(rect())) {
        QPainter(this).fillRect(rect(), Qt::black); // the backdrop covers the form itself
    }
}

bh::Colour frmMain::barColour() const
{
    bh::Colour colour{};
    for (std::size_t c = 0; c < scrColor.size(); ++c) {
        colour[c] = scrColor[c]->component();
    }
    return colour;
}

void frmMain::SelectMessage(int index)
{
    MessageColors[static_cast<std::size_t>(CurrentMessage)] = barColour();
    editMessage(index);
}

void frmMain::editMessage(int index)
{
    CurrentMessage = static_cast<std::int16_t>(index);
    // Each bar that moves runs its Change handler right here, which fills in its text box and
    // repaints the label of the type now being edited.
    const bh::Colour& colour = MessageColors[static_cast<std::size_t>(index)];
    for (std::size_t c = 0; c < scrColor.size(); ++c) {
        scrColor[c]->setComponent(colour[c]);
    }
    showCurrentMessage();
}

bh::ConfigRecord frmMain::recordFromControls() const
{
    bh::ConfigRecord record;
    record.fullScreen = chkFullScreen->isChecked();
    record.debugInfo = chkDebug->isChecked();
    record.antialiasing = chkAntialias->isChecked();
    record.dithering = chkDither->isChecked();
    record.wBuffering = chkWBuffer->isChecked();
    record.depth = chk16bit->isChecked()   ? bh::ColourDepth::Bits16
                   : chk24bit->isChecked() ? bh::ColourDepth::Bits24
                                           : bh::ColourDepth::Bits32;
    record.keepBodies = chkKeepBodies->isChecked();
    record.colours = MessageColors;
    return record;
}

void frmMain::cmdOK_Click()
{
    if (closingAfterNotice_) {
        return; // saved already; the window only waits for the reader
    }
    const int editing = CurrentMessage;
    SelectMessage(0); // the colour being edited counts too, even if no other name was clicked
    try {
        configFile_.write(recordFromControls());
    } catch (const bh::ConfigError& error) {
        // The window stays as it was, with every edit and the same type chosen: the player can
        // mend the cause (a read-only file, a full disk) and press OK again, or close the window
        // and keep the old file.
        SelectMessage(editing);
        emit saveFailed(QString::fromStdString(error.what()));
        return;
    }
    emit saved();
    closingAfterNotice_ = true;
    notice_->farewell(QStringLiteral("Settings saved"), [this] { close(); });
}

void frmMain::lblMessages_Click(int index)
{
    notice_->choosing();
    SelectMessage(index);
    // A reader's click on a name or its press action moves nothing it would speak of.
    announceCurrentMessage();
}
