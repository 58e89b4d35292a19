// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessibleWidget>
#include <QList>

// The settings window as assistive technology finds it: a frame named by its title, whose
// children are its controls with the message names gathered in their list, and last the word
// that marks the name being edited for a review of the screen (ChosenTypeMarkAccessible).
class WindowFrameAccessible : public QAccessibleWidget {
public:
    explicit WindowFrameAccessible(QWidget* window);
    ~WindowFrameAccessible() override;
    WindowFrameAccessible(const WindowFrameAccessible&) = delete;
    WindowFrameAccessible& operator=(const WindowFrameAccessible&) = delete;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

private:
    QList<QWidget*> children() const;

    QAccessible::Id chosenMark_;
};
