// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The controls of the settings window: each made from its row of the layout (WindowLayout.h),
// stacked and chained for Tab in the table's order, and given the looks of the game screen.
#include "FocusFrameStyle.h"
#include "Pictures.h"
#include "WholeFaceCheckBox.h"
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

// Fills the member with a control of its own type, once; null when it holds one already or the
// index is past a group's end.
template <typename Control> QWidget* fill(Control*& member, std::size_t index, QWidget* window)
{
    if (member != nullptr || index != 0) {
        return nullptr;
    }
    member = new Control(window);
    return member;
}

// A check box takes clicks on the whole of its grey face.
QWidget* fill(QCheckBox*& member, std::size_t index, QWidget* window)
{
    if (member != nullptr || index != 0) {
        return nullptr;
    }
    member = new WholeFaceCheckBox(window);
    return member;
}

template <typename Control, std::size_t N>
QWidget* fill(std::array<Control*, N>& group, std::size_t index, QWidget* window)
{
    return index < N ? fill(group[index], 0, window) : nullptr;
}

template <typename Control> bool filled(Control* const& member)
{
    return member != nullptr;
}

template <typename Control, std::size_t N> bool filled(const std::array<Control*, N>& group)
{
    return std::all_of(group.begin(), group.end(), [](const Control* c) { return c != nullptr; });
}

} // namespace

// Every id of the layout with the member of the same name it fills. An id without its case here
// does not build (-Werror=switch); the stringified name keeps the two from parting.
template <typename Visit> void frmMain::visitMember(bh::layout::Id id, Visit&& visit)
{
    using Id = bh::layout::Id;
#define BH_MEMBER(member)                                                                          \
    case Id::member:                                                                               \
        visit(member, #member);                                                                    \
        return
    switch (id) {
        BH_MEMBER(imgBase);
        BH_MEMBER(imgDebugON);
        BH_MEMBER(shpMessages);
        BH_MEMBER(selectionMark);
        BH_MEMBER(lblMessages);
        BH_MEMBER(Label1);
        BH_MEMBER(Label2);
        BH_MEMBER(Label3);
        BH_MEMBER(chkFullScreen);
        BH_MEMBER(chkDebug);
        BH_MEMBER(chkAntialias);
        BH_MEMBER(chkDither);
        BH_MEMBER(chk16bit);
        BH_MEMBER(chk24bit);
        BH_MEMBER(chk32bit);
        BH_MEMBER(chkWBuffer);
        BH_MEMBER(chkKeepBodies);
        BH_MEMBER(scrColor);
        BH_MEMBER(txtColor);
        BH_MEMBER(cmdOK);
    }
#undef BH_MEMBER
    qFatal("The window's layout names control %d, which the window does not have", int(id));
}

// The window's controls come from the layout's table alone; the members only name them.
void frmMain::createControls()
{
    focusFrames_ = newFocusFrameStyle(this);
    QWidget* previous = nullptr;
    // Children stack in the order they are made, the last on top: the table's order.
    for (const bh::layout::Control& row : bh::layout::controls()) {
        QWidget* control = createControl(row);
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
    // A member no row filled would be a null pointer the first time a handler reached for it.
    for (int id = 0; id < bh::layout::kIdCount; ++id) {
        visitMember(bh::layout::Id(id), [](const auto& member, const char* name) {
            if (!filled(member)) {
                qFatal("No row of the window's layout makes its control %s", name);
            }
        });
    }
}

QWidget* frmMain::createControl(const bh::layout::Control& row)
{
    QWidget* control = nullptr;
    visitMember(row.id, [&](auto& member, const char* name) {
        control = fill(member, static_cast<std::size_t>(row.index), this);
        if (control == nullptr) {
            qFatal("The window's layout makes its control %s twice, or row %s is past its end",
                   name, row.name.c_str());
        }
    });
    return control;
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
    shpMessages->setAccessibleDescription(QStringLiteral("F1 checks the colours; on a pad, Y"));
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
