#include "gui/widgets/MessageBox.h"

#include "core/protocol/CommandListener.h"

#include <QMessageBox>
#include <QPointer>

#include <deque>

namespace {

const QString kTitle = QStringLiteral("Sonvex1.1");

MessageHook& Hook() {
    static MessageHook hook;
    return hook;
}

QuestionHook& TheQuestionHook() {
    static QuestionHook hook;
    return hook;
}

struct Waiting {
    QPointer<QWidget> parent; // a window that went away meanwhile leaves its box parentless
    QString text;
};

// The boxes of this process: the one open now and the ones waiting behind it.
struct Boxes {
    bool open = false;
    QString showing;
    std::deque<Waiting> waiting;

    bool Holds(const QString& text) const {
        if (open && showing == text) {
            return true;
        }
        for (const Waiting& message : waiting) {
            if (message.text == text) {
                return true;
            }
        }
        return false;
    }
};

Boxes& TheBoxes() {
    static Boxes boxes;
    return boxes;
}

QMessageBox::Icon IconOf(const QString& text) {
    // The port message may go on with the reason on the lines after it.
    const QString portOpenFailed = QString::fromLatin1(EngineText::PortOpenFailed);
    const bool stop = text == portOpenFailed || text.startsWith(portOpenFailed + QLatin1Char('\n'));
    return stop ? QMessageBox::Critical : QMessageBox::Warning;
}

void Show(QWidget* parent, const QString& text, bool repeat) {
    if (Hook()) {
        Hook()(parent, text);
        return;
    }
    Boxes& boxes = TheBoxes();
    if (!repeat && boxes.Holds(text)) {
        return;
    }
    boxes.waiting.push_back({parent, text});
    if (boxes.open) {
        return; // the call that opened the box shows this one after it
    }
    boxes.open = true;
    while (!boxes.waiting.empty()) {
        const Waiting next = boxes.waiting.front();
        boxes.waiting.pop_front();
        boxes.showing = next.text;
        QMessageBox box(IconOf(next.text), kTitle, next.text, QMessageBox::Ok, next.parent.data());
        box.exec();
    }
    boxes.open = false;
    boxes.showing.clear();
}

} // namespace

void ShowMessage(QWidget* parent, const QString& text) {
    Show(parent, text, false);
}

void QueueMessage(QWidget* parent, const QString& text) {
    Show(parent, text, true);
}

MessageHook SetMessageHook(MessageHook hook) {
    MessageHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

bool AskQuestion(QWidget* parent, const QString& text) {
    if (TheQuestionHook()) {
        return TheQuestionHook()(parent, text);
    }
    QMessageBox box(QMessageBox::Question, kTitle, text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QuestionHook SetQuestionHook(QuestionHook hook) {
    QuestionHook previous = std::move(TheQuestionHook());
    TheQuestionHook() = std::move(hook);
    return previous;
}

MessageRecorder::MessageRecorder()
    : m_previous(SetMessageHook([this](QWidget*, const QString& text) { m_texts << text; })) {}

MessageRecorder::~MessageRecorder() {
    SetMessageHook(std::move(m_previous));
}
