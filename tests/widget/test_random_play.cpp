// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// A player who clicks and types anything in any order: after each of thousands of random actions
// the window must agree with a small model of what the player should see, and at the end OK must
// write exactly the file the model expects. The model works numbers and the file out on its own,
// not with the program's rules or writer, so a fault in those shows as a disagreement. The run
// plays a fixed seed, printed with the result; to play another, or the same again:
//   BH_RANDOM_PLAY_SEED=<seed> [BH_RANDOM_PLAY_ACTIONS=<n>] test_random_play
#include "WindowLayout.h"
#include "WindowTestSupport.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTest>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <random>

namespace {

constexpr std::uint64_t kDefaultSeed = 20261207;

// What a text box's text stands for: blanks anywhere are skipped; "&H" and "&O" lead hex and
// octal digits; otherwise the longest leading sign, digits, point, digits and exponent. Text
// without digits is 0.
double modelNumber(QString text)
{
    text.remove(QLatin1Char(' ')).remove(QLatin1Char('\t'));
    static const QRegularExpression based(QStringLiteral("^&(?:[Hh]([0-9A-Fa-f]*)|[Oo]([0-7]*))"));
    if (const auto m = based.match(text); m.hasMatch()) {
        return m.hasCaptured(1) ? double(m.captured(1).toULongLong(nullptr, 16))
                                : double(m.captured(2).toULongLong(nullptr, 8));
    }
    static const QRegularExpression decimal(
        QStringLiteral("^[+-]?(\\d*)(?:\\.(\\d*))?(?:[eE][+-]?\\d+)?"));
    const auto m = decimal.match(text);
    if (m.captured(1).isEmpty() && m.captured(2).isEmpty()) {
        return 0;
    }
    return std::strtod(m.captured(0).toLatin1().constData(), nullptr);
}

const char* const kDepthBoxes[] = {"chk16bit", "chk24bit", "chk32bit"};

// What players paste and type: the numbers the boxes must cope with, from the harmless to the
// absurd (beyond the double range, more digits than a double keeps, another base, blanks).
const char* const kPool[] = {
    "",     "-",     "007", "12.7", "2 5",  "&HFF", "1E400", "-1E400", "99999999999999999999",
    "abc",  "255",   "256", "0",    "12.5", "13.5", "300",   "-5",     "1e2",
    "&O17", "254.5", ".",   "0.1",
};

// What the player should see, kept apart from the window: the option boxes, the committed
// colours, which type is being edited, the bars and boxes, and the colour each name shows.
struct Model {
    std::map<QString, bool> checked;
    std::array<bh::Colour, bh::kMessageTypeCount> colours{};
    std::array<bh::Colour, bh::kMessageTypeCount> shown{};
    int current = 0;
    std::array<int, 3> bar{};
    std::array<QString, 3> text;

    explicit Model(const bh::ConfigRecord& r)
    {
        checked = {{"chkFullScreen", r.fullScreen},
                   {"chkDebug", r.debugInfo},
                   {"chkAntialias", r.antialiasing},
                   {"chkDither", r.dithering},
                   {"chk16bit", r.depth == bh::ColourDepth::Bits16},
                   {"chk24bit", r.depth == bh::ColourDepth::Bits24},
                   {"chk32bit", r.depth == bh::ColourDepth::Bits32},
                   {"chkWBuffer", r.wBuffering},
                   {"chkKeepBodies", r.keepBodies}};
        colours = shown = r.colours;
        for (int c = 0; c < 3; ++c) {
            bar[c] = 255 - r.colours[0][c];
            text[c] = QString::number(r.colours[0][c]);
        }
    }

    bh::Colour barColour() const
    {
        return {std::uint8_t(255 - bar[0]), std::uint8_t(255 - bar[1]), std::uint8_t(255 - bar[2])};
    }

    void clickBox(const QString& name)
    {
        if (name == "chk16bit" || name == "chk24bit" || name == "chk32bit") {
            // A depth box always ends chosen, alone, and brings its W-buffering along.
            for (const char* depth : kDepthBoxes) {
                checked[QString::fromLatin1(depth)] = name == QLatin1String(depth);
            }
            checked["chkWBuffer"] = name == "chk16bit";
        } else {
            checked[name] = !checked[name];
        }
    }

