// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// What the player can do in the window: the display options and the message colour editor,
// driven through real mouse and keyboard events, and SDL's virtual game controller.
#include "GamePad.h"
#include "Neighbour.h"
#include "WindowTestSupport.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <SDL.h>
#include <atomic>
#include <dlfcn.h>
#include <set>
#include <tuple>

std::atomic<int> sdlLooks{0};

// Every look the program's pad takes at SDL, counted: the pad finds SDL's functions as a linked
// program would, so this one comes first.
extern "C" void SDL_PumpEvents()
{
    static const auto real = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "SDL_PumpEvents"));
    ++sdlLooks;
    real();
}

namespace {

const bh::ConfigRecord kColourful = colourfulRecord();

// Everything on screen that a click could change, to prove what one click left alone.
QStringList snapshot(WindowUnderTest& w)
{
    QStringList state = w.checked();
    for (int c = 0; c < 3; ++c) {
        state << QString::number(w.bar(c)->value()) << w.box(c)->text();
    }
    for (int i = 0; i < bh::kMessageTypeCount; ++i) {
        state << w.label(i)->textColour().name();
    }
    return state << (w.debugPreview()->isVisible() ? "preview" : "no preview");
}

int attachVirtualPad()
{
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    return SDL_JoystickAttachVirtualEx(&desc);
}

// SDL's virtual controller plugged into the window's pad, which reads it on this thread and
// ticks every 16 ms as the real loop does, on a clock of the test's own. Acts by SDL's names: "a"
// pressed and let go, "dpup*5000" held for 5 s, "dpup*500+1000+500" held across a stall of 1 s in
// which nothing ticks, "dpup*1000~1000" held while another pad is plugged in and pulled out,
// "lefty-" the stick pushed up and back, "replug" the pad pulled out and plugged in again.
class PadUnderTest {
public:
    explicit PadUnderTest(WindowUnderTest& w) : pad_(&w.window(), GamePad::Reading::ByCaller)
    {
        pad_.start(), plug();
    }
    void act(const QString& act)
    {
        const QStringList held = act.split(u'*');
        const QByteArray name = held[0].toLatin1();
        if (name == "replug") {
            SDL_JoystickClose(joystick_);
            SDL_JoystickDetachVirtual(0);
            plug();
        } else if (name.endsWith('+') || name.endsWith('-')) {
            const int axis = SDL_GameControllerGetAxisFromString(name.chopped(1).constData());
            set(&SDL_JoystickSetVirtualAxis, axis, name.endsWith('+') ? 30000 : -30000, u"50");
            set(&SDL_JoystickSetVirtualAxis, axis, 0, u"50");
        } else {
            const int button = SDL_GameControllerGetButtonFromString(name.constData());
            set(&SDL_JoystickSetVirtualButton, button, 1,
                held.size() > 1 ? QStringView(held[1]) : QStringView(u"50"));
            set(&SDL_JoystickSetVirtualButton, button, 0, u"50");
        }
    }

private:
    void plug()
    {
        joystick_ = SDL_JoystickOpen(attachVirtualPad());
        pad_.poll(now_);
    }
    template <typename Value>
    void set(int (*setter)(SDL_Joystick*, int, Value), int i, int v, QStringView spans)
    {
        using namespace std::chrono_literals;
        setter(joystick_, i, static_cast<Value>(v));
        pad_.poll(now_);
        bool ticking = true; // spans of ticks and stalls by turns
        for (const QStringView span : spans.split(u'+')) {
            for (const QStringView part : span.split(u'~')) {
                if (part.data() != span.data()) { // another pad comes and goes
                    SDL_JoystickClose(SDL_JoystickOpen(attachVirtualPad()));
                    pad_.poll(now_);
                    SDL_JoystickDetachVirtual(1);
                }
                const auto end = now_ + std::chrono::milliseconds(part.toInt());
                while (ticking && now_ + 16ms <= end) {
                    pad_.poll(now_ += 16ms);
                }
                now_ = end;
            }
            ticking = !ticking;
        }
    }
    GamePad pad_;
    SDL_Joystick* joystick_ = nullptr;
    GamePad::Clock::time_point now_;
};

} // namespace

