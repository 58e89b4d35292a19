// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The controls of the settings window and where they stand. The window is a mock-up of the game
// screen, so every place is a fixed pixel position over the backdrop.
#include "FilledRectangle.h"
#include "MessageLabel.h"
#include "Pictures.h"
#include "frmMain.h"

#include <QCheckBox>
#include <QFont>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <limits>

namespace {

struct Place {
    int left, top, width, height;
};

struct CheckBoxRow {
    QCheckBox* frmMain::*member;
    const char* name;
    const char* caption;
    Place place;
};

constexpr int kMessageLabelHeight = 14;
constexpr int kCaptionLabelHeight = 13;
const QColor kLightGrey(192, 192, 192);
const QColor kPanelFill(64, 64, 64);
const QColor kWhite(255, 255, 255);

void place(QWidget* widget, const Place& p)
{
    widget->setGeometry(p.left, p.top, p.width, p.height);
}

// A label is exactly as wide as its caption: that width is also what takes the click.
void fitToCaption(QLabel* label, int height)
{
    label->resize(label->fontMetrics().horizontalAdvance(label->text()), height);
}

} // namespace

void frmMain::createControls()
{
    // Children stack in creation order, so this runs from the bottom up: backdrop, debug
    // preview, panel, labels, then everything the player can operate.
    imgBase = new QLabel(this);
    imgBase->setObjectName(QStringLiteral("imgBase"));
    imgBase->setPixmap(bh::picture(QStringLiteral("backdrop"), devicePixelRatioF()));
    place(imgBase, {0, 0, 640, 480});

    imgDebugON = new QLabel(this);
    imgDebugON->setObjectName(QStringLiteral("imgDebugON"));
    // Its picture is decoded by chkDebug_Click the first time it is shown.
    place(imgDebugON, {0, 0, 199, 105});
    imgDebugON->hide();

    shpMessages = new FilledRectangle(kPanelFill, kWhite, this);
    shpMessages->setObjectName(QStringLiteral("shpMessages"));
    place(shpMessages, {16, 80, 225, 241});

    QPalette whiteText = palette();
    whiteText.setColor(QPalette::WindowText, kWhite);

    const QFont messageFont = bh::labelFont(9.75);
    for (int i = 0; i < bh::kMessageTypeCount; ++i) {
        const auto caption =
            QString::fromLatin1(bh::kMessageTypeNames[static_cast<std::size_t>(i)]);
        auto* label = new MessageLabel(caption, i, this);
        label->setObjectName(QStringLiteral("lblMessages(%1)").arg(i));
        label->setFont(messageFont);
        label->setPalette(whiteText);
        label->move(24, 88 + 16 * i);
        fitToCaption(label, kMessageLabelHeight);
        lblMessages[static_cast<std::size_t>(i)] = label;
    }

    const QFont captionFont = bh::labelFont(9.0);
    const std::array<QLabel * frmMain::*, 3> captionMembers = {&frmMain::Label1, &frmMain::Label2,
                                                               &frmMain::Label3};
    const std::array<const char*, 3> captionTexts = {"Red", "Green", "Blue"};
    for (int c = 0; c < bh::kComponentCount; ++c) {
        auto* label =
            new QLabel(QString::fromLatin1(captionTexts[static_cast<std::size_t>(c)]), this);
        label->setObjectName(QStringLiteral("Label%1").arg(c + 1));
        label->setFont(captionFont);
        label->setPalette(whiteText);
        label->move(128, 248 + 24 * c);
        fitToCaption(label, kCaptionLabelHeight);
        this->*captionMembers[static_cast<std::size_t>(c)] = label;
    }

    // The controls the player operates, in tab order.
    static const std::array<CheckBoxRow, 9> checkBoxes = {{
        {&frmMain::chkFullScreen, "chkFullScreen", "Full Screen", {392, 24, 185, 25}},
        {&frmMain::chkDebug, "chkDebug", "Debug Info", {392, 56, 185, 25}},
        {&frmMain::chkAntialias, "chkAntialias", "Antialiasing", {392, 88, 185, 25}},
        {&frmMain::chkDither, "chkDither", "Dithering", {392, 120, 185, 25}},
        {&frmMain::chk16bit, "chk16bit", "16-bit", {392, 152, 57, 25}},
        {&frmMain::chk24bit, "chk24bit", "24-bit", {456, 152, 57, 25}},
        {&frmMain::chk32bit, "chk32bit", "32-bit", {520, 152, 57, 25}},
        {&frmMain::chkWBuffer, "chkWBuffer", "W-Buffering", {392, 184, 185, 25}},
        {&frmMain::chkKeepBodies, "chkKeepBodies", "Keep bodies of dead NPCs", {392, 216, 185, 25}},
    }};
    QPalette greyFace = palette();
    greyFace.setColor(QPalette::Window, kLightGrey);
    greyFace.setColor(QPalette::Button, kLightGrey);
    greyFace.setColor(QPalette::WindowText, Qt::black);
    QWidget* previous = nullptr;
    auto chainTab = [&previous](QWidget* next) {
        if (previous != nullptr) {
            setTabOrder(previous, next);
        }
        previous = next;
    };
    for (const CheckBoxRow& row : checkBoxes) {
        auto* box = new QCheckBox(QString::fromLatin1(row.caption), this);
        box->setObjectName(QString::fromLatin1(row.name));
        box->setAccessibleName(box->text());
        box->setPalette(greyFace);
        box->setAutoFillBackground(true);
        place(box, row.place);
        this->*row.member = box;
        chainTab(box);
    }

    for (int c = 0; c < bh::kComponentCount; ++c) {
        auto* bar = new QScrollBar(Qt::Vertical, this);
        bar->setObjectName(QStringLiteral("scrColor(%1)").arg(c));
        bar->setAccessibleName(QString::fromLatin1(captionTexts[static_cast<std::size_t>(c)]));
        bar->setRange(0, 255);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        bar->setValue(0);
        // The colour changes when the player lets go of the thumb, not on every pixel of a drag.
        bar->setTracking(false);
        bar->setFocusPolicy(Qt::StrongFocus);
        place(bar, {128 + 32 * c, 96, 25, 137});
        scrColor[static_cast<std::size_t>(c)] = bar;
        chainTab(bar);
    }

    for (int c = 0; c < bh::kComponentCount; ++c) {
        auto* box = new QLineEdit(QStringLiteral("255"), this);
        box->setObjectName(QStringLiteral("txtColor(%1)").arg(c));
        box->setAccessibleName(QString::fromLatin1(captionTexts[static_cast<std::size_t>(c)]));
        box->setMaxLength(std::numeric_limits<int>::max());
        place(box, {176, 248 + 24 * c, 41, 19});
        txtColor[static_cast<std::size_t>(c)] = box;
        chainTab(box);
    }

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAccessibleName(cmdOK->text());
    // Neither Enter nor Escape may save: only a deliberate press of OK does.
    cmdOK->setAutoDefault(false);
    cmdOK->setDefault(false);
    place(cmdOK, {456, 296, 105, 25});
    chainTab(cmdOK);
}
