// The message boxes a window test waits for and answers.
#pragma once

#include "tests/MediaDoubles.h"

#include <QApplication>
#include <QMessageBox>

// The message box shown now; null when none is.
inline QMessageBox* VisibleBox()
{
    for (QWidget* p : QApplication::topLevelWidgets())
    {
        if (auto* pBox = qobject_cast<QMessageBox*>(p); pBox && pBox->isVisible())
            return pBox;
    }
    return nullptr;
}

// The box that comes up while the window thread runs its events; null when none does in time.
inline QMessageBox* WaitForBox()
{
    QMessageBox* pBox = nullptr;
    WaitFor(
        [&]
        {
            QCoreApplication::processEvents();
            pBox = VisibleBox();
            return pBox != nullptr;
        });
    return pBox;
}
