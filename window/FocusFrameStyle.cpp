// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "FocusFrameStyle.h"

#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

namespace {

class FocusFrameStyle : public QProxyStyle {
public:
    FocusFrameStyle() : QProxyStyle(QStringLiteral("Fusion")) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element == PE_FrameFocusRect) { // around a check box's caption
            drawFocusFrame(painter, option, option->rect);
        } else {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
        }
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        QProxyStyle::drawControl(element, option, painter, widget);
        if (element == CE_PushButton) {
            drawFocusFrame(painter, option, subElementRect(SE_PushButtonFocusRect, option, widget));
        }
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override
    {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        if (control == CC_ScrollBar) { // a pixel in, on the bar's light face, off the dark panel
            drawFocusFrame(painter, option, option->rect.adjusted(1, 1, -1, -1));
        }
    }

private:
    // Two pixels wide inside rect, in the text colour: on the controls' light faces it stands out
    // by far more than 3 : 1.
    static void drawFocusFrame(QPainter* painter, const QStyleOption* option, const QRect& rect)
    {
        if (option->state & State_HasFocus && option->state & State_KeyboardFocusChange) {
            painter->save();
            painter->setClipRegion(QRegion(rect).subtracted(rect.adjusted(2, 2, -2, -2)));
            painter->fillRect(rect, option->palette.windowText());
            painter->restore();
        }
    }
};

} // namespace

QStyle* newFocusFrameStyle(QObject* parent)
{
    auto* style = new FocusFrameStyle;
    style->setParent(parent);
    return style;
}