    void moveBar(int c, int value)
    {
        value = std::clamp(value, 0, 255);
        if (value == bar[c]) {
            return; // a bar that stays raises nothing, and its box keeps its text
        }
        bar[c] = value;
        text[c] = QString::number(255 - value);
        shown[current] = barColour();
    }

    void selectMessage(int index)
    {
        colours[current] = barColour();
        current = index;
        for (int c = 0; c < 3; ++c) {
            moveBar(c, 255 - colours[index][c]);
        }
    }

    // The box settles at once: its number in short form, held to 0..255; the bar takes the
    // rounded component, and if the bar moves the box shows that whole component.
    void editText(int c, const QString& typed)
    {
        if (typed == text[c]) {
            return;
        }
        // A player cannot type a number so small that its short form needs an exponent: the
        // zeros after a point are dropped as they are typed. +0.0 turns -0 into 0.
        const double value = std::clamp(modelNumber(typed), 0.0, 255.0) + 0.0;
        text[c] = QString::number(value, 'g', 15);
        // The rounding mode is to nearest, a half to even.
        moveBar(c, static_cast<int>(std::nearbyint(255 - value)));
    }

    // bh.cfg as OK must write it, the colour being edited included: one number a line, each
    // ended by CR LF, in file order.
    QByteArray file()
    {
        selectMessage(0);
        QByteArray out;
        const auto line = [&out](int value) { out += QByteArray::number(value) + "\r\n"; };
        for (const char* name :
             {"chkFullScreen", "chkDebug", "chkAntialias", "chkDither", "chkWBuffer"}) {
            line(checked[name] ? 1 : 0);
        }
        line(checked["chk16bit"] ? 16 : checked["chk24bit"] ? 24 : 32);
        line(checked["chkKeepBodies"] ? 1 : 0);
        for (const bh::Colour& colour : colours) {
            for (const std::uint8_t component : colour) {
                line(component);
            }
        }
        return out;
    }
};

QString colourText(const bh::Colour& c)
{
    return QStringLiteral("(%1,%2,%3)").arg(c[0]).arg(c[1]).arg(c[2]);
}

class Player {
public:
    Player(std::uint64_t seed, WindowUnderTest& w, Model& model)
        : random_(seed), w_(w), model_(model)
    {
        // Every notification the window's controls raise, to see each action come to rest.
        for (const bh::layout::CheckBox& box : bh::layout::kCheckBoxes) {
            QObject::connect(w.check(box.name), &QCheckBox::toggled, w.check(box.name),
                             [this] { ++raised_; });
        }
        for (int c = 0; c < 3; ++c) {
            QObject::connect(w.bar(c), &QScrollBar::valueChanged, w.bar(c), [this] { ++raised_; });
            QObject::connect(w.box(c), &QLineEdit::textChanged, w.box(c), [this] { ++raised_; });
        }
    }