class WindowBehaviour : public QObject {
    Q_OBJECT
private slots:
    void depthBoxesActAsOneChoice_data()
    {
        QTest::addColumn<int>("startDepth");
        QTest::addColumn<bool>("startWBuffering");
        QTest::addColumn<QString>("actions"); // each a click on a box, or space:box for the key
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("wBuffering");

        // clang-format off
        QTest::newRow("clicking the chosen 24-bit again resets W-buffering checked by hand") << 24 << false << "chkWBuffer chk24bit" << "chk24bit" << false;
        QTest::newRow("clicking the chosen 16-bit keeps it and checks W-buffering") << 16 << false << "chk16bit" << "chk16bit" << true;
        QTest::newRow("32-bit replaces 16-bit and unchecks W-buffering") << 16 << true << "chk32bit" << "chk32bit" << false;
        QTest::newRow("16-bit replaces 32-bit and checks W-buffering") << 32 << false << "chk16bit" << "chk16bit" << true;
        QTest::newRow("24-bit replaces 16-bit") << 16 << true << "chk24bit" << "chk24bit" << false;
        QTest::newRow("W-buffering can be changed by hand after a depth") << 32 << false << "chk16bit chkWBuffer" << "chk16bit" << false;
        QTest::newRow("the space bar on a depth box acts as a click") << 32 << false << "space:chk16bit" << "chk16bit" << true;
        QTest::newRow("the space bar on the chosen box keeps it") << 24 << true << "space:chk24bit" << "chk24bit" << false;
        QTest::newRow("a run of clicks ends with the last") << 32 << false << "chk24bit chk16bit chk16bit chk32bit chk24bit chk24bit" << "chk24bit" << false;
        // clang-format on
    }

    void depthBoxesActAsOneChoice()
    {
        QFETCH(int, startDepth);
        QFETCH(bool, startWBuffering);
        QFETCH(QString, actions);
        QFETCH(QString, chosen);
        QFETCH(bool, wBuffering);
        bh::ConfigRecord start = colourfulRecord();
        start.depth = static_cast<bh::ColourDepth>(startDepth);
        start.wBuffering = startWBuffering;
        WindowUnderTest w(start);
        for (const QString& action : actions.split(u' ')) {
            QCheckBox* box = w.check(qPrintable(action.section(u':', -1)));
            if (action.startsWith(QStringLiteral("space:"))) {
                box->setFocus();
                QTest::keyClick(box, Qt::Key_Space);
            } else {
                w.click(box);
            }
            QCOMPARE(w.checked(true).size(), 1);
        }
        QCOMPARE(w.checked(true), QStringList{chosen});
        QCOMPARE(w.check("chkWBuffer")->isChecked(), wBuffering);

        const bh::ConfigRecord saved = bh::parseConfig(w.pressOk().toStdString());
        QCOMPARE(saved.wBuffering, wBuffering);
        QCOMPARE(static_cast<int>(saved.depth), chosen.mid(3, 2).toInt());
    }

