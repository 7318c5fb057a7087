#include "gui/dialogs/DisplayDlg.h"

#include "gui/widgets/ControlId.h"
#include "control/PanelLink.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>

DisplayDlg::DisplayDlg(PanelLink& panel, QWidget* parent) : QDialog(parent), m_panel(panel) {
    setWindowTitle(QStringLiteral("Connecting"));
    setModal(true);

    m_text = WithControlId(new QLabel(QStringLiteral("transmitting Data"), this), kTextId,
                           "transmittingData");
    m_text->setAlignment(Qt::AlignCenter);
    QFont font = m_text->font();
    font.setPointSize(20);
    m_text->setFont(font);
    SetTextColor(kDarkBlue);

    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("transferProgress"));
    m_bar->setFormat(QStringLiteral("%v / %m"));
    m_bar->setRange(0, 1);
    m_bar->setValue(0);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(14);
    layout->addWidget(m_text);
    layout->addWidget(m_bar);
    setFixedSize(std::max(sizeHint().width(), 320), sizeHint().height());

    m_tick.setInterval(kTickIntervalMs);
    connect(&m_tick, &QTimer::timeout, this, &DisplayDlg::Tick);
    connect(&m_panel, &PanelLink::transferProgress, this, &DisplayDlg::ShowProgress);
}

QColor DisplayDlg::TextColor() const {
    return m_text->palette().color(QPalette::WindowText);
}

void DisplayDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Each run starts as the window first appears: dark blue, the transfer as far as it went.
    SetTextColor(kDarkBlue);
    m_bar->setRange(0, 1);
    m_bar->setValue(0);
    ShowProgress(m_panel.GetTransferRemaining(), m_panel.GetTransferTotal());
    m_tick.start();
}

void DisplayDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void DisplayDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        setFocus();
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void DisplayDlg::done(int result) {
    m_tick.stop();
    QDialog::done(result);
}

void DisplayDlg::Tick() {
    if (!m_panel.IsBusy()) {
        // Every record of the transfer has gone out.
        m_bar->setValue(m_bar->maximum());
        accept();
        return;
    }
    SetTextColor(TextColor() == QColor(kRed) ? kDarkBlue : kRed);
}

void DisplayDlg::ShowProgress(int remaining, int total) {
    if (total <= 0) {
        return;
    }
    m_bar->setRange(0, total);
    m_bar->setValue(std::clamp(total - remaining, 0, total));
}

void DisplayDlg::SetTextColor(QRgb color) {
    QPalette palette = m_text->palette();
    palette.setColor(QPalette::WindowText, QColor(color));
    m_text->setPalette(palette);
}
