// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The controls of the settings window: each made from its row of the layout (WindowLayout.h),
// stacked and chained for Tab in the table's order, and given the looks of the game screen.
#include "Pictures.h"
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

void frmMain::fromLayout(QWidget* control, const std::string& name)
{
    const auto row = std::find_if(layout_.begin(), layout_.end(),
                                  [&](const bh::layout::Control& c) { return c.name == name; });
    control->setObjectName(QString::fromStdString(name));
    if (row == layout_.end()) {
        return; // not in the table: the layout test names it
    }
    if (!row->caption.empty()) { // every kind that shows a caption holds it as its text property
        control->setProperty("text", QString::fromStdString(row->caption));
    }
    control->setGeometry(row->place.left, row->place.top, row->place.width, row->place.height);
    if (control->focusPolicy() != Qt::NoFocus) {
        control->setStyle(focusFrames_);
    }
}

void frmMain::finishControls()
{
    QWidget* previous = nullptr;
    for (const bh::layout::Control& row : layout_) {
        auto* control =
            findChild<QWidget*>(QString::fromStdString(row.name), Qt::FindDirectChildrenOnly);
        if (control == nullptr) {
            continue; // the window lacks it: the layout test names it
        }
        control->raise(); // children stack in the order of the list, the last on top
        if (control->focusPolicy() != Qt::NoFocus) {
            if (previous != nullptr) {
                setTabOrder(previous, control);
            }
            previous = control;
        }
    }

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
        fitToCaption(label, messageFont_);
    }
    for (QLabel* label : {Label1, Label2, Label3}) {
        label->setPalette(whiteText);
        fitToCaption(label, captionFont_);
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
