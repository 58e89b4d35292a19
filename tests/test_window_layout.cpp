// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The window as created: every control in its place, its first state, the keyboard's path
// through it, and the notification rules the handlers rely on.
#include "WindowLayout.h"
#include "WindowTestSupport.h"

#include <QFontInfo>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

class WindowLayout : public QObject {
    Q_OBJECT
private slots:
    void controlsStandWhereTheGameScreenHasThem_data();
    void controlsStandWhereTheGameScreenHasThem();
    void windowIsFixedAndTitled();
    void createdStateBeforeLoading();
    void stackingFromBackdropToControls();
    void tabWalksTheControlsInOrder();
    void everyControlHasAnAccessibleName();
    void settingTheSameValueRaisesNothing();
    void scrollBarChangesOnlyWhenADragEnds();
    void scrollBarKeysAndArrowsStepByOne();
};

void WindowLayout::controlsStandWhereTheGameScreenHasThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry"); // width 0: a label, as wide as its caption
    for (const bh::layout::Control& control : bh::layout::controls()) {
        const bh::layout::Place& p = control.place;
        QTest::newRow(control.name.c_str())
            << QString::fromStdString(control.name) << QString::fromStdString(control.caption)
            << QRect(p.left, p.top, p.width, p.height);
    }
}

void WindowLayout::controlsStandWhereTheGameScreenHasThem()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, geometry);
    WindowUnderTest w(QByteArray(), false);
    QWidget* widget = w.control<QWidget>(name);
    QVERIFY2(widget, qPrintable(name));
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QCOMPARE(button->text(), caption);
    } else if (auto* box = qobject_cast<QLineEdit*>(widget)) {
        QCOMPARE(box->text(), caption);
    }
    auto* label = qobject_cast<QLabel*>(widget);
    if (geometry.width() > 0) {
        QCOMPARE(widget->geometry(), geometry);
        return;
    }
    QVERIFY(label);
    QCOMPARE(label->text(), caption);
    QCOMPARE(label->pos(), geometry.topLeft());
    QCOMPARE(label->height(), geometry.height());
    // The width is the caption's, so only the caption takes a click.
    QCOMPARE(label->width(), label->fontMetrics().horizontalAdvance(caption));
    QVERIFY(label->width() > 0);
    const bool messageName = name.startsWith(QStringLiteral("lblMessages"));
    QCOMPARE(label->font().pointSizeF(), messageName ? 9.75 : 9.0);
    QCOMPARE(label->font().weight(), QFont::Bold);
    QVERIFY2(QFontInfo(label->font()).family().contains(QStringLiteral("Garamond")),
             qPrintable(QFontInfo(label->font()).family()));
    QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    QVERIFY(!label->autoFillBackground());
    // The message names must not run under the scroll bars beside them (the tests that look
    // for a name on screen search up to the bars).
    if (messageName) {
        QVERIFY2(label->geometry().right() < bh::layout::kColourBars.first.left,
                 qPrintable(caption));
    }
}

void WindowLayout::windowIsFixedAndTitled()
{
    WindowUnderTest w(configBytes(bh::ConfigRecord{}));
    QCOMPARE(w.window().windowTitle(), QStringLiteral("Brackenholt Config"));
    QCOMPARE(w.window().size(), QSize(640, 480));
    QCOMPARE(w.window().minimumSize(), QSize(640, 480));
    QCOMPARE(w.window().maximumSize(), QSize(640, 480));
    QVERIFY(!(w.window().windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!w.window().windowIcon().isNull());
    QVERIFY(!w.ok()->isDefault());
    QVERIFY(!w.ok()->autoDefault());
}

void WindowLayout::createdStateBeforeLoading()
{
    WindowUnderTest w(QByteArray(), false);
    for (QCheckBox* box : w.window().findChildren<QCheckBox*>()) {
        QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
        QCOMPARE(box->palette().color(box->backgroundRole()), QColor(192, 192, 192));
        QVERIFY(box->autoFillBackground());
    }
    for (int c = 0; c < 3; ++c) {
        QCOMPARE(w.bar(c)->value(), 0);
        QCOMPARE(w.bar(c)->minimum(), 0);
        QCOMPARE(w.bar(c)->maximum(), 255);
        QCOMPARE(w.box(c)->text(), QStringLiteral("255"));
    }
    for (QLabel* label : w.window().findChildren<QLabel*>()) {
        if (!label->objectName().startsWith(QStringLiteral("img"))) {
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(255, 255, 255));
        }
    }
    QVERIFY(w.debugPreview()->isHidden());
    QCOMPARE(w.window().currentMessage(), 0);
    for (const bh::Colour& colour : w.window().messageColors()) {
        QCOMPARE(colour, (bh::Colour{0, 0, 0}));
    }
}

// The table lists the controls bottom of the stack first, the operable ones in tab order.
void WindowLayout::stackingFromBackdropToControls()
{
    WindowUnderTest w(QByteArray(), false);
    QStringList bottomToTop;
    for (const bh::layout::Control& control : bh::layout::controls()) {
        bottomToTop << QString::fromStdString(control.name);
    }
    // A widget's children paint in the order of the list, the last on top; every child is in
    // the table.
    QStringList order;
    for (QObject* child : w.window().children()) {
        if (child->isWidgetType()) {
            order << child->objectName();
        }
    }
    QCOMPARE(order, bottomToTop);
}

