// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ColourCheckView.h"

#include "FocusFrameStyle.h"
#include "Pictures.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cmath>

namespace {

using bh::Vision;

constexpr QColor kPanelFill(64, 64, 64);
constexpr QColor kWhite(255, 255, 255);

// Where everything stands, in the form's pixels. The view leaves a rim of the backdrop showing,
// so it reads as laid over the settings; the four panels stand side by side, each name level
// with its own in the others, so one look along a row compares what four players see.
constexpr QRect kViewPlace(8, 8, 624, 464);
constexpr int kLeft = 16;
constexpr int kRight = 608;
constexpr int kPanelTop = 36;
constexpr int kNameTop = 22; // in a panel, under its heading
constexpr int kNamePitch = 15;
constexpr int kNameIndent = 8;
constexpr int kRatioRight = 150; // in a contrast row
constexpr int kHardToReadLeft = 158;
constexpr int kPanelHeight = kNameTop + kNamePitch * bh::kMessageTypeCount + 6;
constexpr std::array<QRect, bh::kVisionCount> kPanels = {{
    {kLeft, kPanelTop, 240, kPanelHeight},
    {264, kPanelTop, 109, kPanelHeight},
    {381, kPanelTop, 109, kPanelHeight},
    {498, kPanelTop, 110, kPanelHeight},
}};
// Below them, the look-alike pairs by vision on the left, the palettes in a column on the right.
constexpr int kPairsTop = 282;
constexpr int kPairsPitch = 40;
constexpr int kPairsLeft = 116;
constexpr int kPairsRight = 436;
constexpr int kPalettesLeft = 456;
constexpr int kPalettesTop = 300;
constexpr int kPalettePitch = 30;

constexpr std::array<const char*, bh::kVisionCount> kVisionCaptions = {"Normal vision", "Red-blind",
                                                                       "Green-blind", "Blue-blind"};
constexpr std::array<const char*, bh::kVisionCount> kLookAlikeNames = {
    "Look alike with normal vision", "Look alike for red-blind players (protanopia)",
    "Look alike for green-blind players (deuteranopia)",
    "Look alike for blue-blind players (tritanopia)"};

QString typeName(int type)
{
    const std::string_view name = bh::kMessageTypeNames.at(static_cast<std::size_t>(type));
    return QString::fromLatin1(name.data(), qsizetype(name.size()));
}

QColor qColour(const bh::Colour& c)
{
    return {c[0], c[1], c[2]};
}

// The ratio with one decimal. A ratio just under 4.5 would round to the very figure it falls
// short of, and read "4.5, hard to read": it is held to 4.4 instead.
QString ratioText(const bh::TypeContrast& contrast)
{
    double shown = std::round(contrast.contrast * 10) / 10;
    if (contrast.hardToRead && shown >= bh::kReadableContrast) {
        shown = std::floor(contrast.contrast * 10) / 10;
    }
    return QString::number(shown, 'f', 1);
}

QLabel* caption(QWidget* parent, const QString& text, const QRect& place, const QFont& font)
{
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setGeometry(place);
    return label;
}

// A heading and, but for normal vision, whose names are contrast rows of their own, the 14 names
// in the colours that vision gives them.
class VisionPanel : public QFrame {
public:
    VisionPanel(Vision vision, QWidget* parent) : QFrame(parent), vision_(vision)
    {
        setFrameStyle(QFrame::Box | QFrame::Plain);
    }

    void setColours(const bh::MessageColours& colours)
    {
        bh::MessageColours seen{};
        std::transform(colours.begin(), colours.end(), seen.begin(),
                       [this](const bh::Colour& c) { return bh::seenWith(vision_, c); });
        if (seen != seen_) {
            seen_ = seen;
            update();
        }
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QFrame::paintEvent(event);
        QPainter painter(this);
        painter.setPen(kWhite);
        const QRect heading(kNameIndent, 3, width() - 2 * kNameIndent, kNamePitch);
        painter.drawText(heading, Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromLatin1(kVisionCaptions.at(std::size_t(vision_))));
        if (vision_ == Vision::Normal) {
            painter.drawText(heading.adjusted(0, 0, kRatioRight - heading.right(), 0),
                             Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("contrast"));
            return;
        }
        for (int type = 0; type < bh::kMessageTypeCount; ++type) {
            painter.setPen(qColour(seen_.at(std::size_t(type))));
            painter.drawText(QRect(kNameIndent, kNameTop + type * kNamePitch, width(), kNamePitch),
                             Qt::AlignLeft | Qt::AlignVCenter, typeName(type));
        }
    }

private:
    Vision vision_;
    bh::MessageColours seen_{};
};

// The look-alike pairs one line high, so two lines of them fit the room each vision has.
class PairDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width() + 8, kNamePitch};
    }
};

