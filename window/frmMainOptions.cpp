// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The display options: the debug preview, and the three colour-depth boxes that act as one
// choice and bring W-buffering along with them.
#include "Pictures.h"
#include "frmMain.h"

#include <QStringList>
#include <algorithm>
#include <array>

void frmMain::chkDebug_Click()
{
    // Decoded on first showing, not at creation: most players never turn the read-out on, and
    // the first frame should not wait for a picture it does not show.
    if (chkDebug->isChecked() && imgDebugON->pixmap().isNull()) {
        imgDebugON->setPixmap(bh::picture(QStringLiteral("debug-preview"), devicePixelRatioF()));
    }
    imgDebugON->setVisible(chkDebug->isChecked());
}

void frmMain::chk16bit_Click()
{
    applyDepthRule(chk16bit);
}

void frmMain::chk24bit_Click()
{
    applyDepthRule(chk24bit);
}

void frmMain::chk32bit_Click()
{
    applyDepthRule(chk32bit);
}

void frmMain::applyDepthRule(QCheckBox* box)
{
    if (DepthUpdating) {
        return;
    }
    if (box->isChecked()) {
        const std::array<QCheckBox*, 4> ruled = {chk16bit, chk24bit, chk32bit, chkWBuffer};
        std::array<bool, ruled.size()> before{};
        std::transform(ruled.begin(), ruled.end(), before.begin(),
                       [](const QCheckBox* b) { return b->isChecked(); });
        // Held while the other boxes change, so their handlers do not answer back.
        DepthUpdating = true;
        for (QCheckBox* other : {chk16bit, chk24bit, chk32bit}) {
            if (other != box) {
                other->setChecked(false);
            }
        }
        // The game only supports W-buffering in 16-bit colour.
        chkWBuffer->setChecked(box == chk16bit);
        DepthUpdating = false;

        // A screen reader says what became of the box the player pressed, but not of the others.
        QStringList changed;
        for (std::size_t i = 0; i < ruled.size(); ++i) {
            if (ruled[i] != box && ruled[i]->isChecked() != before[i]) {
                changed << QStringLiteral("%1 %2").arg(
                    ruled[i]->accessibleName(),
                    ruled[i]->isChecked() ? QStringLiteral("on") : QStringLiteral("off"));
            }
        }
        notice_->announce(changed.join(QStringLiteral(", ")));
    } else {
        // A depth cannot be switched off, only replaced: a click on the chosen box keeps it and
        // applies its W-buffering again, through the branch above. The box ends as it began, so
        // a screen reader hears no change of it and the player would not know the press counted.
        notice_->announce(QStringLiteral("%1 stays checked, one depth is always chosen")
                              .arg(box->accessibleName()));
        box->setChecked(true);
    }
}
