#include "gui/widgets/AppSettings.h"

std::unique_ptr<QSettings> AppSettings() {
    return std::make_unique<QSettings>(QStringLiteral("Local AppWizard-Generated Applications"),
                                       QStringLiteral("Sonvex1.1"));
}
