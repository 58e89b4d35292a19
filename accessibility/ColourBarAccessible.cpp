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

ColourBar* ColourBarAccessible::bar() const
{
    return static_cast<ColourBar*>(widget());
}
