// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "Pictures.h"

#include <QFontDatabase>

namespace bh {

QPixmap picture(const QString& name, qreal devicePixelRatio)
{
    const bool sharp = devicePixelRatio > 1.0;
    QPixmap pixmap(
        QStringLiteral(":/pictures/%1%2.png").arg(name, sharp ? QStringLiteral("@2x") : QString()));
    pixmap.setDevicePixelRatio(sharp ? 2.0 : 1.0);
    return pixmap;
}

QIcon programIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/pictures/icon.png"));
    icon.addFile(QStringLiteral(":/pictures/icon@2x.png"));
    return icon;
}

QFont labelFont(qreal pointSize)
{
    static const bool registered = [] {
        const int id =
            QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/EBGaramond12-Bold.otf"));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty()) {
            QFont::insertSubstitution(QStringLiteral("Garamond"), families.first());
        }
        return true;
    }();
    (void)registered;
    QFont font(QStringLiteral("Garamond"));
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Bold);
    return font;
}

} // namespace bh
