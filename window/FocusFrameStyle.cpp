// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "FocusFrameStyle.h"

#include <QPainter>
#include <QStyleOption>

namespace {

// Two pixels wide inside rect: on the controls' light faces the text colour stands out by far
// more than 3 : 1.
void drawFocusFrame(QPainter* painter, const QStyleOption* option, const QRect& rect)
{
    constexpr QStyle::State kShown = QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
    if ((option->state & kShown) != kShown) {
        return;
    }
    painter->save();
    painter->setClipRegion(QRegion(rect).subtracted(rect.adjusted(2, 2, -2, -2)));
    painter->fillRect(rect, option->palette.windowText());
    painter->restore();
}

} // namespace

FocusFrameStyle::FocusFrameStyle() : QProxyStyle(QStringLiteral("Fusion")) {}

void FocusFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                    QPainter* painter, const QWidget* widget) const
{
    // Asked for by the check boxes, around their captions.
    if (element == PE_FrameFocusRect) {
        drawFocusFrame(painter, option, option->rect);
    } else {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void FocusFrameStyle::drawControl(ControlElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const
{
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element == CE_PushButton) {
        drawFocusFrame(painter, option, subElementRect(SE_PushButtonFocusRect, option, widget));
    }
}

void FocusFrameStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                         QPainter* painter, const QWidget* widget) const
{
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    // A pixel in from the edge, so the frame stands on the bar's light face, not the dark panel.
    if (control == CC_ScrollBar) {
        drawFocusFrame(painter, option, option->rect.adjusted(1, 1, -1, -1));
    }
}
