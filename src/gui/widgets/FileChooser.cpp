#include "gui/widgets/FileChooser.h"

#include <QDir>
#include <QFileDialog>

namespace {

FileChooserHook& Hook() {
    static FileChooserHook hook;
    return hook;
}

} // namespace

QString ChooseFile(QWidget* parent, const FileRequest& request) {
    if (Hook()) {
        return Hook()(parent, request);
    }
    const bool save = request.mode == FileRequest::Save;
    QFileDialog dialog(parent, save ? QStringLiteral("Save As") : QStringLiteral("Open"),
                       QDir::currentPath());
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QStringList filters;
    if (!request.patterns.isEmpty()) {
        filters << request.patterns.join(QLatin1Char(' '));
    }
    filters << QStringLiteral("All files (*)");
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

FileChooserHook SetFileChooserHook(FileChooserHook hook) {
    FileChooserHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}
