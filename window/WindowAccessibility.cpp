// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "WindowAccessibility.h"

#include "ColourBar.h"
#include "MessageLabel.h"
#include "NumericText.h"

#include <QAccessibleWidget>
#include <algorithm>
#include <cmath>

namespace {

// A message name: one item of the list of message types, the selected one being edited.
class MessageLabelAccessible : public QAccessibleWidget {
public:
    explicit MessageLabelAccessible(MessageLabel* label)
        : QAccessibleWidget(label, QAccessible::ListItem)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? label()->text() : QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.selectable = true;
        s.selected = label()->isSelected();
        return s;
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& action) override
    {
        if (action == pressAction()) {
            label()->click();
        }
    }

    QStringList keyBindingsForAction(const QString& /*action*/) const override { return {}; }

private:
    MessageLabel* label() const { return static_cast<MessageLabel*>(widget()); }
};

// A colour bar presents the component it stands for, so a screen reader says "255" for a bar
// at full intensity, where the raw scroll position is 0. A value set from outside moves the bar
// like a drag that ends there: the bar's own Change handler does the rest.
class ColourBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ColourBarAccessible(ColourBar* bar) : QAccessibleWidget(bar, QAccessible::ScrollBar) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? QString::number(bar()->component())
                                       : QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return bar()->component(); }

    void setCurrentValue(const QVariant& value) override
    {
        // Rounded as a typed value is: to the nearest whole component, a half to the even one.
        const double asked = value.toDouble();
        if (std::isnan(asked)) {
            return;
        }
        bar()->setComponent(bh::roundHalfEven(std::clamp(asked, 0.0, 255.0)));
    }

    QVariant maximumValue() const override { return 255; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    ColourBar* bar() const { return static_cast<ColourBar*>(widget()); }
};

QAccessibleInterface* windowAccessibleFactory(const QString& /*className*/, QObject* object)
{
    if (auto* label = qobject_cast<MessageLabel*>(object)) {
        return new MessageLabelAccessible(label);
    }
    if (auto* bar = qobject_cast<ColourBar*>(object)) {
        return new ColourBarAccessible(bar);
    }
    return nullptr;
}

} // namespace

void installWindowAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(windowAccessibleFactory);
        return true;
    }();
    (void)installed;
}
