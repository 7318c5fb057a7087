#include "gui/app/MainFrame.h"

#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/Variant.h"
#include "gui/app/AboutDialog.h"
#include "gui/app/AppIcon.h"
#include "gui/app/RecentFiles.h"
#include "gui/app/ScreenCommands.h"
#include "gui/app/SelectionView.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/FileChooser.h"
#include "gui/widgets/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QUndoGroup>

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(kTitle);
    setWindowIcon(AppIcon());
    // Fixed size: no sizing border, no maximize box.
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                    Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                    Qt::WindowCloseButtonHint) &
                   ~Qt::WindowMaximizeButtonHint);
    setFixedSize(kWidth, kHeight);
    BuildMenus();
    OnCommand(ScreenCommand::kSelection);
}

CMainFrame::~CMainFrame() {
    // The panel and its session go before the found IDs they were given.
    CloseScreen();
}

void CMainFrame::BuildMenus() {
    m_fileMenu = menuBar()->addMenu(tr("&File"));
    QAction* newAction = m_fileMenu->addAction(tr("&New"));
    newAction->setShortcut(QKeySequence::New);
    connect(newAction, &QAction::triggered, this, [this] { OnCommand(ScreenCommand::kSelection); });
    QAction* openAction = m_fileMenu->addAction(tr("&Open..."));
    openAction->setShortcut(QKeySequence::Open);
    openAction->setObjectName(QStringLiteral("fileOpen"));
    connect(openAction, &QAction::triggered, this, &CMainFrame::OnFileOpen);
    m_recentSeparator = m_fileMenu->addSeparator();
    for (int i = 0; i < RecentFiles::kMaxCount; ++i) {
        QAction* action = m_fileMenu->addAction(QString());
        action->setObjectName(QStringLiteral("recentFile%1").arg(i + 1));
        action->setVisible(false);
        connect(action, &QAction::triggered, this,
                [this, action] { OpenRecentFile(action->data().toString()); });
        m_recentActions << action;
    }
    m_fileMenu->addSeparator();
    QAction* exitAction = m_fileMenu->addAction(tr("E&xit"));
    connect(exitAction, &QAction::triggered, this, &QWidget::close);

    BuildEditMenu();

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    QAction* about = help->addAction(tr("&About Sonvex1.1..."));
    about->setObjectName(QStringLiteral("helpAbout"));
    connect(about, &QAction::triggered, this, &CMainFrame::ShowAbout);
    RefreshRecentMenu(RecentFiles().Load());
}

