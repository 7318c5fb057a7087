#include "gui/app/AppIcon.h"

static void InitResources() {
    // The resources live in a static library; make sure they are registered.
    Q_INIT_RESOURCE(app);
}

QIcon AppIcon() {
    InitResources();
    return QIcon(QStringLiteral(":/sonvex/sonvex.svg"));
}
