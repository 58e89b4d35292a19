// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include "TestFiles.h"
#include "WindowAccessibility.h"
#include "frmMain.h"

#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using bh_test::colourfulRecord;
using bh_test::configBytes;
using bh_test::readFile;

// Where an arrow, the track or the thumb of a scroll bar is drawn, to click it there.
QRect barPartRect(QScrollBar* bar, QStyle::SubControl part);

// How the focus shows on a control, against the same control drawn without it: not at all, as a
// frame (a whole ring of the pixels it changes by 3 : 1 or more), or otherwise.
enum class FocusLook { Nothing, Frame, Other };
FocusLook focusLook(QWidget* control);

// A fresh window on its own bh.cfg in its own temporary folder, loaded and shown.
class WindowUnderTest {
public:
    explicit WindowUnderTest(const QByteArray& config, bool load = true);
    explicit WindowUnderTest(const bh::ConfigRecord& r) : WindowUnderTest(configBytes(r)) {}

    frmMain& window() { return *window_; }
    const QString& configPath() const { return path_; }
    QString folder() const { return dir_.path(); }

    template <typename T> T* control(const QString& name)
    {
        return window_->findChild<T*>(name, Qt::FindDirectChildrenOnly);
    }
    QCheckBox* check(const char* name) { return control<QCheckBox>(QString::fromLatin1(name)); }
    ColourBar* bar(int c) { return control<ColourBar>(QStringLiteral("scrColor(%1)").arg(c)); }
    QLineEdit* box(int c) { return control<QLineEdit>(QStringLiteral("txtColor(%1)").arg(c)); }
    MessageLabel* label(int i) { return control<MessageLabel>(QString("lblMessages(%1)").arg(i)); }
    QPushButton* ok() { return control<QPushButton>(QStringLiteral("cmdOK")); }
    QWidget* debugPreview() { return control<QWidget>(QStringLiteral("imgDebugON")); }

    // The option boxes checked, in the order they stand; with depth, the depth boxes alone.
    QStringList checked(bool depth = false);

    // The player's actions: a click near the left edge (on a check box, the box itself); text put
    // over the whole text, pasted or key by key; OK, returning what is then in bh.cfg.
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(8, w->height() / 2)); }
    void clickLabel(int index) { QTest::mouseClick(label(index), Qt::LeftButton); }
    void pasteInto(int c, const QString& text);
    void typeInto(int c, const QString& keys);
    void clickBarPart(int c, QStyle::SubControl part); // an arrow or the track
    int dragThumb(int c, int dy); // returns the changes the bar raised before the release
    QByteArray pressOk();

    bh::Colour barColour();
    bh::Colour labelColour(int index);

private:
    QTemporaryDir dir_;
    QString path_;
    bh::ConfigFile file_{path_};
    WindowAccessibility accessibility_;
    std::unique_ptr<frmMain> window_;
};
