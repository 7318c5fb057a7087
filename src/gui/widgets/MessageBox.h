#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The one way the GUI tells the operator about a failure: a modal message box titled
// "Sonvex1.1". A text that is already showing is not shown a second time on top of itself.
void ShowMessage(QWidget* parent, const QString& text);

// Where messages go instead of a box while a hook is installed (widget tests).
using MessageHook = std::function<void(QWidget* parent, const QString& text)>;
// Installs hook (an empty one restores the boxes) and returns the previous one.
MessageHook SetMessageHook(MessageHook hook);

// Collects the messages shown while it lives instead of showing boxes.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const QStringList& texts() const { return m_texts; }
    void clear() { m_texts.clear(); }

private:
    QStringList m_texts;
    MessageHook m_previous;
};
