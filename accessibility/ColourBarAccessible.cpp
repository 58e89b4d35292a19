// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ColourBarAccessible.h"

#include "ColourBar.h"
#include "NumericText.h"

#include <algorithm>
#include <cmath>

ColourBarAccessible::ColourBarAccessible(ColourBar* bar)
    : QAccessibleWidget(bar, QAccessible::ScrollBar)
{
}

void* ColourBarAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::ValueInterface) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    if (t == QAccessible::TextInterface) {
        return static_cast<QAccessibleTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(t);
}

QString ColourBarAccessible::text(QAccessible::Text t) const
{
    return t == QAccessible::Value ? QString::number(bar()->component())
                                   : QAccessibleWidget::text(t);
}

QVariant ColourBarAccessible::currentValue() const
{
    return bar()->component();
}

void ColourBarAccessible::setCurrentValue(const QVariant& value)
{
    // Rounded as a typed value is: to the nearest whole component, a half to the even one.
    const double asked = value.toDouble();
    if (std::isnan(asked)) {
        return;
    }
    bar()->setComponent(bh::roundHalfEven(std::clamp(asked, 0.0, 255.0)));
}

QVariant ColourBarAccessible::maximumValue() const
{
    return 255;
}

QVariant ColourBarAccessible::minimumValue() const
{
    return 0;
}

QVariant ColourBarAccessible::minimumStepSize() const
{
    return 1;
}

QString ColourBarAccessible::shown() const
{
    return QStringLiteral("%1, %2").arg(text(QAccessible::Name)).arg(bar()->component());
}

QString ColourBarAccessible::text(int startOffset, int endOffset) const
{
    return shown().mid(startOffset, std::max(0, endOffset - startOffset));
}

int ColourBarAccessible::characterCount() const
{
    return int(shown().size());
}

QRect ColourBarAccessible::characterRect(int offset) const
{
    return offset >= 0 && offset < characterCount() ? rect() : QRect();
}

int ColourBarAccessible::offsetAtPoint(const QPoint& point) const
{
    return rect().contains(point) ? 0 : -1;
}

QString ColourBarAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    // One run over the whole text, as a box has.
    const int length = characterCount();
    const bool inside = offset >= 0 && offset <= length;
    *startOffset = inside ? 0 : offset;
    *endOffset = inside ? length : offset;
    return {};
}

void ColourBarAccessible::selection(int /*selectionIndex*/, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
}

ColourBar* ColourBarAccessible::bar() const
{
    return static_cast<ColourBar*>(widget());
}
