#include "runtime/qt/MdiArrange.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace verdo {

void ArrangeMinimized(QMdiArea& area) {
    QSize room = area.viewport()->size();
    int x = 0;
    int bottom = room.height();
    for (QMdiSubWindow* window : area.subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized() || window->isHidden()) continue;
        QSize size = window->size();
        if (x > 0 && x + size.width() > room.width()) {
            x = 0;
            bottom -= size.height();
        }
        window->move(x, bottom - size.height());
        x += size.width();
    }
}

}  // namespace verdo
