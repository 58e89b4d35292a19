// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The controls of the settings window, created in their places (WindowLayout.h).
#include "FilledRectangle.h"
#include "MessageLabel.h"
#include "Pictures.h"
#include "WindowLayout.h"
#include "frmMain.h"

#include <QCheckBox>
#include <QFont>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <limits>

namespace {

using bh::layout::Place;

const QColor kLightGrey(192, 192, 192);
const QColor kPanelFill(64, 64, 64);
const QColor kWhite(255, 255, 255);

void place(QWidget* widget, const Place& p)
{
    widget->setGeometry(p.left, p.top, p.width, p.height);
}

// A label is exactly as wide as its caption: that width is also what takes the click.
void placeFitToCaption(QLabel* label, const Place& p)
{
    label->setGeometry(p.left, p.top, label->fontMetrics().horizontalAdvance(label->text()),
                       p.height);
}

} // namespace

void frmMain::createControls()
{
    // Children stack in creation order, so this runs from the bottom up: backdrop, debug
    // preview, panel, labels, then everything the player can operate.
    imgBase = new QLabel(this);
    imgBase->setObjectName(QStringLiteral("imgBase"));
    imgBase->setPixmap(bh::picture(QStringLiteral("backdrop"), devicePixelRatioF()));
    place(imgBase, bh::layout::kWindow);

    imgDebugON = new QLabel(this);
    imgDebugON->setObjectName(QStringLiteral("imgDebugON"));
    // Its picture is decoded by chkDebug_Click the first time it is shown.
    place(imgDebugON, bh::layout::kDebugPreview);
    imgDebugON->hide();

    shpMessages = new FilledRectangle(kPanelFill, kWhite, this);
    shpMessages->setObjectName(QStringLiteral("shpMessages"));
    place(shpMessages, bh::layout::kMessagePanel);

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
        placeFitToCaption(label, bh::layout::kMessageLabels.at(i));
        lblMessages[static_cast<std::size_t>(i)] = label;
    }

    const QFont captionFont = bh::labelFont(9.0);
    const std::array<QLabel * frmMain::*, 3> captionMembers = {&frmMain::Label1, &frmMain::Label2,
                                                               &frmMain::Label3};
    const auto& captionTexts = bh::layout::kComponentNames;
    for (int c = 0; c < bh::kComponentCount; ++c) {
        auto* label =
            new QLabel(QString::fromLatin1(captionTexts[static_cast<std::size_t>(c)]), this);
        label->setObjectName(QStringLiteral("Label%1").arg(c + 1));
        label->setFont(captionFont);
        label->setPalette(whiteText);
        placeFitToCaption(label, bh::layout::kComponentCaptions.at(c));
        this->*captionMembers[static_cast<std::size_t>(c)] = label;
    }

    // The controls the player operates, in tab order.
    const std::array<QCheckBox * frmMain::*, bh::layout::kCheckBoxes.size()> checkBoxMembers = {
        &frmMain::chkFullScreen, &frmMain::chkDebug,   &frmMain::chkAntialias,
        &frmMain::chkDither,     &frmMain::chk16bit,   &frmMain::chk24bit,
        &frmMain::chk32bit,      &frmMain::chkWBuffer, &frmMain::chkKeepBodies};
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
    for (std::size_t i = 0; i < checkBoxMembers.size(); ++i) {
        const bh::layout::CheckBox& row = bh::layout::kCheckBoxes[i];
        auto* box = new QCheckBox(QString::fromLatin1(row.caption), this);
        box->setObjectName(QString::fromLatin1(row.name));
        box->setAccessibleName(box->text());
        box->setPalette(greyFace);
        box->setAutoFillBackground(true);
        place(box, row.place);
        this->*checkBoxMembers[i] = box;
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
        place(bar, bh::layout::kColourBars.at(c));
        scrColor[static_cast<std::size_t>(c)] = bar;
        chainTab(bar);
    }

    for (int c = 0; c < bh::kComponentCount; ++c) {
        auto* box = new QLineEdit(QString::fromLatin1(bh::layout::kColourBoxFirstText), this);
        box->setObjectName(QStringLiteral("txtColor(%1)").arg(c));
        box->setAccessibleName(QString::fromLatin1(captionTexts[static_cast<std::size_t>(c)]));
        box->setMaxLength(std::numeric_limits<int>::max());
        place(box, bh::layout::kColourBoxes.at(c));
        txtColor[static_cast<std::size_t>(c)] = box;
        chainTab(box);
    }

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAccessibleName(cmdOK->text());
    // Neither Enter nor Escape may save: only a deliberate press of OK does.
    cmdOK->setAutoDefault(false);
    cmdOK->setDefault(false);
    place(cmdOK, bh::layout::kOK);
    chainTab(cmdOK);
}
