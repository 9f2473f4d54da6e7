#ifndef QVAPPFRAMEWORK_UIMANAGER_H
#define QVAPPFRAMEWORK_UIMANAGER_H

#include <QRect>

class QWidget;

namespace qvappframework {

// The host's UI layers, bottom to top. Screens that must cover the whole
// display (the MCU upgrade screen) are parented to the layer they ask for.
enum UIHerarchy { UIHerarchyApplication = 0, UIHerarchyPopup = 1, UIHerarchySystem = 2 };

class UIManager
{
public:
    // The layer widget, or null while the host has none.
    static QWidget *getUIHerarchy(UIHerarchy hierarchy);
    static QRect getDeskTopRect();

    // Host side: what the plugin is given.
    static void setUIHerarchy(UIHerarchy hierarchy, QWidget *layer);
    static void setDeskTopRect(const QRect &rect);
};

} // namespace qvappframework

#endif // QVAPPFRAMEWORK_UIMANAGER_H
