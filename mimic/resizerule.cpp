#include "resizerule.h"

#include "q910panel.h"

#include <algorithm>

namespace resizerule {

QRect FitPanel(QSize room)
{
    const int roomWidth = std::max(0, room.width());
    const int roomHeight = std::max(0, room.height());
    int width = roomWidth;
    int height = width * q910panel::kAspectHeight / q910panel::kAspectWidth;
    if (height > roomHeight) {
        height = roomHeight;
        width = height * q910panel::kAspectWidth / q910panel::kAspectHeight;
    }
    return {(roomWidth - width) / 2, (roomHeight - height) / 2, width, height};
}

} // namespace resizerule
