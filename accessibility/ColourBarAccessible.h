// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessibleWidget>

class ColourBar;

// A colour bar presents the component it stands for, so a screen reader says "255" for a bar
// at full intensity, where the raw scroll position is 0. A value set from outside moves the bar
// like a drag that ends there: the bar's own Change handler does the rest.
class ColourBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ColourBarAccessible(ColourBar* bar);

    void* interface_cast(QAccessible::InterfaceType t) override;
    QString text(QAccessible::Text t) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    ColourBar* bar() const;
};
