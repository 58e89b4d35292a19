// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// One whole session in a few steps: load bh.cfg, use every kind of control once, press OK.
// Short on purpose: it runs under valgrind's memcheck, where every step costs fifty times more.
#include "WindowTestSupport.h"

#include <QTest>

class StartEditOk : public QObject {
    Q_OBJECT
private slots:
    void aSessionSavesItsEdits()
    {
        WindowUnderTest w(colourfulRecord());
        w.click(w.check("chkDebug"));
        w.click(w.check("chk16bit"));
        w.clickLabel(3);
        w.pasteInto(0, QStringLiteral("12.7"));
        w.typeInto(1, QStringLiteral("300"));
        w.clickBarPart(2, QStyle::SC_ScrollBarAddLine);
        w.dragThumb(2, 30);
        bh::ConfigRecord expected = colourfulRecord();
        expected.debugInfo = expected.wBuffering = true;
        expected.depth = bh::ColourDepth::Bits16;
        expected.colours[3] = w.barColour();
        w.clickLabel(7);
        QCOMPARE(w.pressOk(), configBytes(expected));
        QCOMPARE(expected.colours[3][0], 13);
        QCOMPARE(expected.colours[3][1], 255);
    }
};

QTEST_MAIN(StartEditOk)
#include "test_start_edit_ok.moc"
