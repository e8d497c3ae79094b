#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace vorlan {

// The pictures compiled into the program, by resource id.
QPixmap resourceBitmap(int id);
QIcon resourceIcon(int id);
// Hand cursors, each 32 x 32 with its hot spot at the fingertip (12, 1). Loaded once.
const QCursor& resourceCursor(int id);

} // namespace vorlan