// A type's name in its colour, its contrast on the panel and, below 4.5 : 1, "hard to read" in
// words, so the mark needs no colour to be seen. A reader hears the whole row as its name.
class ContrastRow : public QLabel {
public:
    ContrastRow(int type, QWidget* parent) : QLabel(parent), type_(type) {}

    void setContrast(const bh::Colour& colour, const bh::TypeContrast& contrast)
    {
        const QString ratio = ratioText(contrast);
        const QString name =
            QStringLiteral("%1, contrast %2 to 1%3")
                .arg(typeName(type_), ratio,
                     contrast.hardToRead ? QStringLiteral(", hard to read") : QString());
        if (name != accessibleName() || qColour(colour) != colour_) {
            colour_ = qColour(colour);
            ratio_ = ratio;
            hardToRead_ = contrast.hardToRead;
            setAccessibleName(name);
            update();
        }
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override
    {
        QPainter painter(this);
        painter.setPen(colour_);
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, typeName(type_));
        painter.setPen(kWhite);
        painter.setFont(bh::controlFont()); // the label face's figures are old style
        painter.drawText(QRect(0, 0, kRatioRight - kNameIndent, height()),
                         Qt::AlignRight | Qt::AlignVCenter, ratio_ + QStringLiteral(" : 1"));
        painter.setFont(font());
        if (hardToRead_) {
            painter.drawText(rect().adjusted(kHardToReadLeft - kNameIndent, 0, 0, 0),
                             Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("hard to read"));
        }
    }

private:
    int type_;
    QColor colour_;
    QString ratio_;
    bool hardToRead_ = false;
};

} // namespace

ColourCheckView::ColourCheckView(QWidget* form) : QFrame(form)
{
    setObjectName(QStringLiteral("colourCheck"));
    setAccessibleName(QStringLiteral("Colour check"));
    setGeometry(kViewPlace);
    // The message panel's looks: its grey, its white border and the labels' face in white.
    QPalette panel = palette();
    panel.setColor(QPalette::Window, kPanelFill);
    panel.setColor(QPalette::WindowText, kWhite);
    setPalette(panel);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setFont(bh::labelFont(9.75));

    caption(this, QStringLiteral("Colour check"), QRect(kLeft, 6, 200, 24), bh::labelFont(12));
    // In the controls' face: the label face's old-style 1 would read as an I.
    const QString backKeys = QStringLiteral("Back to the settings: F1 or Escape, on a pad B");
    QLabel* back =
        caption(this, backKeys, QRect(kRight - 400, 10, 400, kNamePitch), bh::controlFont());
    back->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setAccessibleDescription(backKeys);
    createPanels();
    createLookAlikeLists();
    createPalettes();
}

void ColourCheckView::createPanels()
{
    for (int v = 0; v < bh::kVisionCount; ++v) {
        auto* panel = new VisionPanel(Vision(v), this);
        panel->setGeometry(kPanels.at(std::size_t(v)));
        visionPanels_.at(std::size_t(v)) = panel;
    }
    for (int type = 0; type < bh::kMessageTypeCount; ++type) {
        auto* row = new ContrastRow(type, visionPanels_[0]);
        row->setGeometry(kNameIndent, kNameTop + type * kNamePitch,
                         kPanels[0].width() - 2 * kNameIndent, kNamePitch);
        contrastRows_.at(std::size_t(type)) = row;
    }
}

void ColourCheckView::createLookAlikeLists()
{
    for (std::size_t v = 0; v < lookAlike_.size(); ++v) {
        const int top = kPairsTop + int(v) * kPairsPitch;
        caption(this, QString::fromLatin1(kVisionCaptions.at(v)),
                QRect(kLeft, top, kPairsLeft - kLeft, kNamePitch), font());
        pairCounts_.at(v) =
            caption(this, QString(), QRect(kLeft, top + kNamePitch, kPairsLeft - kLeft, kNamePitch),
                    bh::controlFont());
        // A list of Qt's own, so a reader finds the pairs as the items of a named list; on
        // screen they run on like a line of text, as many as two lines hold. The count beside
        // them tells how many there are in all.
        auto* list = new QListWidget(this);
        list->setAccessibleName(QString::fromLatin1(kLookAlikeNames.at(v)));
        list->setGeometry(kPairsLeft, top, kPairsRight - kPairsLeft, 2 * kNamePitch);
        list->setFlow(QListView::LeftToRight);
        list->setWrapping(true);
        list->setFrameShape(QFrame::NoFrame);
        list->setFocusPolicy(Qt::NoFocus);
        list->setSelectionMode(QAbstractItemView::NoSelection);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setAttribute(Qt::WA_TransparentForMouseEvents);
        list->setItemDelegate(new PairDelegate(list));
        QPalette text = palette();
        text.setColor(QPalette::Base, kPanelFill);
        text.setColor(QPalette::Text, kWhite);
        list->setPalette(text);
        lookAlike_.at(v) = list;
    }
}