    void plainOptionsChangeOnlyThemselves_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("line");
        QTest::newRow("chkFullScreen") << "chkFullScreen" << 1;
        QTest::newRow("chkAntialias") << "chkAntialias" << 3;
        QTest::newRow("chkDither") << "chkDither" << 4;
        QTest::newRow("chkWBuffer") << "chkWBuffer" << 5;
        QTest::newRow("chkKeepBodies") << "chkKeepBodies" << 7;
    }

    void plainOptionsChangeOnlyThemselves()
    {
        QFETCH(QString, name);
        QFETCH(int, line);
        WindowUnderTest w(colourfulRecord());
        QCheckBox* box = w.check(qPrintable(name));
        const QStringList before = snapshot(w);
        w.click(box);
        QStringList after = snapshot(w);
        QVERIFY(after.removeOne(name)); // checked, and nothing else changed
        QCOMPARE(after, before);
        w.click(box);
        QCOMPARE(snapshot(w), before);
        w.click(box);
        QCOMPARE(w.pressOk().split('\n')[line - 1], QByteArray("1\r"));
    }

    void debugInfoShowsAndHidesThePreview()
    {
        WindowUnderTest w(colourfulRecord());
        QVERIFY(!w.debugPreview()->isVisible());
        w.click(w.check("chkDebug"));
        QVERIFY(w.debugPreview()->isVisible());
        QCOMPARE(qobject_cast<QLabel*>(w.debugPreview())->pixmap().size(), QSize(199, 105));
        w.click(w.check("chkDebug"));
        QVERIFY(!w.debugPreview()->isVisible());
        // The right end of its grey face, past the caption: the box all the same.
        QCheckBox* box = w.check("chkDebug");
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 2, box->height() - 2));
        QVERIFY(w.debugPreview()->isVisible());
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 2, box->height() - 2));
        QVERIFY(!w.debugPreview()->isVisible());
        w.check("chkDebug")->setFocus();
        QTest::keyClick(w.check("chkDebug"), Qt::Key_Space);
        QVERIFY(w.debugPreview()->isVisible());
    }

    void textBoxesKeepColoursInRange_data()
    {
        QTest::addColumn<int>("startRed"); // red of "System messages" in the file
        QTest::addColumn<bool>("typed");   // key by key, or pasted in one go
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("text"); // the red box afterwards
        QTest::addColumn<int>("barValue"); // the red bar afterwards

        // clang-format off
        QTest::newRow("typing 256 turns into 255") << 10 << true << "256" << "255" << 0;
        QTest::newRow("typing 300 turns into 255") << 10 << true << "300" << "255" << 0;
        QTest::newRow("pasting -5 turns into 0") << 10 << false << "-5" << "0" << 255;
        // With the bar already at the end, only the box's own clamp can mend the text.
        QTest::newRow("-5 with the bar already at 0") << 0 << false << "-5" << "0" << 255;
        QTest::newRow("256 with the bar already at 255") << 255 << false << "256" << "255" << 0;
        QTest::newRow("a lone minus sign turns into 0") << 10 << true << "-" << "0" << 255;
        QTest::newRow("clearing the box turns it into 0") << 10 << true << "" << "0" << 255;
        QTest::newRow("leading zeros go: 007 is 7") << 10 << true << "007" << "7" << 248;
        QTest::newRow("12.7 moves the bar and reads as 13") << 10 << false << "12.7" << "13" << 242;
        QTest::newRow("12.5: 242.5 rounds to the even 242") << 10 << false << "12.5" << "13" << 242;
        QTest::newRow("13.5: 241.5 rounds to the even 242") << 10 << false << "13.5" << "13" << 242;
        QTest::newRow("12.7 with the bar already at 242 stays") << 13 << false << "12.7" << "12.7" << 242;
        QTest::newRow("12.50 with the bar at 242 is shortened") << 13 << false << "12.50" << "12.5" << 242;
        QTest::newRow("trailing text is dropped") << 10 << false << "12abc" << "12" << 243;
        QTest::newRow("blanks inside a number are dropped") << 10 << false << "2 5" << "25" << 230;
        QTest::newRow("hexadecimal is taken") << 10 << false << "&HFF" << "255" << 0;
        QTest::newRow("text without a number is 0") << 10 << false << "abc" << "0" << 255;
        QTest::newRow("a number beyond double range is the largest") << 10 << false << "1E400" << "255" << 0;
        QTest::newRow("a negative one beyond range is 0") << 10 << false << "-1E400" << "0" << 255;
        QTest::newRow("twenty nines are 255") << 10 << false << "99999999999999999999" << "255" << 0;
        QTest::newRow("just above 255 is clamped") << 10 << false << "255.4" << "255" << 0;
        QTest::newRow("just below 0 is clamped") << 10 << false << "-0.4" << "0" << 255;
        QTest::newRow("a small fraction rounds the bar to the top") << 10 << false << "0.4" << "0" << 255;
        // clang-format on
    }

    void textBoxesKeepColoursInRange()
    {
        QFETCH(int, startRed);
        QFETCH(bool, typed);
        QFETCH(QString, input);
        QFETCH(QString, text);
        QFETCH(int, barValue);
        bh::ConfigRecord r = colourfulRecord();
        r.colours[0][0] = static_cast<std::uint8_t>(startRed);
        WindowUnderTest w(r);
        typed ? w.typeInto(0, input) : w.pasteInto(0, input);
        QCOMPARE(w.box(0)->text(), text);
        QCOMPARE(w.bar(0)->value(), barValue);
        QCOMPARE(w.labelColour(0), w.barColour());
    }

    void aTypedFractionIsCommittedRounded()
    {
        // The box may keep 12.7 when the bar already stood at its rounded place; what is saved is
        // the bar's whole component.
        bh::ConfigRecord r = colourfulRecord();
        r.colours[0][0] = 13;
        WindowUnderTest w(r);
        w.pasteInto(0, QStringLiteral("12.7"));
        QCOMPARE(w.box(0)->text(), QStringLiteral("12.7"));
        QCOMPARE(bh::parseConfig(w.pressOk().toStdString()).colours[0][0], std::uint8_t{13});
    }

    void typingDigitsKeepsTheCaret()
    {
        WindowUnderTest w(colourfulRecord());
        QLineEdit* box = w.box(2);
        w.typeInto(2, QStringLiteral("12"));
        QCOMPARE(box->text(), QStringLiteral("12"));
        QTest::keyClick(box, Qt::Key_Home);
        QTest::keyClick(box, Qt::Key_1);
        QCOMPARE(box->text(), QStringLiteral("112"));
        QCOMPARE(box->cursorPosition(), 1); // a rewrite would have put it at the end
        QCOMPARE(w.bar(2)->value(), 255 - 112);
        // Where the program must replace the text, the caret goes to its end.
        QTest::keyClick(box, Qt::Key_9);
        QCOMPARE(box->text(), QStringLiteral("255"));
        QCOMPARE(box->cursorPosition(), 3);
    }

    void switchingNamesKeepsEachEditedColour()
    {
        WindowUnderTest w(kColourful);
        w.clickLabel(1); // Targets
        QCOMPARE(w.barColour(), kColourful.colours[1]);
        QCOMPARE(w.box(1)->text(), QString::number(kColourful.colours[1][1]));
        w.pasteInto(0, QStringLiteral("201"));
        w.clickBarPart(1, QStyle::SC_ScrollBarSubLine);
        const bh::Colour editedTargets = w.barColour();
        QCOMPARE(w.labelColour(1), editedTargets);

        w.clickLabel(3); // Quests
        QCOMPARE(w.barColour(), kColourful.colours[3]);
        QCOMPARE(w.labelColour(1), editedTargets); // left behind in its committed colour
        QCOMPARE(w.window().messageColors()[1], editedTargets);

        w.clickLabel(1);
        QCOMPARE(w.barColour(), editedTargets);
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(w.box(c)->text(), QString::number(editedTargets[static_cast<std::size_t>(c)]));
        }
        bh::ConfigRecord expected = kColourful;
        expected.colours[1] = editedTargets;
        QCOMPARE(w.pressOk(), configBytes(expected));
    }

    void onlyTheCurrentNameIsRepainted()
    {
        WindowUnderTest w(kColourful);
        w.clickLabel(6);
        w.clickBarPart(0, QStyle::SC_ScrollBarAddPage);
        w.pasteInto(2, QStringLiteral("3"));
        for (int i = 0; i < bh::kMessageTypeCount; ++i) {
            if (i != 6) {
                QCOMPARE(w.labelColour(i), kColourful.colours[static_cast<std::size_t>(i)]);
            }
        }
        QCOMPARE(w.labelColour(6), w.barColour());
        QCOMPARE(w.window().currentMessage(), 6);
        // Not committed until another name is chosen or OK is pressed.
        QCOMPARE(w.window().messageColors()[6], kColourful.colours[6]);
    }

    void aTypicalEditRaisesEachNotificationOnce()
    {
        WindowUnderTest w(kColourful);                  // every component differs between types
        std::vector<std::unique_ptr<QSignalSpy>> spies; // red bar, red box, green bar, ...
        for (int c = 0; c < 3; ++c) {
            spies.push_back(std::make_unique<QSignalSpy>(w.bar(c), &QScrollBar::valueChanged));
            spies.push_back(std::make_unique<QSignalSpy>(w.box(c), &QLineEdit::textChanged));
        }
        auto counts = [&] {
            QList<int> n;
            for (const auto& spy : spies) {
                n << static_cast<int>(spy->count());
            }
            return n;
        };

        w.clickLabel(3); // every bar moves once and every box follows once
        QCOMPARE(counts(), (QList<int>{1, 1, 1, 1, 1, 1}));

        w.clickBarPart(0, QStyle::SC_ScrollBarSubLine); // red up by one
        QCOMPARE(counts(), (QList<int>{2, 2, 1, 1, 1, 1}));

        w.pasteInto(1, QStringLiteral("12.7")); // the paste, the bar, and the rewrite to 13
        QCOMPARE(counts(), (QList<int>{2, 2, 2, 3, 1, 1}));
        QCOMPARE(w.box(1)->text(), QStringLiteral("13"));

        w.clickLabel(3); // the type already being edited: nothing moves
        QCOMPARE(counts(), (QList<int>{2, 2, 2, 3, 1, 1}));
    }

    void settingTheSameValueRaisesNothing()
    {
        WindowUnderTest w(configBytes(bh::ConfigRecord{}));
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

    void scrollBarChangesOnlyWhenADragEnds()
    {
        WindowUnderTest w(configBytes(bh::ConfigRecord{})); // all black: bars at the bottom
        QSignalSpy changes(w.bar(0), &QScrollBar::valueChanged);
        QCOMPARE(w.dragThumb(0, -60), 0);
        QCOMPARE(changes.count(), 1);
        QVERIFY(w.bar(0)->value() < 255);
        QCOMPARE(w.box(0)->text(), QString::number(255 - w.bar(0)->value()));
        QCOMPARE(w.labelColour(0), w.barColour());
    }

    void scrollBarKeysAndArrowsStepByOne()
    {
        bh::ConfigRecord r;
        r.colours[0] = {100, 100, 100};
        WindowUnderTest w(r);
        const std::tuple<const char*, std::function<void()>, int> steps[] = {
            // clang-format off
            {"down arrow", [&] { w.clickBarPart(1, QStyle::SC_ScrollBarAddLine); }, 99},
            {"up arrow", [&] { w.clickBarPart(1, QStyle::SC_ScrollBarSubLine); }, 100},
            {"track below the thumb", [&] { w.clickBarPart(1, QStyle::SC_ScrollBarAddPage); }, 99},
            {"track above the thumb", [&] { w.clickBarPart(1, QStyle::SC_ScrollBarSubPage); }, 100},
            {"Up key", [&] { w.bar(1)->setFocus(); QTest::keyClick(w.bar(1), Qt::Key_Up); }, 101},
            {"Down key", [&] { QTest::keyClick(w.bar(1), Qt::Key_Down); }, 100},
        };
        // clang-format on
        for (const auto& [what, act, component] : steps) {
            QSignalSpy changes(w.bar(1), &QScrollBar::valueChanged);
            act();
            QVERIFY2(changes.count() == 1, what);
            QVERIFY2(w.box(1)->text() == QString::number(component), what);
            QVERIFY2(w.labelColour(0)[1] == component, what);
        }
    }

    void ctrlUpAndDownChooseTheType_data()
    {
        QTest::addColumn<QString>("focus"); // the control holding the focus throughout
        QTest::addColumn<QString>("acts");  // Ctrl with down or up, a click on name N, or a key
        QTest::addColumn<int>("chosen");
        QTest::addColumn<bool>("marked"); // the mark shows, beside the chosen name

        // clang-format off
        QTest::newRow("down three times from a check box") << "chkFullScreen" << "down down down" << 3 << true;
        QTest::newRow("down from a bar") << "scrColor(1)" << "down" << 1 << true;
        QTest::newRow("down from a text box") << "txtColor(2)" << "down" << 1 << true;
        QTest::newRow("shift+down chooses nothing") << "txtColor(1)" << "shift+down" << 0 << false;
        QTest::newRow("up from OK after a click") << "cmdOK" << "5 up" << 4 << true;
        QTest::newRow("up stops at the first type") << "chkDebug" << "up" << 0 << true;
        QTest::newRow("down stops at the last type") << "chkDebug" << "12 down down down" << 13 << true;
        QTest::newRow("once the keys were used the mark follows clicks") << "chkDither" << "down 9" << 9 << true;
        QTest::newRow("a mouse-only player never sees the mark") << "chkDither" << "9 2 2" << 2 << false;
        QTest::newRow("F1's palette takes back an edit, and Escape gives back the focus") << "scrColor(0)" << "down Up F1 Down Up Space Escape" << 1 << true;
        // clang-format on
    }

    void ctrlUpAndDownChooseTheType()
    {
        QFETCH(QString, focus);
        QFETCH(QString, acts);
        QFETCH(int, chosen);
        QFETCH(bool, marked);
        WindowUnderTest w(kColourful);
        QWidget* focused = w.control<QWidget>(focus);
        focused->setFocus();
        for (const QString& act : acts.split(u' ')) {
            bool isName = false;
            if (const int name = act.toInt(&isName); isName) {
                w.clickLabel(name);
            } else if (act[0].isUpper()) { // to the control with the focus, wherever it is
                QTest::keyClick(QApplication::focusWidget(), QKeySequence(act)[0].key());
            } else {
                QTest::keyClick(focused,
                                act.endsWith(QLatin1String("down")) ? Qt::Key_Down : Qt::Key_Up,
                                act.startsWith(QLatin1String("shift")) ? Qt::ShiftModifier
                                                                       : Qt::ControlModifier);
            }
        }
        QCOMPARE(w.window().currentMessage(), chosen);
        QCOMPARE(w.barColour(), kColourful.colours[static_cast<std::size_t>(chosen)]);
        QCOMPARE(QApplication::focusWidget(), focused); // the names never take it
        QWidget* mark = w.control<QWidget>(QStringLiteral("selectionMark"));
        QCOMPARE(mark->isVisible(), marked);
        if (marked) {
            QCOMPARE(mark->y() + mark->height() / 2,
                     w.label(chosen)->y() + w.label(chosen)->height() / 2);
            QVERIFY(mark->geometry().left() > 16 && mark->geometry().right() < 24); // in the margin
        }
    }

    void aKeyChoiceCommitsLikeAClick()
    {
        WindowUnderTest w(kColourful);
        w.clickLabel(4);
        w.bar(0)->setFocus();
        QTest::keyClick(w.bar(0), Qt::Key_Up); // red one up, not yet committed
        const bh::Colour edited = w.barColour();
        QSignalSpy bars(w.bar(2), &QScrollBar::valueChanged);
        QTest::keyClick(w.bar(0), Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(bars.count(), 1); // each bar moves once, as for a click
        QCOMPARE(w.window().messageColors()[4], edited);
        QCOMPARE(w.labelColour(4), edited);
        QCOMPARE(w.labelColour(5), kColourful.colours[5]);
        QTest::keyClick(w.bar(0), Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(w.barColour(), edited);
        QTest::keyClick(w.bar(0), Qt::Key_Down, Qt::ControlModifier);
        bh::ConfigRecord expected = kColourful;
        expected.colours[4] = edited;
        QCOMPARE(w.pressOk(), configBytes(expected));
    }

    void aPadDrivesTheWindow_data()
    {
        QTest::addColumn<QString>("start"); // the control with the focus when the pad is plugged in
        QTest::addColumn<QString>("acts");
        QTest::addColumn<QString>("focus"); // afterwards, with its focus frame showing
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<int>("red");     // of the type being edited
        QTest::addColumn<bool>("saved");  // and closed
        QTest::addColumn<int>("visited"); // how many controls had the focus on the way

        // clang-format off
        QTest::newRow("the stick moves as the d-pad") << "chkFullScreen" << "lefty+ lefty+" << "chkAntialias" << 0 << "chk32bit" << 10 << false << 3;
        QTest::newRow("left from a wide option passes the depth row below it") << "chkDither" << "dpleft" << "scrColor(2)" << 0 << "chk32bit" << 10 << false << 2;
        QTest::newRow("up and down on a bar step it") << "scrColor(0)" << "dpup dpup dpdown dpup lefty-" << "scrColor(0)" << 0 << "chk32bit" << 13 << false << 1;
        QTest::newRow("a held direction runs the bar to its end") << "scrColor(0)" << "dpup*5000" << "scrColor(0)" << 0 << "chk32bit" << 255 << false << 1;
        QTest::newRow("a tap moves a bar one step") << "scrColor(0)" << "dpdown*399" << "scrColor(0)" << 0 << "chk32bit" << 9 << false << 1;
        QTest::newRow("a held direction walks the focus slowly") << "chkFullScreen" << "dpdown*800" << "chkDither" << 0 << "chk32bit" << 10 << false << 2;
        QTest::newRow("A toggles a check box") << "chkDebug" << "a" << "chkDebug" << 0 << "chkDebug chk32bit" << 10 << false << 1;
        QTest::newRow("A types nothing into a box") << "txtColor(0)" << "a" << "txtColor(0)" << 0 << "chk32bit" << 10 << false << 1;
        QTest::newRow("shoulders choose the type") << "scrColor(1)" << "rightshoulder rightshoulder rightshoulder leftshoulder" << "scrColor(1)" << 2 << "chk32bit" << 16 << false << 1;
        QTest::newRow("A on OK saves and closes") << "chkKeepBodies" << "a dpdown a" << "cmdOK" << 0 << "chk32bit chkKeepBodies" << 10 << true << 2;
        QTest::newRow("a pad plugged in again is read") << "chkKeepBodies" << "a replug dpdown a" << "cmdOK" << 0 << "chk32bit chkKeepBodies" << 10 << true << 2;
        QTest::newRow("no other button saves on OK, or changes anything (Y opens the colour check)") << "cmdOK" << "b x back start guide leftstick rightstick misc1" << "cmdOK" << 0 << "chk32bit" << 10 << false << 1;
        QTest::newRow("Y opens the colour check, the D-pad and A apply the game's colours, B goes back") << "scrColor(0)" << "y dpdown a b" << "scrColor(0)" << 0 << "chk32bit" << 255 << false << 3;
        QTest::newRow("a round by d-pad passes every control, so each reaches every other") << "chkFullScreen" << "dpleft dpleft dpleft dpright dpright dpright dpdown dpdown dpdown dpdown dpleft dpright dpright dpdown dpdown dpdown dpleft dpup dpup dpright dpup dpup dpup dpup dpup dpup" << "chkFullScreen" << 0 << "chk32bit" << 10 << false << 16;
        QTest::newRow("a pad pulled out lets go only of what it held: 2 s on another, not 1 s (28)") << "scrColor(0)" << "dpup*1000~1000" << "scrColor(0)" << 0 << "chk32bit" << 116 << false << 1;
        QTest::newRow("a stalled second counts as a frame: the bar goes where 1.5 s go, not 2.5 s (177)") << "scrColor(0)" << "dpup*1000+1000+500" << "scrColor(0)" << 0 << "chk32bit" << 62 << false << 1;
        QTest::newRow("a stalled second holds no steps for later: two in all, not eight") << "chkFullScreen" << "dpdown*500+1000+100" << "chkAntialias" << 0 << "chk32bit" << 10 << false << 2;
        // clang-format on
    }

    void aPadDrivesTheWindow()
    {
        QFETCH(QString, start);
        QFETCH(QString, acts);
        QFETCH(bool, saved);
        WindowUnderTest w(kColourful);
        w.control<QWidget>(start)->setFocus();
        PadUnderTest pad(w);
        std::set<QWidget*> visited{w.window().focusWidget()};
        for (const QString& act : acts.split(u' ')) {
            pad.act(act);
            visited.insert(w.window().focusWidget());
        }
        QTEST(int(visited.size()), "visited");
        QTEST(w.window().focusWidget()->objectName(), "focus");
        QVERIFY(saved || focusLook(w.window().focusWidget()) == FocusLook::Frame);
        QTEST(w.window().currentMessage(), "chosen");
        QTEST(w.checked().join(u' '), "checked");
        QTEST(int(w.barColour()[0]), "red");
        QCOMPARE(w.box(0)->text(), QString::number(w.barColour()[0]));
        QCOMPARE(w.window().isVisible(), !saved);
        QCOMPARE(readFile(w.configPath()) != configBytes(kColourful), saved);
    }

    void padMovesGoBackTheWayTheyCame_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QStringList>("leadsTo"); // up, down, left, right; "-": nowhere

        // clang-format off
        QTest::newRow("chkFullScreen") << "chkFullScreen" << QStringList{"-", "chkDebug", "scrColor(2)", "-"};
        QTest::newRow("chkDebug") << "chkDebug" << QStringList{"chkFullScreen", "chkAntialias", "scrColor(2)", "-"};
        QTest::newRow("chkAntialias") << "chkAntialias" << QStringList{"chkDebug", "chkDither", "scrColor(2)", "-"};
        QTest::newRow("chkDither") << "chkDither" << QStringList{"chkAntialias", "chk24bit", "scrColor(2)", "-"};
        QTest::newRow("chk16bit") << "chk16bit" << QStringList{"chkDither", "chkWBuffer", "scrColor(2)", "chk24bit"};
        QTest::newRow("chk24bit") << "chk24bit" << QStringList{"chkDither", "chkWBuffer", "chk16bit", "chk32bit"};
        QTest::newRow("chk32bit") << "chk32bit" << QStringList{"chkDither", "chkWBuffer", "chk24bit", "-"};
        QTest::newRow("chkWBuffer") << "chkWBuffer" << QStringList{"chk24bit", "chkKeepBodies", "scrColor(2)", "-"};
        QTest::newRow("chkKeepBodies") << "chkKeepBodies" << QStringList{"chkWBuffer", "cmdOK", "scrColor(2)", "-"};
        QTest::newRow("scrColor(0)") << "scrColor(0)" << QStringList{"-", "-", "-", "scrColor(1)"};
        QTest::newRow("scrColor(1)") << "scrColor(1)" << QStringList{"-", "-", "scrColor(0)", "scrColor(2)"};
        QTest::newRow("scrColor(2)") << "scrColor(2)" << QStringList{"-", "-", "scrColor(1)", "chk16bit"};
        QTest::newRow("txtColor(0)") << "txtColor(0)" << QStringList{"-", "txtColor(1)", "scrColor(1)", "chkKeepBodies"};
        QTest::newRow("txtColor(1)") << "txtColor(1)" << QStringList{"txtColor(0)", "txtColor(2)", "scrColor(0)", "cmdOK"};
        QTest::newRow("txtColor(2)") << "txtColor(2)" << QStringList{"txtColor(1)", "-", "-", "cmdOK"};
        QTest::newRow("cmdOK") << "cmdOK" << QStringList{"chkKeepBodies", "-", "txtColor(2)", "-"};
        // clang-format on
    }

    void padMovesGoBackTheWayTheyCame()
    {
        QFETCH(QString, from);
        QFETCH(QStringList, leadsTo);
        WindowUnderTest w(kColourful);
        std::vector<QWidget*> controls;
        std::vector<PadControl> places;
        for (QWidget* c : w.window().findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if ((c->focusPolicy() & Qt::TabFocus) != 0 && c->isVisible()) {
                controls.push_back(c);
                places.push_back({c->geometry(), qobject_cast<ColourBar*>(c) != nullptr});
            }
        }
        const auto start =
            std::size_t(std::ranges::find(controls, w.control<QWidget>(from)) - controls.begin());
        PadUnderTest pad(w);
        const std::array<PadDirection, 4> directions{PadDirection::Up, PadDirection::Down,
                                                     PadDirection::Left, PadDirection::Right};
        const QStringList dpad{"dpup", "dpdown", "dpleft", "dpright"};
        for (int d = 0; d < 4; ++d) {
            const auto to = neighbour(places, start, directions[d]);
            QCOMPARE(to ? controls[*to]->objectName() : QStringLiteral("-"), leadsTo[d]);
            if (to) { // by the pad, and the opposite way straight back
                controls[start]->setFocus();
                pad.act(dpad[d]);
                QCOMPARE(w.window().focusWidget(), controls[*to]);
                pad.act(dpad[d ^ 1]);
                QCOMPARE(w.window().focusWidget(), controls[start]);
            }
        }
        std::set reached{start};
        for (std::vector todo{start}; !todo.empty();) {
            const std::size_t here = todo.back();
            todo.pop_back();
            for (const PadDirection d : directions) {
                if (const auto to = neighbour(places, here, d); to && reached.insert(*to).second) {
                    todo.push_back(*to);
                }
            }
        }
        QCOMPARE(reached.size(), controls.size()); // every control, from every other
    }

    void aPadPressesAMessageBoxsButton()
    {
        WindowUnderTest w(kColourful);
        PadUnderTest pad(w);
        QMessageBox box(QMessageBox::Critical, w.window().windowTitle(),
                        QStringLiteral("Cannot save"), QMessageBox::Ok, &w.window());
        box.show();
        QApplication::setActiveWindow(&box);
        QTRY_COMPARE(QApplication::activeWindow(), &box);
        pad.act(QStringLiteral("a"));
        QVERIFY(!box.isVisible());
        QCOMPARE(box.clickedButton(), box.button(QMessageBox::Ok));
    }

    void aPadSleepsWhileNoWindowOfTheProgramIsActive()
    {
        WindowUnderTest w(kColourful);
        GamePad pad(&w.window()); // in a thread of its own, as the program reads pads
        pad.start();
        QTRY_VERIFY(SDL_WasInit(SDL_INIT_GAMECONTROLLER) != 0);
        attachVirtualPad();
        int looks = sdlLooks;
        QTRY_VERIFY(sdlLooks > looks + 2);
        QApplication::setActiveWindow(nullptr); // as when another program's window comes in front
        looks = sdlLooks;
        QTest::qWait(2500);
        QVERIFY2(sdlLooks - looks <= 3, qPrintable(QString::number(sdlLooks - looks)));
        QApplication::setActiveWindow(&w.window());
        looks = sdlLooks;
        QTRY_VERIFY(sdlLooks > looks + 2); // and at once back at the pace of a pad in use
    }

    void assistiveTechnologyDoesWhatTheMouseDoes()
    {
        WindowUnderTest w(kColourful);
        QAccessibleInterface* quests = QAccessible::queryAccessibleInterface(w.label(3));
        QAccessibleInterface* system = QAccessible::queryAccessibleInterface(w.label(0));
        QCOMPARE(quests->text(QAccessible::Name), QStringLiteral("Quests"));
        QVERIFY(system->state().selected && !quests->state().selected);
        // A reader walks the tree both ways: the window a named frame, the names items of one list.
        QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(&w.window());
        QCOMPARE(frame->role(), QAccessible::Window);
        QCOMPARE(frame->text(QAccessible::Name), QStringLiteral("Brackenholt Config"));
        QAccessibleInterface* list = quests->parent();
        QCOMPARE(list->role(), QAccessible::List);
        QCOMPARE(list->childCount(), 14);
        QCOMPARE(list->child(3), quests);
        QCOMPARE(list->indexOfChild(quests), 3);
        QCOMPARE(list->parent(), frame);
        QCOMPARE(frame->child(frame->indexOfChild(list)), list);
        QCOMPARE(frame->indexOfChild(quests), -1);
        QCOMPARE(quests->actionInterface()->actionNames(),
                 QStringList{QAccessibleActionInterface::pressAction()});
        quests->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(w.window().currentMessage(), 3);
        QVERIFY(quests->state().selected && !system->state().selected);
        // Where a reader lands first, and only there: how to choose another type. The editors
        // say what they edit as their names.
        const QString hint = QStringLiteral(
            "Ctrl+Up and Ctrl+Down choose the message type; on a pad, the shoulder buttons");
        QCOMPARE(w.bar(0)->accessibleName(), QStringLiteral("Red of Quests"));
        QCOMPARE(w.box(2)->accessibleName(), QStringLiteral("Blue of Quests"));
        QCOMPARE(w.bar(0)->accessibleDescription() + w.box(2)->accessibleDescription(), QString());
        QCOMPARE(w.control<QWidget>(QStringLiteral("chkFullScreen"))->accessibleDescription(),
                 hint);
        QVERIFY(!w.control<QWidget>(QStringLiteral("selectionMark"))->isVisible());

        // A bar tells the component, not its scroll position, and a value set from outside runs
        // the bar's Change handler.
        QAccessibleValueInterface* green =
            QAccessible::queryAccessibleInterface(w.bar(1))->valueInterface();
        QCOMPARE(green->currentValue().toInt(), int(kColourful.colours[3][1]));
        QCOMPARE(green->maximumValue().toInt(), 255);
        for (const auto& [set, component] :
             {std::pair{200.0, 200}, {12.5, 12}, {13.5, 14}, {300.0, 255}, {-4.0, 0}}) {
            green->setCurrentValue(set);
            QCOMPARE(w.bar(1)->value(), 255 - component);
            QCOMPARE(green->currentValue().toInt(), component);
            QCOMPARE(w.box(1)->text(), QString::number(component));
            QCOMPARE(w.labelColour(3)[1], component);
        }
    }
};

QTEST_MAIN(WindowBehaviour)
#include "test_window_behaviour.moc"
