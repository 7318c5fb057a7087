#pragma once

// Answers the file dialogs of the GUI from a list of paths while it lives, and keeps what each
// dialog was asked to offer. Once the list is used up, every further dialog is cancelled.

#include "gui/widgets/FileChooser.h"

#include <QList>
#include <QString>
#include <QStringList>

class FileChoiceScript {
public:
    explicit FileChoiceScript(QStringList answers = {})
        : m_answers(std::move(answers)),
          m_previous(SetFileChooserHook([this](QWidget*, const FileRequest& request) {
              m_requests.append(request);
              return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
          })) {}
    ~FileChoiceScript() { SetFileChooserHook(std::move(m_previous)); }
    FileChoiceScript(const FileChoiceScript&) = delete;
    FileChoiceScript& operator=(const FileChoiceScript&) = delete;

    // The next dialog is answered with path.
    void Answer(const QString& path) { m_answers.append(path); }
    const QList<FileRequest>& Requests() const { return m_requests; }

private:
    QStringList m_answers;
    QList<FileRequest> m_requests;
    FileChooserHook m_previous;
};
