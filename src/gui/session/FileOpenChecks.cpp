#include "gui/session/FileOpenChecks.h"

#include "control/PanelLink.h"
#include "core/files/ProgramFiles.h"
#include "core/model/Variant.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/MessageBox.h"

#include <QFileInfo>

namespace FileOpenChecks {

namespace {

QString KindText(bool bank) {
    return bank ? QStringLiteral("bank file") : QStringLiteral("program file");
}

} // namespace

QString OtherModelText(const Variant& variant, const QString& path) {
    const ProgramFileKind kind = ProgramFileKindOf(path.toStdString());
    if (kind.variant == nullptr || kind.variant == &variant) {
        return QString();
    }
    const QString model = QString::fromLatin1(kind.variant->modelCode);
    return QStringLiteral("%1 is a %2 (%3) %4: open it from the model selection or the %2 panel.")
        .arg(QFileInfo(path).fileName(), model, QString::fromLatin1(kind.variant->name),
             KindText(kind.bank));
}

QString OverwriteQuestion(int deviceId, const QString& path, bool bank) {
    const QString file = QFileInfo(path).fileName();
    if (bank) {
        return QStringLiteral("Write all 30 stored programs of device %1 from %2?")
            .arg(deviceId)
            .arg(file);
    }
    return QStringLiteral("Overwrite the live program of device %1 with %2?")
        .arg(deviceId)
        .arg(file);
}

bool MayOverwrite(PanelSession& session, const QString& path, bool bank) {
    PanelLink& link = session.Link();
    return !link.IsConnected() ||
           AskQuestion(session.Window(), OverwriteQuestion(link.GetDeviceId(), path, bank));
}

} // namespace FileOpenChecks
