// What the Options pages share: controls placed in dialog units of the dialog font and named
// by their id, and the look-up of a control by its id.
#pragma once

#include "lang/Translate.h"

#include <QComboBox>
#include <QGroupBox>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cstddef>

inline constexpr const char* kIdProperty = "tgId";

// Gives the control its id (0: none) and its place, a rectangle in dialog units on its page.
// A drop-down list's rectangle includes its open list, so only its closed height is used; an
// edit is never made lower than its text needs.
void PlaceControl(QWidget* pControl, int nId, const QRect& rect);

// A group box as the window system draws it: the title on the frame's top line, so that the
// controls placed just below the rectangle's top lie inside the frame.
QGroupBox* MakeGroup(QWidget* pPage, int nId, const QRect& rect, const char* pTitle);

// The control with the id among pParent's descendants, or null.
template <class T = QWidget> T* FindControl(const QWidget* pParent, int nId)
{
    return pParent->findChild<T*>(QStringLiteral("id%1").arg(nId));
}

// Our texts in the program's language.
inline QString OptText(const char* p)
{
    return Tr(p);
}

// A drop-down list that allows only a choice from its items.
template <size_t N>
QComboBox* MakeList(QWidget* pPage, int nId, const QRect& rect, const char* const (&items)[N])
{
    auto* pList = new QComboBox(pPage);
    for (const char* pItem : items)
        pList->addItem(OptText(pItem));
    PlaceControl(pList, nId, rect);
    return pList;
}
