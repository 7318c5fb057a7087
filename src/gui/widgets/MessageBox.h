#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The one way the GUI tells the operator about a failure: a modal message box titled
// "Sonvex1.1". Boxes never stack: a message asked for while a box is open waits, and is shown
// when the boxes before it have been closed, in the order the messages were asked for. The call
// that opened the first box returns when the last waiting one has been closed; a call made while
// a box is open returns at once. A port that cannot be opened is shown with the stop icon,
// every other message with the warning icon.

// A text that is already showing or waiting is not shown a second time (a control that loses
// the focus to the box may ask again for the same message).
void ShowMessage(QWidget* parent, const QString& text);
// Shown even when the same text is showing or waiting: for reports that each count, such as
// the link's, where every failed check is told on its own.
void QueueMessage(QWidget* parent, const QString& text);

// Where messages go instead of a box while a hook is installed (widget tests).
using MessageHook = std::function<void(QWidget* parent, const QString& text)>;
// Installs hook (an empty one restores the boxes) and returns the previous one.
MessageHook SetMessageHook(MessageHook hook);

// A question to the operator in a modal box with the same title, answered Yes or No; No is
// the default button and Escape answers it. True for Yes. A question is asked at once, and it
// waits for no message box: it comes from the operator's own action.
bool AskQuestion(QWidget* parent, const QString& text);
// Where questions go instead of a box while a hook is installed (widget tests): the hook's
// return value is the answer.
using QuestionHook = std::function<bool(QWidget* parent, const QString& text)>;
// Installs hook (an empty one restores the boxes) and returns the previous one.
QuestionHook SetQuestionHook(QuestionHook hook);

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
