// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The window as created: every control in its place, its first state, the keyboard's path
// through it, and the notification rules the handlers rely on.
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
    void labelsAreAsWideAsTheirCaptions_data();
    void labelsAreAsWideAsTheirCaptions();
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
    QTest::addColumn<QRect>("geometry");

    const struct {
        const char* name = nullptr;
        const char* caption = nullptr;
        QRect geometry;
    } rows[] = {
        {"chkFullScreen", "Full Screen", {392, 24, 185, 25}},
        {"chkDebug", "Debug Info", {392, 56, 185, 25}},
        {"chkAntialias", "Antialiasing", {392, 88, 185, 25}},
        {"chkDither", "Dithering", {392, 120, 185, 25}},
        {"chk16bit", "16-bit", {392, 152, 57, 25}},
        {"chk24bit", "24-bit", {456, 152, 57, 25}},
        {"chk32bit", "32-bit", {520, 152, 57, 25}},
        {"chkWBuffer", "W-Buffering", {392, 184, 185, 25}},
        {"chkKeepBodies", "Keep bodies of dead NPCs", {392, 216, 185, 25}},
        {"scrColor(0)", "", {128, 96, 25, 137}},
        {"scrColor(1)", "", {160, 96, 25, 137}},
        {"scrColor(2)", "", {192, 96, 25, 137}},
        {"txtColor(0)", "255", {176, 248, 41, 19}},
        {"txtColor(1)", "255", {176, 272, 41, 19}},
        {"txtColor(2)", "255", {176, 296, 41, 19}},
        {"cmdOK", "OK", {456, 296, 105, 25}},
        {"shpMessages", "", {16, 80, 225, 241}},
        {"imgDebugON", "", {0, 0, 199, 105}},
        {"imgBase", "", {0, 0, 640, 480}},
    };
    for (const auto& row : rows) {
        QTest::newRow(row.name) << QString::fromLatin1(row.name) << QString::fromLatin1(row.caption)
                                << row.geometry;
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
    QCOMPARE(widget->geometry(), geometry);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QCOMPARE(button->text(), caption);
    } else if (auto* box = qobject_cast<QLineEdit*>(widget)) {
        QCOMPARE(box->text(), caption);
    }
}

void WindowLayout::labelsAreAsWideAsTheirCaptions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<int>("height");
    QTest::addColumn<qreal>("pointSize");
    for (int i = 0; i < bh::kMessageTypeCount; ++i) {
        const auto caption =
            QString::fromLatin1(bh::kMessageTypeNames[static_cast<std::size_t>(i)]);
        QTest::newRow(qPrintable(caption)) << QStringLiteral("lblMessages(%1)").arg(i) << caption
                                           << QPoint(24, 88 + 16 * i) << 14 << 9.75;
    }
    QTest::newRow("Red") << "Label1"
                         << "Red" << QPoint(128, 248) << 13 << 9.0;
    QTest::newRow("Green") << "Label2"
                           << "Green" << QPoint(128, 272) << 13 << 9.0;
    QTest::newRow("Blue") << "Label3"
                          << "Blue" << QPoint(128, 296) << 13 << 9.0;
}

void WindowLayout::labelsAreAsWideAsTheirCaptions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QPoint, position);
    QFETCH(int, height);
    QFETCH(qreal, pointSize);
    WindowUnderTest w(QByteArray(), false);
    auto* label = w.control<QLabel>(name);
    QVERIFY(label);
    QCOMPARE(label->text(), caption);
    QCOMPARE(label->pos(), position);
    QCOMPARE(label->height(), height);
    // The width is the caption's, so only the caption takes a click.
    QCOMPARE(label->width(), label->fontMetrics().horizontalAdvance(caption));
    QVERIFY(label->width() > 0);
    QCOMPARE(label->font().pointSizeF(), pointSize);
    QCOMPARE(label->font().weight(), QFont::Bold);
    QVERIFY2(QFontInfo(label->font()).family().contains(QStringLiteral("Garamond")),
             qPrintable(QFontInfo(label->font()).family()));
    QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    QVERIFY(!label->autoFillBackground());
    // The message names must not run under the scroll bars beside them.
    if (name.startsWith(QStringLiteral("lblMessages"))) {
        QVERIFY2(label->geometry().right() < 128, qPrintable(caption));
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

void WindowLayout::stackingFromBackdropToControls()
{
    WindowUnderTest w(QByteArray(), false);
    QStringList bottomToTop = {QStringLiteral("imgBase"), QStringLiteral("imgDebugON"),
                               QStringLiteral("shpMessages")};
    for (int i = 0; i < bh::kMessageTypeCount; ++i) {
        bottomToTop << QStringLiteral("lblMessages(%1)").arg(i);
    }
    bottomToTop << QStringLiteral("Label1") << QStringLiteral("Label2") << QStringLiteral("Label3")
                << QStringLiteral("chkFullScreen") << QStringLiteral("cmdOK");
    // A widget's children paint in the order of the list, the last on top.
    QStringList order;
    for (QObject* child : w.window().children()) {
        if (bottomToTop.contains(child->objectName())) {
            order << child->objectName();
        }
    }
    QCOMPARE(order, bottomToTop);
}

void WindowLayout::tabWalksTheControlsInOrder()
{
    WindowUnderTest w(configBytes(bh::ConfigRecord{}));
    const QStringList expected = {"chkFullScreen", "chkDebug",    "chkAntialias", "chkDither",
                                  "chk16bit",      "chk24bit",    "chk32bit",     "chkWBuffer",
                                  "chkKeepBodies", "scrColor(0)", "scrColor(1)",  "scrColor(2)",
                                  "txtColor(0)",   "txtColor(1)", "txtColor(2)",  "cmdOK",
                                  "chkFullScreen"};
    QStringList walked;
    for (int step = 0; step < expected.size(); ++step) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        walked << focus->objectName();
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
