#pragma once

#include "control/FoundIdTable.h"
#include "gui/session/ProgramFileActions.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <memory>

class QAction;
class QMenu;
class QUndoGroup;
class PanelSession;
class PanelView;
struct ProgramFileKind;
struct Variant;

// The main window: fixed 1050 x 720 pixels, File, Edit and Help menus, and exactly one screen at a
// time (the model selection or the panel of one model). The frame keeps the session a panel
// shows, made with the panel and destroyed right after it. Opening a screen destroys the
// previous one with its editors, and then its session with the document and the connection;
// only the device IDs found by the last search survive it, kept here and handed to every
// session.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kWidth = 1050;
    static constexpr int kHeight = 720;
    static constexpr const char* kTitle = "Sonvex1.1";

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The screen now shown (never null after construction).
    QWidget* CurrentScreen() const { return m_screen; }
    // The variant of the panel now shown; nullptr on the model selection.
    const Variant* CurrentVariant() const { return m_variant; }
    // The panel now shown; nullptr on the model selection.
    PanelView* CurrentPanel() const;
    // The session of the panel now shown; nullptr on the model selection.
    PanelSession* CurrentSession() const { return m_session.get(); }
    // The device IDs found by the last search of any panel (every ID before the first).
    const FoundIdTable& FoundIds() const { return m_foundIds; }
    // The four recent files in the File menu, most recent first.
    QStringList RecentFileList() const;
    // Opens a program or bank file into the panel shown; on the model selection first the panel
    // of the model the file's extension names, once the file has been found to read. A file
    // that did not open is told to the operator (the selection then stays); false then.
    bool OpenFile(const QString& path);

public slots:
    // A screen command (ScreenCommand): replaces the current screen by the one it names and
    // sets the title of that screen.
    void OnCommand(int command);
    void ShowAbout();
    // File > Open: the file dialog, then OpenFile.
    void OnFileOpen();

signals:
    void screenChanged(QWidget* screen);

private:
    void BuildMenus();
    // "Undo" and "Redo" of the Edit menu, which follow the history of the panel shown and work
    // from the panel's editors as well.
    void BuildEditMenu();
    void RefreshRecentMenu(const QStringList& paths);
    void OpenRecentFile(const QString& path);
    // OpenFile, telling a file that did not read from one the operator declined to open.
    ProgramFileActions::OpenResult Open(const QString& path);
    // Whether the file at path reads as the kind its name tells (a model's program or bank).
    static bool IsReadable(const ProgramFileKind& kind, const QString& path);
    void CloseScreen();
    void ReplaceScreen(QWidget* screen, const Variant* variant);

    FoundIdTable m_foundIds;
    std::unique_ptr<PanelSession> m_session;
    QPointer<QWidget> m_screen;
    const Variant* m_variant = nullptr;
    QMenu* m_fileMenu = nullptr;
    QList<QAction*> m_recentActions;
    QAction* m_recentSeparator = nullptr;
    QUndoGroup* m_histories = nullptr;
};