    // Plays one random action on the window and on the model; returns what it did.
    QString play()
    {
        raised_ = 0;
        switch (pick(10)) {
        case 0: {
            const QString name = QString::fromLatin1(bh::layout::kCheckBoxes[pick(9)].name);
            w_.click(w_.check(name.toLatin1().constData()));
            model_.clickBox(name);
            return QStringLiteral("click %1").arg(name);
        }
        case 1: {
            const int i = pick(bh::kMessageTypeCount);
            w_.clickLabel(i);
            model_.selectMessage(i);
            return QStringLiteral("click name %1").arg(i);
        }
        case 2: {
            const int c = pick(3);
            const bool up = pick(2) == 0;
            w_.clickBarPart(c, up ? QStyle::SC_ScrollBarSubLine : QStyle::SC_ScrollBarAddLine);
            model_.moveBar(c, model_.bar[c] + (up ? -1 : 1));
            return QStringLiteral("arrow %1 on bar %2").arg(up ? "up" : "down").arg(c);
        }
        case 3: {
            const int c = pick(3);
            const bool up = pick(2) == 0;
            const char* where = up ? "above" : "below";
            const QRect track = barPartRect(w_.bar(c), up ? QStyle::SC_ScrollBarSubPage
                                                          : QStyle::SC_ScrollBarAddPage);
            if (track.height() < 1) {
                return QString::asprintf("(no track %s the thumb of bar %d)", where, c);
            }
            QTest::mouseClick(w_.bar(c), Qt::LeftButton, {}, track.center());
            model_.moveBar(c, model_.bar[c] + (up ? -1 : 1));
            return QString::asprintf("track %s the thumb of bar %d", where, c);
        }
        case 4: {
            const int c = pick(3);
            const int dy = pick(281) - 140;
            if (const int changes = w_.dragThumb(c, dy); changes != 0) {
                faults_ << QString::asprintf("bar %d raised %d changes during the drag", c,
                                             changes);
            }
            // Where the thumb lands is the player's choice; the model takes it from there.
            model_.moveBar(c, w_.bar(c)->value());
            return QString::asprintf("drag bar %d by %d px to %d", c, dy, w_.bar(c)->value());
        }
        case 5: {
            const int c = pick(3);
            const QString text = poolText();
            w_.pasteInto(c, text);
            model_.editText(c, text);
            return QStringLiteral("paste \"%1\" over box %2").arg(text).arg(c);
        }
        case 6: {
            const int c = pick(3);
            const QString text = poolText();
            QLineEdit* box = w_.box(c);
            QTest::keyClick(box, Qt::Key_End);
            const QString before = box->text();
            box->insert(text);
            model_.editText(c, model_.text[c] + text);
            return QStringLiteral("paste \"%1\" after \"%2\" in box %3").arg(text, before).arg(c);
        }
        case 7: {
            const int c = pick(3);
            const QString text = poolText();
            const bool replace = pick(2) == 0;
            QLineEdit* box = w_.box(c);
            if (replace) {
                QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClick(box, Qt::Key_Delete);
                model_.editText(c, QString());
            } else {
                QTest::keyClick(box, Qt::Key_End);
            }
            // The caret stays at the end: typing adds there, and a rewrite puts it there.
            for (const QChar ch : text) {
                QTest::keyClicks(box, QString(ch));
                model_.editText(c, model_.text[c] + ch);
            }
            return QString::asprintf("type \"%s\" %s box %d", qUtf8Printable(text),
                                     replace ? "over" : "at the end of", c);
        }
        case 8: {
            const int c = pick(3);
            QLineEdit* box = w_.box(c);
            const QString before = model_.text[c];
            switch (pick(3)) {
            case 0:
                QTest::keyClick(box, Qt::Key_End);
                QTest::keyClick(box, Qt::Key_Backspace);
                model_.editText(c, before.left(before.size() - 1));
                return QStringLiteral("backspace at the end of box %1").arg(c);
            case 1:
                QTest::keyClick(box, Qt::Key_Home);
                QTest::keyClick(box, Qt::Key_Delete);
                model_.editText(c, before.mid(1));
                return QStringLiteral("delete at the start of box %1").arg(c);
            default:
                QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClick(box, Qt::Key_Delete);
                model_.editText(c, QString());
                return QStringLiteral("clear box %1").arg(c);
            }
        }
        default: {
            // The space bar on a focused option box is a click too.
            const QString name = QString::fromLatin1(bh::layout::kCheckBoxes[pick(9)].name);
            QCheckBox* box = w_.check(name.toLatin1().constData());
            box->setFocus();
            QTest::keyClick(box, Qt::Key_Space);
            model_.clickBox(name);
            return QStringLiteral("space on %1").arg(name);
        }
        }
    }

