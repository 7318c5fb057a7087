#include "gui/widgets/NumEdit.h"

#include "gui/widgets/ControlColors.h"
#include "gui/widgets/MessageBox.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace {

const QString kOutOfRange = QStringLiteral("Out of Range");
// The owner of the owner-text mode writes texts longer than a typed value.
constexpr int kUnlimitedLength = 32767;

} // namespace

NumEdit::NumEdit(QWidget* parent)
    : QLineEdit(parent), m_textColor(QColor::fromRgb(ControlColors::EditIdleText)) {
    setAccessibleName(tr("Numeric value"));
    setFocusPolicy(Qt::StrongFocus);
    setMaxLength(ControlSizes::NumEditMaxLength);
    connect(this, &QLineEdit::textEdited, this, [this] {
        m_modified = true;
        update();
    });
    applyLook();
    rebuildText();
}

void NumEdit::setMode(int mode) {
    m_format.mode = mode;
    setMaxLength(mode == DisplayMode::OwnerText ? kUnlimitedLength
                                                : ControlSizes::NumEditMaxLength);
    rebuildText();
}

void NumEdit::setRange(int minimum, int maximum) {
    m_format.minimum = minimum;
    m_format.maximum = maximum;
}

void NumEdit::setStep(double step) {
    m_format.step = step;
    rebuildText();
}

void NumEdit::setOffset(double offset) {
    m_format.offset = offset;
    rebuildText();
}

void NumEdit::setTemperature(int celsius) {
    m_format.temperature = celsius;
    rebuildText();
}

void NumEdit::setValue(int v) {
    if (v < m_format.minimum || v > m_format.maximum) {
        return;
    }
    if (v == m_value && (m_format.mode == DisplayMode::OwnerText ||
                         text() == QString::fromStdString(FormatDisplayValue(m_format, v)))) {
        return;
    }
    m_value = v;
    rebuildText();
    update();
}

int NumEdit::value() {
    if (m_modified) {
        m_value = ParseDisplayText(m_format, text().toStdString(), m_value).value;
        rebuildText();
        m_modified = false;
    }
    return m_value;
}

void NumEdit::setTextColor(const QColor& color) {
    m_textColor = color;
    applyLook();
}

void NumEdit::setBackgroundColor(const QColor& color) {
    m_background = color;
    applyLook();
}

QSize NumEdit::sizeHint() const {
    // Room for the nine characters of a value, like the fields of the panels.
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QFontMetrics metrics = fontMetrics();
    const QSize content(metrics.horizontalAdvance(QLatin1Char('0')) *
                                ControlSizes::NumEditMaxLength +
                            2 * metrics.horizontalAdvance(QLatin1Char(' ')),
                        metrics.height() + 4);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, content, this);
}

void NumEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A context menu of the field takes the focus only for a moment.
    if (event->reason() == Qt::PopupFocusReason) {
        return;
    }
    commit();
    if (!m_background.isValid()) {
        m_background = QColor::fromRgb(ControlColors::EditIdleBackground);
    }
    setEditingLook(false);
}

void NumEdit::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        setEditingLook(true);
    }
}

void NumEdit::keyPressEvent(QKeyEvent* event) {
    // Enter keeps the focus here; the base class leaves the key to the parent, which may
    // move the focus away to commit the value.
    QLineEdit::keyPressEvent(event);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        setEditingLook(true);
    }
}

void NumEdit::wheelEvent(QWheelEvent* event) {
    if (m_format.mode == DisplayMode::OwnerText ||
        CommitRuleOf(m_format.mode) == CommitRule::None || isReadOnly()) {
        QLineEdit::wheelEvent(event);
        return;
    }
    event->accept();
    const int notches = m_wheel.take(event);
    for (int n = 0; n < std::abs(notches); ++n) {
        const int from = value();
        const int to = std::clamp(from + (notches > 0 ? 1 : -1), m_format.minimum,
                                  std::max(m_format.minimum, m_format.maximum));
        if (to == from) {
            break;
        }
        setValue(to);
        emit committed();
    }
}

void NumEdit::commit() {
    const CommitRule rule = CommitRuleOf(m_format.mode);
    if (rule == CommitRule::None) {
        return;
    }
    const bool converts = rule == CommitRule::AlwaysChecked || m_modified;
    if (!converts) {
        return;
    }
    const ParsedDisplayValue parsed = ParseDisplayText(m_format, text().toStdString(), m_value);
    if (parsed.outOfRange) {
        ShowMessage(this, kOutOfRange);
    }
    if (rule == CommitRule::DistanceClearsModified) {
        m_modified = false;
    } else if (!m_modified) {
        // Checked only: the frequency modes still take the number of the text.
        if (StoresUnmodifiedText(m_format.mode)) {
            m_value = parsed.value;
        }
        return;
    }
    m_value = parsed.value;
    rebuildText();
    if (parsed.isNumber) {
        emit committed();
    }
}

void NumEdit::rebuildText() {
    if (m_format.mode == DisplayMode::OwnerText) {
        return;
    }
    const QSignalBlocker blocker(this);
    setText(QString::fromStdString(FormatDisplayValue(m_format, m_value)));
}

void NumEdit::setEditingLook(bool editing) {
    if (m_editingLook == editing) {
        return;
    }
    m_editingLook = editing;
    applyLook();
}

void NumEdit::applyLook() {
    QPalette look = palette();
    const QColor text =
        m_editingLook ? QColor::fromRgb(ControlColors::EditEditingText) : m_textColor;
    const QColor base = m_editingLook
                            ? QColor::fromRgb(ControlColors::EditEditingBackground)
                            : (m_background.isValid() ? m_background : QColor(Qt::transparent));
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        look.setColor(group, QPalette::Text, text);
        look.setColor(group, QPalette::Base, base);
    }
    look.setColor(QPalette::Disabled, QPalette::Base, base);
    setPalette(look);
    update();
}