void ColourCheckView::createPalettes()
{
    // The face and focus frame of the form's OK: the frame is drawn in the text colour, which
    // would be the panel's white on the button's light face.
    QPalette face = palette();
    face.setColor(QPalette::WindowText, Qt::black);
    caption(this, QStringLiteral("Palettes for all the colours"),
            QRect(kPalettesLeft, kPairsTop, kRight - kPalettesLeft, kNamePitch), font());
    QStyle* frames = newFocusFrameStyle(this);
    for (std::size_t p = 0; p < palettes_.size(); ++p) {
        const auto& name = bh::kPaletteNames.at(p);
        auto* button =
            new QPushButton(QString::fromLatin1(name.data(), qsizetype(name.size())), this);
        button->setFont(bh::controlFont());
        button->setStyle(frames);
        button->setPalette(face);
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setAccessibleName(button->text());
        button->setGeometry(kPalettesLeft, kPalettesTop + int(p) * kPalettePitch,
                            kRight - kPalettesLeft, 25);
        connect(button, &QPushButton::clicked, this,
                [this, p] { emit paletteChosen(bh::Palette(p)); });
        palettes_.at(p) = button;
    }
}

void ColourCheckView::setColours(const bh::MessageColours& colours)
{
    const bh::ColourCheckResult check = bh::checkColours(colours);
    for (std::size_t type = 0; type < contrastRows_.size(); ++type) {
        static_cast<ContrastRow*>(contrastRows_[type])
            ->setContrast(colours[type], check.contrast[type]);
    }
    for (std::size_t v = 0; v < visionPanels_.size(); ++v) {
        static_cast<VisionPanel*>(visionPanels_[v])->setColours(colours);
        QStringList pairs;
        for (const bh::LookAlikePair& pair : check.lookAlike[v]) {
            pairs << QStringLiteral("%1 and %2").arg(typeName(pair.first), typeName(pair.second));
        }
        pairCounts_[v]->setText(pairs.isEmpty()     ? QStringLiteral("none")
                                : pairs.size() == 1 ? QStringLiteral("1 pair")
                                                    : QStringLiteral("%1 pairs").arg(pairs.size()));
        QListWidget* list = lookAlike_[v];
        QStringList shown;
        for (int i = 0; i < list->count(); ++i) {
            shown << list->item(i)->text();
        }
        if (pairs == shown) {
            continue; // a reader keeps its place in a list that did not change
        }
        // All at once: each item added or changed on its own would be one more event in a
        // screen reader's queue, which drops the announcement of the palette once it overflows.
        list->clear();
        list->addItems(pairs);
    }
}

void ColourCheckView::focusPalettes(Qt::FocusReason reason)
{
    palettes_[0]->setFocus(reason);
}

void ColourCheckView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_F1:
    case Qt::Key_Escape:
        if (!event->isAutoRepeat()) { // a held F1 would close the check and open it again
            emit closeRequested();
        }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A push button outside a dialog leaves both keys alone; here they apply the palette.
        if (auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
            button != nullptr &&
            std::find(palettes_.begin(), palettes_.end(), button) != palettes_.end()) {
            button->click();
            return;
        }
        break;
    default:
        break;
    }
    QFrame::keyPressEvent(event);
}

bool ColourCheckView::focusNextPrevChild(bool next)
{
    // Tab and the arrows go round the palettes: the form's controls lie under the view, and the
    // keyboard must not wander off to them.
    const auto at = std::find(palettes_.begin(), palettes_.end(), QApplication::focusWidget());
    const auto count = std::ptrdiff_t(palettes_.size());
    const std::ptrdiff_t from = at != palettes_.end() ? at - palettes_.begin() : (next ? -1 : 0);
    palettes_.at(std::size_t((from + (next ? 1 : count - 1)) % count))
        ->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}
