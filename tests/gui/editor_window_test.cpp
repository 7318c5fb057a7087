#include "gui/editors/EditorWindow.h"
#include "gui/graph/ResponseGraph.h"
#include "gui/GuiTest.h"
#include "core/model/AudioData.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QVBoxLayout>

namespace {

class SampleEditor : public EditorWindow {
public:
    explicit SampleEditor(QWidget* parent = nullptr) : EditorWindow(parent) {
        auto* layout = new QVBoxLayout(this);
        edit = new QLineEdit(this);
        layout->addWidget(edit);
    }
    void SelectChannel(int index) override { channel = index; }
    void ShowProgram() override {}
    void ShowOnGraph() override { ++graphRequests; }
    QLineEdit* edit = nullptr;
    int channel = -1;
    int graphRequests = 0;
};

} // namespace

class EditorWindowTest : public QObject {
    Q_OBJECT

private slots:
    void enterAndEscapeMoveTheFocusAndCloseNothing() {
        SampleEditor editor;
        ShowActive(&editor);
        editor.edit->setFocus();
        QTRY_VERIFY(editor.edit->hasFocus());
        QSignalSpy finished(&editor, &QDialog::finished);
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Enter}) {
            editor.edit->setFocus();
            QTRY_VERIFY(editor.edit->hasFocus());
            QTest::keyClick(editor.edit, key);
            QTRY_VERIFY(!editor.edit->hasFocus());
            QVERIFY(editor.isVisible());
        }
        QCOMPARE(finished.count(), 0);
        QCOMPARE(editor.pos(), QPoint(EditorWindow::kScreenX, EditorWindow::kScreenY));
    }

    void activationTakesTheGraphAndClosingReturnsItToTheOverview() {
        CAudio_Data program;
        CFStatic graph;
        graph.resize(903, 252);
        graph.SetProgram(&program);
        graph.SetMode(CFStatic::OutputEq);
        SampleEditor editor;
        editor.SetProgram(&program);
        editor.SetGraph(&graph);
        ShowActive(&editor);
        QTRY_VERIFY(editor.graphRequests >= 1);
        QVERIFY(editor.close());
        QCOMPARE(graph.GetMode(), int(CFStatic::Overview));
        QVERIFY(!editor.isVisible());
    }
};

QTEST_MAIN(EditorWindowTest)
#include "editor_window_test.moc"
