// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The window's life: what loading bh.cfg puts on screen, what OK writes, and that every other
// way out leaves the file alone.
#include "ConfigError.h"
#include "WindowTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

namespace {

// A record's bh.cfg with some of its lines (numbered from 1) replaced.
QByteArray withLines(const bh::ConfigRecord& record, const QList<QPair<int, QByteArray>>& changes)
{
    QList<QByteArray> lines = configBytes(record).split('\n'); // each still ends in its CR
    for (const auto& [line, text] : changes) {
        lines[line - 1] = text + '\r';
    }
    return lines.join('\n');
}

} // namespace

class WindowLifecycle : public QObject {
    Q_OBJECT
private slots:
    void okWritesBackWhatWasRead_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("output");

        const bh::ConfigRecord colourful = colourfulRecord();
        bh::ConfigRecord options = colourful;
        options.fullScreen = options.antialiasing = options.keepBodies = true;
        options.depth = bh::ColourDepth::Bits24;
        QTest::newRow("a file the program wrote comes back byte for byte")
            << configBytes(options) << configBytes(options);

        QTest::newRow("options other than \"1\" come back as 0")
            << withLines(colourful, {{1, "01"}, {2, "true"}, {3, "yes"}, {7, " -1"}})
            << configBytes(colourful);

        QTest::newRow("an unknown depth comes back as 32")
            << withLines(colourful, {{6, "8"}}) << configBytes(colourful);

        bh::ConfigRecord rounded = colourful;
        rounded.colours[0] = {254, 255, 12};
        QTest::newRow("colours come back in their rounded decimal form")
            << withLines(colourful, {{8, "254.5"}, {9, "&HFF"}, {10, "12abc"}})
            << configBytes(rounded);

        QTest::newRow("fields after the 49th are dropped")
            << configBytes(colourful) + "1\r\n2\r\nextra" << configBytes(colourful);