    // Everything the window shows that the model says, and the rules that must hold whatever
    // the model says. Empty when all agree.
    QStringList faults()
    {
        QStringList found = std::exchange(faults_, {});
        // A handler that set off another without end would never return here; one that runs
        // on through queued work would show in the next event round.
        const int raised = std::exchange(raised_, 0);
        if (raised > 48) {
            found << QStringLiteral("%1 notifications for one action").arg(raised);
        }
        QCoreApplication::processEvents();
        if (raised_ != 0) {
            found << QStringLiteral("%1 notifications after the action had ended").arg(raised_);
        }

        QStringList checked = w_.checked(), expected; // both in name order
        checked.sort();
        for (const auto& [name, on] : model_.checked) {
            if (on) {
                expected << name;
            }
        }
        if (checked != expected) {
            found << "checked: " + checked.join(u' ') + ", expected: " + expected.join(u' ');
        }
        if (const auto depths = w_.checked(true).size(); depths != 1) {
            found << QStringLiteral("%1 depth boxes checked").arg(depths);
        }
        if (w_.debugPreview()->isVisible() != w_.check("chkDebug")->isChecked()) {
            found << QStringLiteral("the debug preview does not follow Debug Info");
        }
        for (int c = 0; c < 3; ++c) {
            const QString text = w_.box(c)->text();
            const double value = modelNumber(text);
            if (!(value >= 0 && value <= 255)) {
                found << QStringLiteral("box %1 holds \"%2\"").arg(c).arg(text);
            }
            if (text != model_.text[c]) {
                found << QString::asprintf("box %d holds \"%s\", expected \"%s\"", c,
                                           qUtf8Printable(text), qUtf8Printable(model_.text[c]));
            }
            if (w_.bar(c)->value() != model_.bar[c]) {
                found << QString::asprintf("bar %d at %d, expected %d", c, w_.bar(c)->value(),
                                           model_.bar[c]);
            }
        }
        const int current = w_.window().currentMessage();
        if (current != model_.current) {
            found << QString::asprintf("type %d is being edited, expected %d", current,
                                       model_.current);
        }
        if (w_.labelColour(current) != w_.barColour()) {
            found << QStringLiteral("the name being edited shows %1, the bars %2")
                         .arg(colourText(w_.labelColour(current)), colourText(w_.barColour()));
        }
        for (int i = 0; i < bh::kMessageTypeCount; ++i) {
            if (w_.labelColour(i) != model_.shown[static_cast<std::size_t>(i)]) {
                found << QStringLiteral("name %1 shows %2, expected %3")
                             .arg(QString::number(i), colourText(w_.labelColour(i)),
                                  colourText(model_.shown[static_cast<std::size_t>(i)]));
            }
        }
        return found;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    QString poolText()
    {
        if (pick(6) == 0) {
            return QString::number(pick(256));
        }
        return QString::fromLatin1(kPool[pick(static_cast<int>(std::size(kPool)))]);
    }

    std::mt19937_64 random_;
    WindowUnderTest& w_;
    Model& model_;
    int raised_ = 0;
    QStringList faults_;
};

} // namespace

class RandomPlay : public QObject {
    Q_OBJECT
private slots:
    void anyOrderOfActionsKeepsTheRulesAndSavesWhatWasShown()
    {
        bool set = false;
        const std::uint64_t chosen = qEnvironmentVariable("BH_RANDOM_PLAY_SEED").toULongLong(&set);
        const std::uint64_t seed = set ? chosen : kDefaultSeed;
        const int asked = qEnvironmentVariableIntValue("BH_RANDOM_PLAY_ACTIONS");
        const int actions = asked > 0 ? asked : 10000;
        const QString again =
            QStringLiteral("seed %1: repeat with BH_RANDOM_PLAY_SEED=%1").arg(seed);

        // The starting file comes from the seed as well, so each run loads different settings.
        std::mt19937_64 startRandom(seed ^ 0x9e3779b97f4a7c15ULL);
        const bh::ConfigRecord start = bh_test::randomRecord(startRandom);
        WindowUnderTest w(start);
        Model model(start);
        Player player(seed, w, model);

        QStringList recent;
        for (int n = 1; n <= actions; ++n) {
            recent << player.play();
            if (recent.size() > 12) {
                recent.removeFirst();
            }
            const QStringList faults = player.faults();
            if (!faults.isEmpty()) {
                QFAIL(qPrintable(
                    again + QString::asprintf("\nafter action %d of %d:\n  ", n, actions) +
                    faults.join("\n  ") + "\nlast actions:\n  " + recent.join("\n  ")));
            }
        }

        const QByteArray written = w.pressOk();
        const QByteArray expected = model.file();
        QVERIFY2(!w.window().isVisible(), qPrintable(again));
        QVERIFY2(written == expected,
                 qPrintable(again + "\nwritten:\n" + written + "\nexpected:\n" + expected));
        qInfo("%d actions played, %s", actions, qPrintable(again));
    }
};

QTEST_MAIN(RandomPlay)
#include "test_random_play.moc"
