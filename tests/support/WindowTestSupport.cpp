// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "WindowTestSupport.h"

#include <QApplication>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QTest>
#include <cmath>

WindowUnderTest::WindowUnderTest(const QByteArray& config, bool load)
    : path_(dir_.filePath(QStringLiteral("bh.cfg")))
{
    bh_test::writeFile(path_, config);
    window_ = std::make_unique<frmMain>(file_); // wired as the program wires it
    window_->setNotices(accessibility_.noticesFor(window_.get()));
    if (load) {
        window_->Form_Load();
        window_->show();
        window_->activateWindow();
        (void)QTest::qWaitForWindowActive(window_.get());
    }
}

QByteArray WindowUnderTest::pressOk()
{
    QTest::mouseClick(ok(), Qt::LeftButton);
    return readFile(path_);
}

QStringList WindowUnderTest::checked(bool depth)
{
    QStringList names;
    for (QCheckBox* b : window_->findChildren<QCheckBox*>(Qt::FindDirectChildrenOnly)) {
        if (b->isChecked() && (!depth || b->objectName().endsWith(QLatin1String("bit")))) {
            names << b->objectName();
        }
    }
    return names;
}

void WindowUnderTest::pasteInto(int c, const QString& text)
{
    QLineEdit* b = box(c);
    b->setFocus();
    b->selectAll();
    b->insert(text);
}

void WindowUnderTest::typeInto(int c, const QString& keys)
{
    QLineEdit* b = box(c);
    b->setFocus();
    QTest::keyClick(b, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(b, Qt::Key_Delete);
    QTest::keyClicks(b, keys);
}

QRect barPartRect(QScrollBar* bar, QStyle::SubControl part)
{
    // The bar's own style option, as it paints with; its initStyleOption is protected, and a
    // member pointer taken through a subclass reaches it.
    struct Options : QScrollBar {
        using QScrollBar::initStyleOption;
    };
    QStyleOptionSlider opt;
    (bar->*&Options::initStyleOption)(&opt);
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, part, bar);
}

FocusLook focusLook(QWidget* control)
{
    const QImage focused = control->grab().toImage();
    control->clearFocus();
    const QImage plain = control->grab().toImage();
    control->setFocus();
    const auto luminance = [](QRgb rgb) { // WCAG's relative luminance, plus its flare of 0.05
        double sum = 0.05;
        for (const auto& [c, weight] : {std::pair{qRed(rgb) / 255.0, 0.2126},
                                        {qGreen(rgb) / 255.0, 0.7152},
                                        {qBlue(rgb) / 255.0, 0.0722}}) {
            sum += weight * (c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
        return sum;
    };
    QRegion changed; // by 3 : 1 or more
    for (int y = 0; y < focused.height(); ++y) {
        for (int x = 0; x < focused.width(); ++x) {
            const double a = luminance(focused.pixel(x, y));
            const double b = luminance(plain.pixel(x, y));
            changed += std::max(a, b) / std::min(a, b) >= 3.0 ? QRect(x, y, 1, 1) : QRect();
        }
    }
    const QRect ring = changed.boundingRect();
    const bool whole = !ring.isEmpty() &&
                       (QRegion(ring) - QRegion(ring.adjusted(1, 1, -1, -1)) - changed).isEmpty();
    return focused == plain ? FocusLook::Nothing : whole ? FocusLook::Frame : FocusLook::Other;
}

void WindowUnderTest::clickBarPart(int c, QStyle::SubControl part)
{
    QScrollBar* b = bar(c);
    QTest::mouseClick(b, Qt::LeftButton, {}, barPartRect(b, part).center());
}

int WindowUnderTest::dragThumb(int c, int dy)
{
    QScrollBar* b = bar(c);
    QSignalSpy changes(b, &QScrollBar::valueChanged);
    const QPoint start = barPartRect(b, QStyle::SC_ScrollBarSlider).center();
    QTest::mousePress(b, Qt::LeftButton, {}, start);
    for (int step = 1; step <= 4; ++step) {
        const QPoint at = start + QPoint(0, dy * step / 4);
        QMouseEvent move(QEvent::MouseMove, at, b->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(b, &move);
    }
    const int duringDrag = static_cast<int>(changes.count());
    QTest::mouseRelease(b, Qt::LeftButton, {}, start + QPoint(0, dy));
    return duringDrag;
}

bh::Colour WindowUnderTest::barColour()
{
    return {bar(0)->component(), bar(1)->component(), bar(2)->component()};
}

bh::Colour WindowUnderTest::labelColour(int index)
{
    const QColor c = label(index)->textColour();
    return {std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue())};
}
