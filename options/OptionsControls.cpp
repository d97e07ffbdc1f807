#include "options/OptionsControls.h"

#include "mainwnd/DialogUnits.h"

#include <QComboBox>
#include <QLineEdit>

#include <algorithm>

void PlaceControl(QWidget* pControl, int nId, const QRect& rect)
{
    if (nId != 0)
    {
        pControl->setProperty(kIdProperty, nId);
        pControl->setObjectName(QStringLiteral("id%1").arg(nId));
    }
    QRect pixels = DialogUnitsToPixels(DialogFont(), rect);
    if (qobject_cast<QComboBox*>(pControl))
        pixels.setHeight(pControl->sizeHint().height());
    // Our edits need a pixel or so more than the window system's for the same font.
    else if (qobject_cast<QLineEdit*>(pControl))
        pixels.setHeight(std::max(pixels.height(), pControl->minimumSizeHint().height()));
    pControl->setGeometry(pixels);
}

QGroupBox* MakeGroup(QWidget* pPage, int nId, const QRect& rect, const char* pTitle)
{
    auto* pBox = new QGroupBox(OptText(pTitle), pPage);
    const int nHalf = pBox->fontMetrics().height() / 2;
    pBox->setStyleSheet(
        QStringLiteral("QGroupBox { border: 1px solid palette(mid); border-radius: 2px;"
                       " margin-top: %1px; }"
                       "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }")
            .arg(nHalf));
    PlaceControl(pBox, nId, rect);
    return pBox;
}
