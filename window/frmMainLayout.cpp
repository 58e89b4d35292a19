// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The controls of the settings window: each made from its row of the layout (WindowLayout.h),
// stacked and chained for Tab in the table's order, and given the looks of the game screen.
#include "FocusFrameStyle.h"
#include "Pictures.h"
#include "WindowAccessibility.h"
#include "frmMain.h"

#include <QPainter>
#include <algorithm>
#include <limits>

namespace {

const QColor kLightGrey(192, 192, 192);
const QColor kPanelFill(64, 64, 64);
const QColor kWhite(255, 255, 255);

// A label is exactly as wide as its caption in its face: that width is also what takes the click.
void fitToCaption(QLabel* label, const QFont& font)
{
    label->setFont(font);
    label->resize(label->fontMetrics().horizontalAdvance(label->text()), label->height());
}

} // namespace

// The window's controls come from the layout's table alone; the members only name them.
void frmMain::createControls()
{
    installWindowAccessibility(); // first: Qt keeps the first accessible interface it hands out
    focusFrames_ = newFocusFrameStyle(this);
    QWidget* previous = nullptr;
    // Children stack in the order they are made, the last on top: the table's order.
    for (const bh::layout::Control& row : bh::layout::controls()) {
        QWidget* control = createControl(row.kind);
        control->setObjectName(QString::fromStdString(row.name));
        if (!row.caption.empty()) { // every kind that shows a caption holds it as its text
            control->setProperty("text", QString::fromStdString(row.caption));
        }
        control->setGeometry(row.place.left, row.place.top, row.place.width, row.place.height);
        if (control->focusPolicy() != Qt::NoFocus) {
            control->setStyle(focusFrames_);
            if (previous != nullptr) {
                setTabOrder(previous, control);
            }
            previous = control;
        }
    }
    findControls();
    notice_ = new ScreenReaderNotice(this);
}

QWidget* frmMain::createControl(bh::layout::Kind kind)
{
    using Kind = bh::layout::Kind;
    switch (kind) {
    case Kind::Picture:
    case Kind::Caption:
        return new QLabel(this);
    case Kind::Panel:
        return new MessagePanel(this);
    case Kind::MessageName:
        return new MessageLabel(this);
    case Kind::CheckBox:
        return new QCheckBox(this);
    case Kind::ColourBar:
        return new ColourBar(this);
    case Kind::ColourBox:
        return new ColourBox(this);
    case Kind::Button:
        return new QPushButton(this);
    }
    Q_UNREACHABLE();
}

template <typename Control> Control* frmMain::control(const std::string& name) const
{
    auto* found = findChild<Control*>(QString::fromStdString(name), Qt::FindDirectChildrenOnly);
    Q_ASSERT_X(found != nullptr, "frmMain", "a control missing from the layout's table");
    return found;
}

template <typename Control, std::size_t N>
void frmMain::controlGroup(std::array<Control*, N>& group, const char* name) const
{
    for (std::size_t i = 0; i < N; ++i) {
        group[i] = control<Control>(name + ('(' + std::to_string(i) + ')'));
    }
}

void frmMain::findControls()
{
    imgBase = control<QLabel>("imgBase");
    imgDebugON = control<QLabel>("imgDebugON");
    shpMessages = control<MessagePanel>("shpMessages");
    selectionMark = control<QLabel>("selectionMark");
    controlGroup(lblMessages, "lblMessages");
    Label1 = control<QLabel>("Label1");
    Label2 = control<QLabel>("Label2");
    Label3 = control<QLabel>("Label3");
    chkFullScreen = control<QCheckBox>("chkFullScreen");
    chkDebug = control<QCheckBox>("chkDebug");
    chkAntialias = control<QCheckBox>("chkAntialias");
    chkDither = control<QCheckBox>("chkDither");
    chk16bit = control<QCheckBox>("chk16bit");
    chk24bit = control<QCheckBox>("chk24bit");
    chk32bit = control<QCheckBox>("chk32bit");
    chkWBuffer = control<QCheckBox>("chkWBuffer");
    chkKeepBodies = control<QCheckBox>("chkKeepBodies");
    controlGroup(scrColor, "scrColor");
    controlGroup(txtColor, "txtColor");
    cmdOK = control<QPushButton>("cmdOK");
}

void frmMain::finishControls(const QFont& messageFont, const QFont& captionFont)
{
    imgBase->setPixmap(bh::picture(QStringLiteral("backdrop"), devicePixelRatioF()));
    imgDebugON->hide(); // its picture is decoded by chkDebug_Click the first time it is shown
    QPalette whiteText = palette();
    whiteText.setColor(QPalette::WindowText, kWhite);
    QPalette panel = whiteText; // a white border around the dark fill
    panel.setColor(QPalette::Window, kPanelFill);
    shpMessages->setPalette(panel);
    shpMessages->setAutoFillBackground(true);
    shpMessages->setFrameStyle(QFrame::Box | QFrame::Plain);
    // Rows 1, 2, 3, ... pixels long up to the middle and back: a right-pointing white triangle,
    // in whole pixels like the panel's border.
    QPixmap arrow(selectionMark->size() * devicePixelRatioF());
    arrow.setDevicePixelRatio(devicePixelRatioF());
    arrow.fill(Qt::transparent);
    QPainter painter(&arrow);
    for (int row = 0; row < selectionMark->height(); ++row) {
        painter.fillRect(0, row, std::min(row, selectionMark->height() - 1 - row) + 1, 1, kWhite);
    }
    painter.end();
    selectionMark->setPixmap(arrow);
    selectionMark->setPalette(whiteText);
    selectionMark->setAttribute(Qt::WA_TransparentForMouseEvents); // a click falls through it
    selectionMark->hide();
    for (MessageLabel* label : lblMessages) {
        label->setPalette(whiteText);
        fitToCaption(label, messageFont);
    }
    for (QLabel* label : {Label1, Label2, Label3}) {
        label->setPalette(whiteText);
        fitToCaption(label, captionFont);
    }

    QPalette greyFace = palette();
    greyFace.setColor(QPalette::Window, kLightGrey);
    greyFace.setColor(QPalette::Button, kLightGrey);
    greyFace.setColor(QPalette::WindowText, Qt::black);
    for (QCheckBox* box : findChildren<QCheckBox*>(QString(), Qt::FindDirectChildrenOnly)) {
        box->setAccessibleName(box->text());
        box->setPalette(greyFace);
        box->setAutoFillBackground(true);
    }
    for (std::size_t c = 0; c < scrColor.size(); ++c) {
        const auto component = QString::fromLatin1(bh::layout::kComponentNames[c]);
        scrColor[c]->setAccessibleName(component);
        txtColor[c]->setAccessibleName(component);
        txtColor[c]->setMaxLength(std::numeric_limits<int>::max());
    }
    cmdOK->setAccessibleName(cmdOK->text());
    // Escape never presses OK, and Enter does only when OK has the focus (connectHandlers).
    cmdOK->setAutoDefault(false);
    cmdOK->setDefault(false);
}
