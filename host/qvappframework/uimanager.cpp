#include "uimanager.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

namespace qvappframework {

namespace {

// The head unit's display size; the host replaces it with its own rectangle.
QRect &deskTopRect()
{
    static QRect rect(0, 0, 800, 480);
    return rect;
}

QHash<int, QPointer<QWidget>> &layers()
{
    static QHash<int, QPointer<QWidget>> table;
    return table;
}

} // namespace

QWidget *UIManager::getUIHerarchy(UIHerarchy hierarchy)
{
    return layers().value(hierarchy);
}

QRect UIManager::getDeskTopRect()
{
    return deskTopRect();
}

void UIManager::setUIHerarchy(UIHerarchy hierarchy, QWidget *layer)
{
    layers().insert(hierarchy, layer);
}

void UIManager::setDeskTopRect(const QRect &rect)
{
    deskTopRect() = rect;
}

} // namespace qvappframework
