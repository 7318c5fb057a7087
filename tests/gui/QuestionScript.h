#pragma once

// Answers the GUI's questions (AskQuestion) from a list of answers while it lives, and keeps
// every question asked. Once the list is used up, every further question is answered No.

#include "gui/widgets/MessageBox.h"

#include <QList>
#include <QStringList>

class QuestionScript {
public:
    explicit QuestionScript(QList<bool> answers = {})
        : m_answers(std::move(answers)),
          m_previous(SetQuestionHook([this](QWidget*, const QString& text) {
              m_asked << text;
              return !m_answers.isEmpty() && m_answers.takeFirst();
          })) {}
    ~QuestionScript() { SetQuestionHook(std::move(m_previous)); }
    QuestionScript(const QuestionScript&) = delete;
    QuestionScript& operator=(const QuestionScript&) = delete;

    // The next question is answered yes (true) or no.
    void Answer(bool yes) { m_answers.append(yes); }
    const QStringList& Asked() const { return m_asked; }

private:
    QList<bool> m_answers;
    QStringList m_asked;
    QuestionHook m_previous;
};
