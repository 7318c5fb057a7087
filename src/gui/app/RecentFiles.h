#pragma once

#include <QString>
#include <QStringList>

// The recent-file list of the File menu: at most four paths, most recent first, kept in the
// application's settings.
class RecentFiles {
public:
    static constexpr int kMaxCount = 4;

    // Reads the list from the settings.
    QStringList Load() const;
    // Puts path at the top (removing an older entry of the same file) and stores the list.
    QStringList Add(const QString& path) const;
    // Drops path from the list (a file that no longer opens) and stores the list.
    QStringList Remove(const QString& path) const;

private:
    void Store(const QStringList& paths) const;
};
