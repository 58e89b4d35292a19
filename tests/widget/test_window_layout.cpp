// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The window as created: every control in its place, its first state and the keyboard's path
// through it.
#include "WindowTestSupport.h"

#include <QFile>
#include <QFontInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QTest>
#include <span>
#include <tuple>
#include <vector>

namespace {

// The game screen's controls (name, caption, place), bottom of the stack first, the last 16 in tab
// order; a place of width 0 is a label's. Shared with the end-to-end harness (tests/README.md).
using Figure = std::tuple<QString, QString, QRect>;

std::vector<Figure> readFigures()
{
    QFile file(QStringLiteral(BH_LAYOUT_FIGURES));
    const QByteArray json = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    std::vector<Figure> figures;
    for (const QJsonValue row : QJsonDocument::fromJson(json).array()) {
        const QJsonArray f = row.toArray();
        figures.emplace_back(f[0].toString(), f[1].toString(),
                             QRect(f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5].toInt()));
    }
    if (figures.empty()) {
        qFatal("%s is missing or holds no figures", BH_LAYOUT_FIGURES);
    }
    return figures;
}

const std::vector<Figure> kControls = readFigures();
constexpr std::size_t kOperable = 16;

} // namespace

class WindowLayout : public QObject {
    Q_OBJECT
private slots:
    void controlsStandWhereTheGameScreenHasThem_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("geometry");
        for (const auto& [name, caption, place] : kControls) {
            QTest::newRow(qPrintable(name)) << name << caption << place;
        }
    }

    void controlsStandWhereTheGameScreenHasThem()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRect, geometry);
        WindowUnderTest w(QByteArray(), false);
        QWidget* widget = w.control<QWidget>(name);
        QVERIFY2(widget, qPrintable(name));
        QCOMPARE(widget->property("text").toString(), caption);
        if (geometry.width() > 0) {
            QCOMPARE(widget->geometry(), geometry);
            return;
        }
        auto* label = qobject_cast<QLabel*>(widget);
        QVERIFY(label);
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
        // The message names must not run under the red bar beside them (the tests that look for a
        // name on screen search up to the bars).
        QVERIFY2(!messageName || label->geometry().right() < 128, qPrintable(caption));
    }

    // The title and the icon the player's desktop shows, and a size the player cannot change. That
    // Enter and Escape leave OK alone is onlyAFocusedOkTakesSpaceAndEnter's (window_lifecycle).
    void windowIsFixedAndTitled()
    {
        WindowUnderTest w(configBytes(bh::ConfigRecord{}));
        QCOMPARE(w.window().windowTitle(), QStringLiteral("Brackenholt Config"));
        QCOMPARE(w.window().minimumSize(), QSize(640, 480));
        QCOMPARE(w.window().maximumSize(), QSize(640, 480));
        QVERIFY(!(w.window().windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!w.window().windowIcon().isNull());
    }

    // Before bh.cfg is read. The looks (grey option faces, white captions) are checked on screen by
    // the end-to-end scenarios; the bars' range by textBoxesKeepColoursInRange (window_behaviour).
    void createdStateBeforeLoading()
    {
        WindowUnderTest w(QByteArray(), false);
        QCOMPARE(w.checked(), QStringList());
        QCOMPARE(w.barColour(), (bh::Colour{255, 255, 255})); // every bar at 0
        QVERIFY(w.debugPreview()->isHidden());
        QCOMPARE(w.window().currentMessage(), 0);
        QCOMPARE(w.window().messageColors(), bh::ConfigRecord{}.colours); // all black
    }

    // A widget's children paint in the order of the list, the last on top.
    void stackingFromBackdropToControls()
    {
        WindowUnderTest w(QByteArray(), false);
        QStringList bottomToTop, order;
        for (const auto& control : kControls) {
            bottomToTop << std::get<0>(control);
        }
        for (QWidget* child : w.window().findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            order << child->objectName();
        }
        QCOMPARE(order, bottomToTop);
    }

    void tabWalksTheControlsInOrder()
    {
        WindowUnderTest w(configBytes(bh::ConfigRecord{}));
        QStringList expected;
        for (const auto& control : std::span(kControls).last(kOperable)) {
            expected << std::get<0>(control);
        }
        // The focus a click gives shows as ever; once Tab moves it, as a plain frame (the text
        // boxes show theirs either way).
        const auto framed = [](QWidget* c) { return qobject_cast<QLineEdit*>(c) == nullptr; };
        for (const QString& name : expected) {
            auto* control = w.control<QWidget>(name);
            control->setFocus(Qt::MouseFocusReason);
            QVERIFY2(!framed(control) || focusLook(control) == FocusLook::Nothing,
                     qPrintable(name));
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

    void everyControlHasAnAccessibleName()
    {
        WindowUnderTest w(QByteArray(), false);
        for (QWidget* widget : w.window().findChildren<QWidget*>()) {
            QVERIFY2(widget->focusPolicy() == Qt::NoFocus || !widget->accessibleName().isEmpty(),
                     qPrintable(widget->objectName()));
        }
        QCOMPARE(w.bar(0)->accessibleName(), QStringLiteral("Red of System messages"));
        QCOMPARE(w.box(1)->accessibleName(), QStringLiteral("Green of System messages"));
        QCOMPARE(w.bar(2)->accessibleName(), QStringLiteral("Blue of System messages"));
    }
};

QTEST_MAIN(WindowLayout)
#include "test_window_layout.moc"