void CMainFrame::BuildEditMenu() {
    m_histories = new QUndoGroup(this);
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    // Each names the step it takes back or again: "Undo Out 3 gain".
    const auto add = [this, edit](const QString& verb, const char* name,
                                  const QList<QKeySequence>& keys) {
        QAction* action = edit->addAction(verb);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        // The editors are windows of their own: the keys work in them too.
        action->setShortcutContext(Qt::ApplicationShortcut);
        action->setEnabled(false);
        return action;
    };
    QAction* undo = add(tr("Undo"), "editUndo", {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    QAction* redo =
        add(tr("Redo"), "editRedo",
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    const auto caption = [](const QString& verb, const QString& step) {
        return step.isEmpty() ? verb : verb + QLatin1Char(' ') + step;
    };
    connect(m_histories, &QUndoGroup::canUndoChanged, undo, &QAction::setEnabled);
    connect(m_histories, &QUndoGroup::canRedoChanged, redo, &QAction::setEnabled);
    connect(m_histories, &QUndoGroup::undoTextChanged, undo,
            [undo, caption, verb = undo->text()](const QString& step) {
                undo->setText(caption(verb, step));
            });
    connect(m_histories, &QUndoGroup::redoTextChanged, redo,
            [redo, caption, verb = redo->text()](const QString& step) {
                redo->setText(caption(verb, step));
            });
    // Through the session, which first closes the edit still being made into a step.
    connect(undo, &QAction::triggered, this, [this] {
        if (m_session != nullptr) {
            m_session->Undo();
        }
    });
    connect(redo, &QAction::triggered, this, [this] {
        if (m_session != nullptr) {
            m_session->Redo();
        }
    });
}

void CMainFrame::RefreshRecentMenu(const QStringList& paths) {
    for (int i = 0; i < m_recentActions.size(); ++i) {
        QAction* action = m_recentActions[i];
        action->setVisible(i < paths.size());
        if (i < paths.size()) {
            action->setText(
                QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(paths[i]).fileName()));
            action->setData(paths[i]);
        }
    }
    m_recentSeparator->setVisible(!paths.isEmpty());
}

QStringList CMainFrame::RecentFileList() const {
    return RecentFiles().Load();
}

void CMainFrame::OnFileOpen() {
    // The patterns of the panel's model, or of every model on the selection screen.
    QStringList patterns;
    for (const Variant* variant : Variant::All()) {
        if (m_variant == nullptr || m_variant == variant) {
            patterns << QString::fromStdString(variant->ProgramFilePattern())
                     << QString::fromStdString(variant->BankFilePattern());
        }
    }
    const QString path = ChooseFile(this, {FileRequest::Open, patterns});
    if (!path.isEmpty()) {
        OpenFile(path);
    }
}

bool CMainFrame::OpenFile(const QString& path) {
    return Open(path) == ProgramFileActions::OpenResult::Opened;
}

ProgramFileActions::OpenResult CMainFrame::Open(const QString& path) {
    if (CurrentPanel() == nullptr) {
        const ProgramFileKind kind = ProgramFileKindOf(path.toStdString());
        // Nothing tells which model the file is for, or it does not read: the selection stays.
        if (kind.variant == nullptr || !IsReadable(kind, path)) {
            ShowMessage(this, QString::fromLatin1(kFileReadError));
            return ProgramFileActions::OpenResult::Failed;
        }
        OnCommand(ScreenCommand::PanelOf(*kind.variant));
    }
    return m_session->Files().OpenFile(path);
}

bool CMainFrame::IsReadable(const ProgramFileKind& kind, const QString& path) {
    // Read once into a document of its own, which goes away unused: the panel then reads the
    // file again into its document.
    CZorvanDoc trial;
    trial.GetProgram().SetDeviceType(kind.variant->deviceType);
    const std::string file = path.toStdString();
    return kind.bank
               ? static_cast<bool>(RecallAllFromPC(trial, file))
               : static_cast<bool>(RecallProgramFromPC(trial, kind.variant->deviceType, file));
}

void CMainFrame::OpenRecentFile(const QString& path) {
    // A file declined or of another model stays listed: it still opens.
    if (Open(path) == ProgramFileActions::OpenResult::Failed) {
        RefreshRecentMenu(RecentFiles().Remove(path));
    }
}

void CMainFrame::ShowAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CMainFrame::OnCommand(int command) {
    const Variant* variant = nullptr;
    switch (command) {
    case ScreenCommand::kSelection: {
        CloseScreen();
        auto* selection = new KeltraCaptionView;
        connect(selection, &KeltraCaptionView::commandRequested, this, &CMainFrame::OnCommand,
                Qt::QueuedConnection);
        ReplaceScreen(selection, nullptr);
        setWindowTitle(kTitle);
        return;
    }
    case ScreenCommand::kFourByEight:
        variant = &Variant::FourByEight();
        break;
    case ScreenCommand::kThreeBySix:
        variant = &Variant::ThreeBySix();
        break;
    case ScreenCommand::kTwoByFour:
        variant = &Variant::TwoByFour();
        break;
    default:
        return;
    }
    CloseScreen();
    m_session = std::make_unique<PanelSession>(*variant, &m_foundIds);
    connect(m_session.get(), &PanelSession::mainTitleChanged, this, &QWidget::setWindowTitle);
    connect(m_session.get(), &PanelSession::fileUsed, this,
            [this](const QString& path) { RefreshRecentMenu(RecentFiles().Add(path)); });
    m_histories->addStack(&m_session->History());
    m_histories->setActiveStack(&m_session->History());
    auto* panel = new PanelView(*m_session);
    // Queued: the panel's own button asks for the screen that replaces the panel.
    connect(
        panel, &PanelView::escapeRequested, this, [this] { OnCommand(ScreenCommand::kSelection); },
        Qt::QueuedConnection);
    ReplaceScreen(panel, variant);
    setWindowTitle(QStringLiteral("%1 %2").arg(kTitle, QString::fromLatin1(variant->modelCode)));
}

PanelView* CMainFrame::CurrentPanel() const {
    return qobject_cast<PanelView*>(m_screen.data());
}

void CMainFrame::CloseScreen() {
    // The old screen goes first, so that its port is closed before the new one opens any;
    // its session follows the panel that showed it.
    if (m_screen != nullptr) {
        QWidget* old = takeCentralWidget();
        delete old;
    }
    m_session.reset();
}

void CMainFrame::ReplaceScreen(QWidget* screen, const Variant* variant) {
    m_screen = screen;
    m_variant = variant;
    setCentralWidget(screen);
    emit screenChanged(screen);
}
