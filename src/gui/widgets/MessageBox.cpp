#include "gui/widgets/MessageBox.h"

#include <QMessageBox>
#include <QSet>

namespace {

const QString kTitle = QStringLiteral("Sonvex1.1");

MessageHook& Hook() {
    static MessageHook hook;
    return hook;
}

// Texts of the boxes open right now.
QSet<QString>& Showing() {
    static QSet<QString> showing;
    return showing;
}

} // namespace

void ShowMessage(QWidget* parent, const QString& text) {
    if (Hook()) {
        Hook()(parent, text);
        return;
    }
    if (Showing().contains(text)) {
        return;
    }
    Showing().insert(text);
    QMessageBox box(QMessageBox::Warning, kTitle, text, QMessageBox::Ok, parent);
    box.exec();
    Showing().remove(text);
}

MessageHook SetMessageHook(MessageHook hook) {
    MessageHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

MessageRecorder::MessageRecorder()
    : m_previous(SetMessageHook([this](QWidget*, const QString& text) { m_texts << text; })) {}

MessageRecorder::~MessageRecorder() {
    SetMessageHook(std::move(m_previous));
}
