#include "platform/ResourcePicture.h"

#include <QHash>

// The pictures are compiled into a static library: register them before the first use.
static void registerPictures() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)registered;
}

namespace vorlan {

namespace {
QString resourcePath(const char* kind, int id) {
    registerPictures();
    return QStringLiteral(":/vorlan/%1%2.png").arg(QLatin1String(kind)).arg(id);
}
} // namespace

QPixmap resourceBitmap(int id) {
    return QPixmap(resourcePath("bitmap", id));
}

QIcon resourceIcon(int id) {
    return QIcon(resourcePath("icon", id));
}

const QCursor& resourceCursor(int id) {
    static QHash<int, QCursor> cursors;
    auto it = cursors.find(id);
    if (it == cursors.end())
        it = cursors.insert(id, QCursor(QPixmap(resourcePath("cursor", id)), 12, 1));
    return *it;
}

} // namespace vorlan
