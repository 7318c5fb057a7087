#include "gui/app/RecentFiles.h"

#include "gui/widgets/AppSettings.h"

#include <QFileInfo>

namespace {
const QString kGroup = QStringLiteral("Recent File List");
QString Key(int index) {
    return QStringLiteral("File%1").arg(index + 1);
}
} // namespace

QStringList RecentFiles::Load() const {
    auto settings = AppSettings();
    settings->beginGroup(kGroup);
    QStringList paths;
    for (int i = 0; i < kMaxCount; ++i) {
        const QString path = settings->value(Key(i)).toString();
        if (!path.isEmpty() && !paths.contains(path)) {
            paths << path;
        }
    }
    return paths;
}

QStringList RecentFiles::Add(const QString& path) const {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList paths = Load();
    paths.removeAll(absolute);
    paths.prepend(absolute);
    while (paths.size() > kMaxCount) {
        paths.removeLast();
    }
    Store(paths);
    return paths;
}

QStringList RecentFiles::Remove(const QString& path) const {
    QStringList paths = Load();
    paths.removeAll(path);
    Store(paths);
    return paths;
}

void RecentFiles::Store(const QStringList& paths) const {
    auto settings = AppSettings();
    settings->beginGroup(kGroup);
    settings->remove(QString());
    for (int i = 0; i < paths.size(); ++i) {
        settings->setValue(Key(i), paths[i]);
    }
}