        QTest::newRow("LF line ends come back as CR LF")
            << configBytes(colourful).replace("\r\n", "\n") << configBytes(colourful);
    }

    void okWritesBackWhatWasRead()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, output);
        WindowUnderTest w(input);
        QCOMPARE(w.pressOk(), output);
        QVERIFY(!w.window().isVisible());
    }

    void loadShowsTheFile()
    {
        bh::ConfigRecord r = colourfulRecord();
        r.debugInfo = r.dithering = true;
        WindowUnderTest w(r);
        QVERIFY(w.debugPreview()->isVisible());
        QCOMPARE(qobject_cast<QLabel*>(w.debugPreview())->pixmap().size(), QSize(199, 105));
        QCOMPARE(w.checked(), (QStringList{"chkDebug", "chkDither", "chk32bit"}));
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(w.bar(c)->value(), 255 - r.colours[0][static_cast<std::size_t>(c)]);
            QCOMPARE(w.box(c)->text(), QString::number(r.colours[0][static_cast<std::size_t>(c)]));
        }
        for (int i = 0; i < bh::kMessageTypeCount; ++i) {
            QCOMPARE(w.labelColour(i), r.colours[static_cast<std::size_t>(i)]);
        }
        QCOMPARE(w.window().messageColors(), r.colours);
        QCOMPARE(QApplication::focusWidget(), w.check("chkFullScreen"));
    }

    void loadKeepsWBufferingAsRead_data()
    {
        QTest::addColumn<QByteArray>("wBuffering");
        QTest::addColumn<QByteArray>("depth");
        QTest::addColumn<QString>("checkedBox");
        // clang-format off
        QTest::newRow("16-bit without W-buffering") << QByteArray("0") << QByteArray("16") << "chk16bit";
        QTest::newRow("24-bit with W-buffering") << QByteArray("1") << QByteArray("24") << "chk24bit";
        QTest::newRow("32-bit with W-buffering") << QByteArray("1") << QByteArray("32") << "chk32bit";
        QTest::newRow("16-bit with W-buffering") << QByteArray("1") << QByteArray("16") << "chk16bit";
        // clang-format on
    }

    void loadKeepsWBufferingAsRead()
    {
        QFETCH(QByteArray, wBuffering);
        QFETCH(QByteArray, depth);
        QFETCH(QString, checkedBox);
        WindowUnderTest w(withLines(bh::ConfigRecord{}, {{5, wBuffering}, {6, depth}}));
        QCOMPARE(w.check("chkWBuffer")->isChecked(), wBuffering == "1");
        QCOMPARE(w.checked(true), QStringList{checkedBox});
    }

    void loadFailureNamesTheProblem_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // null: no file at all
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("line");
        using Kind = bh::ConfigError::Kind;
        // clang-format off
        QTest::newRow("missing file") << QByteArray() << int(Kind::CannotOpen) << 0;
        QTest::newRow("short file") << QByteArray("1\r\n0\r\n") << int(Kind::TooShort) << 3;
        QTest::newRow("colour out of range") << withLines(bh::ConfigRecord{}, {{20, "256"}}) << int(Kind::OutOfRange) << 20;
        // clang-format on
    }

    void loadFailureNamesTheProblem()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        QFETCH(int, line);
        WindowUnderTest w(bytes, false);
        if (bytes.isNull()) {
            QVERIFY(QFile::remove(w.configPath()));
        }
        try {
            w.window().Form_Load();
            QFAIL("loaded a bad file");
        } catch (const bh::ConfigError& e) {
            QCOMPARE(int(e.kind()), kind);
            QCOMPARE(e.line(), line);
            QVERIFY2(QString::fromStdString(e.what()).contains(w.configPath()), e.what());
        }
        QVERIFY(!w.window().isVisible());
    }

    void okSavesTheColourBeingEdited()
    {
        WindowUnderTest w(colourfulRecord());
        w.clickLabel(5);
        w.pasteInto(0, QStringLiteral("10"));
        w.clickBarPart(2, QStyle::SC_ScrollBarAddLine);
        bh::ConfigRecord expected = colourfulRecord();
        expected.colours[5][0] = 10;
        expected.colours[5][2] -= 1;
        QCOMPARE(w.pressOk(), configBytes(expected));
    }

    void closingWithoutOkLeavesTheFileAlone()
    {
        WindowUnderTest w(colourfulRecord());
        const QByteArray before = readFile(w.configPath());
        const QDateTime modified = QFileInfo(w.configPath()).lastModified();
        QThread::msleep(20); // so that a rewrite would show in the modification time
        w.clickLabel(1);
        w.pasteInto(1, QStringLiteral("77"));
        w.clickLabel(3);
        w.click(w.check("chkKeepBodies"));
        QVERIFY(w.window().close());
        QCOMPARE(readFile(w.configPath()), before);
        QCOMPARE(QFileInfo(w.configPath()).lastModified(), modified);
        QCOMPARE(QDir(w.folder()).entryList(QDir::Files | QDir::Hidden), QStringList{"bh.cfg"});
    }

    void onlyAFocusedOkTakesSpaceAndEnter_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key"); // Enter is the keypad's, Return the main keyboard's
        QTest::addColumn<bool>("saves");
        for (const char* focus : {"cmdOK", "chkDither", "txtColor(0)"}) {
            for (const auto& [key, name] : {std::pair{Qt::Key_Space, "space"},
                                            {Qt::Key_Return, "Return"},
                                            {Qt::Key_Enter, "Enter"},
                                            {Qt::Key_Escape, "Escape"}}) {
                QTest::addRow("%s on %s", name, focus)
                    << focus << int(key)
                    << (focus == QLatin1String("cmdOK") && key != Qt::Key_Escape);
            }
        }
    }

    void onlyAFocusedOkTakesSpaceAndEnter()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(bool, saves);
        WindowUnderTest w(colourfulRecord());
        QFile::remove(w.configPath()); // any write would bring it back
        QWidget* control = w.control<QWidget>(focus);
        control->setFocus();
        QTest::keyClick(control, Qt::Key(key),
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(readFile(w.configPath()), saves ? configBytes(colourfulRecord()) : QByteArray());
        QCOMPARE(w.window().isVisible(), !saves);
    }

    void aFailedSaveKeepsTheWindowForOkAgain()
    {
        WindowUnderTest w(colourfulRecord());
        QSignalSpy failures(&w.window(), &frmMain::saveFailed);
        // Something the save cannot replace stands at bh.cfg (root writes through permissions).
        QVERIFY(QFile::remove(w.configPath()) && QDir(w.folder()).mkdir(QStringLiteral("bh.cfg")));
        w.click(w.check("chkDither"));
        w.clickLabel(3);
        QTest::mouseClick(w.ok(), Qt::LeftButton);
        QCOMPARE(failures.count(), 1);
        QCOMPARE(w.window().currentMessage(), 3);
        const QString message = failures.first().first().toString();
        QVERIFY2(message.contains(w.configPath()) && message.endsWith(u"press OK again."),
                 qPrintable(message));
        QVERIFY(w.window().isVisible());

        QVERIFY(QDir(w.folder()).rmdir(QStringLiteral("bh.cfg")));
        QTest::mouseClick(w.ok(), Qt::LeftButton);
        bh::ConfigRecord edited = colourfulRecord();
        edited.dithering = !edited.dithering;
        QCOMPARE(readFile(w.configPath()), configBytes(edited));
        QVERIFY(!w.window().isVisible());
    }
};

QTEST_MAIN(WindowLifecycle)
#include "test_window_lifecycle.moc"