void WindowLayout::tabWalksTheControlsInOrder()
{
    WindowUnderTest w(configBytes(bh::ConfigRecord{}));
    QStringList expected;
    for (const bh::layout::Control& control : bh::layout::controls()) {
        auto* widget = w.control<QWidget>(QString::fromStdString(control.name));
        if (widget != nullptr && widget->focusPolicy() != Qt::NoFocus) {
            expected << widget->objectName();
        }
    }
    // The check boxes, a bar and a box per component, and OK.
    const int operable = int(bh::layout::kCheckBoxes.size()) + 2 * bh::kComponentCount + 1;
    QCOMPARE(expected.size(), operable);
    // The focus a click gives shows as ever; once Tab moves it, as a plain frame (the text boxes
    // show theirs either way).
    const auto framed = [](QWidget* c) { return qobject_cast<QLineEdit*>(c) == nullptr; };
    for (const QString& name : expected) {
        auto* control = w.control<QWidget>(name);
        control->setFocus(Qt::MouseFocusReason);
        QVERIFY2(!framed(control) || focusLook(control) == FocusLook::Nothing, qPrintable(name));
    }
    w.control<QWidget>(expected.first())->setFocus(Qt::MouseFocusReason);
    expected << expected.first(); // past the end the order starts again
    QStringList walked;
    for (int step = 0; step < expected.size(); ++step) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        walked << focus->objectName();
        QVERIFY2(step == 0 || !framed(focus) || focusLook(focus) == FocusLook::Frame,
                 qPrintable(focus->objectName()));
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    QCOMPARE(walked, expected);
}

void WindowLayout::everyControlHasAnAccessibleName()
{
    WindowUnderTest w(QByteArray(), false);
    for (QWidget* widget : w.window().findChildren<QWidget*>()) {
        if (widget->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        QVERIFY2(!widget->accessibleName().isEmpty(), qPrintable(widget->objectName()));
    }
    QCOMPARE(w.bar(0)->accessibleName(), QStringLiteral("Red"));
    QCOMPARE(w.box(1)->accessibleName(), QStringLiteral("Green"));
    QCOMPARE(w.bar(2)->accessibleName(), QStringLiteral("Blue"));
}

void WindowLayout::settingTheSameValueRaisesNothing()
{
    WindowUnderTest w(configBytes(bh::ConfigRecord{}));
    QCheckBox* box = w.check("chkDither");
    QSignalSpy toggles(box, &QCheckBox::toggled);
    box->setChecked(false);
    QCOMPARE(toggles.count(), 0);
    box->setChecked(true);
    QCOMPARE(toggles.count(), 1);

    QSignalSpy changes(w.bar(1), &QScrollBar::valueChanged);
    w.bar(1)->setValue(w.bar(1)->value());
    QCOMPARE(changes.count(), 0);

    // Selecting the type already being edited sets every bar to where it stands: nothing moves,
    // and a selection in a text box survives.
    QSignalSpy edits(w.box(0), &QLineEdit::textChanged);
    w.box(0)->setFocus();
    w.box(0)->setSelection(0, 1);
    QCOMPARE(w.box(0)->selectedText(), QStringLiteral("0"));
    w.clickLabel(0);
    QCOMPARE(edits.count(), 0);
    QCOMPARE(w.box(0)->selectedText(), QStringLiteral("0"));
}

void WindowLayout::scrollBarChangesOnlyWhenADragEnds()
{
    WindowUnderTest w(configBytes(bh::ConfigRecord{})); // all black: bars at the bottom
    QSignalSpy changes(w.bar(0), &QScrollBar::valueChanged);
    int duringDrag = -1;
    w.dragThumb(0, -60, &duringDrag);
    QCOMPARE(duringDrag, 0);
    QCOMPARE(changes.count(), 1);
    QVERIFY(w.bar(0)->value() < 255);
    QCOMPARE(w.box(0)->text(), QString::number(255 - w.bar(0)->value()));
    QCOMPARE(w.labelColour(0), w.barColour());
}

void WindowLayout::scrollBarKeysAndArrowsStepByOne()
{
    bh::ConfigRecord r;
    r.colours[0] = {100, 100, 100};
    WindowUnderTest w(r);
    const struct {
        const char* what;
        std::function<void()> act;
        int component;
    } steps[] = {
        {"down arrow", [&] { w.clickBarPart(1, QStyle::SC_ScrollBarAddLine); }, 99},
        {"up arrow", [&] { w.clickBarPart(1, QStyle::SC_ScrollBarSubLine); }, 100},
        {"track below the thumb", [&] { w.clickBarPart(1, QStyle::SC_ScrollBarAddPage); }, 99},
        {"track above the thumb", [&] { w.clickBarPart(1, QStyle::SC_ScrollBarSubPage); }, 100},
        {"Up key",
         [&] {
             w.bar(1)->setFocus();
             QTest::keyClick(w.bar(1), Qt::Key_Up);
         },
         101},
        {"Down key", [&] { QTest::keyClick(w.bar(1), Qt::Key_Down); }, 100},
    };
    for (const auto& step : steps) {
        QSignalSpy changes(w.bar(1), &QScrollBar::valueChanged);
        step.act();
        QVERIFY2(changes.count() == 1, step.what);
        QVERIFY2(w.box(1)->text() == QString::number(step.component), step.what);
        QVERIFY2(w.labelColour(0)[1] == step.component, step.what);
    }
}

QTEST_MAIN(WindowLayout)
#include "test_window_layout.moc"
