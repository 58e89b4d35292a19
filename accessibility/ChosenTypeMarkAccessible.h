// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessibleInterface>
#include <QPointer>
#include <QWidget>

// The word "chosen" beside the name of the type being edited, for a screen reader's review of
// the screen, which reads what stands where line by line but says nothing of which list item is
// selected: it reads "chosen Targets" on that name's line. It stands where the keyboard's mark is
// drawn, in the panel's margin, and like every accessible object it draws nothing: a player who
// sees the window sees it as before. It has no widget; the window's frame owns it.
class ChosenTypeMarkAccessible : public QAccessibleInterface {
public:
    explicit ChosenTypeMarkAccessible(QWidget* window);

    bool isValid() const override;
    QObject* object() const override;
    QWindow* window() const override;
    QVector<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override;
    QAccessibleInterface* focusChild() const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString& text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;

private:
    QPointer<QWidget> window_;
};
