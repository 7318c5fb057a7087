// Where editor windows open: clear of the other open editors of their panel, inside the screen,
// and where the operator last put them. The screen is a 1920 x 1080 one of its own (an
// offscreen screen set up by this program), so the places do not depend on the machine.

#include "core/model/Variant.h"
#include "gui/GuiTest.h"
#include "gui/editors/EditorPlacement.h"
#include "gui/editors/EditorWindow.h"
#include "gui/panel/EditorSlots.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QStandardPaths>

namespace {

const QRect kScreen(0, 0, 1920, 1080);

// Each pair of rectangles apart, and all inside area.
QString Overlaps(const QList<QRect>& frames, const QRect& area) {
    for (int i = 0; i < frames.size(); ++i) {
        if (!area.contains(frames[i])) {
            return QStringLiteral("window %1 leaves the screen").arg(i);
        }
        for (int j = i + 1; j < frames.size(); ++j) {
            if (frames[i].intersects(frames[j])) {
                return QStringLiteral("windows %1 and %2 overlap").arg(i).arg(j);
            }
        }
    }
    return {};
}

QList<QRect> OpenEditorFrames(PanelView& panel) {
    QList<QRect> frames;
    for (const EditorWindow* editor :
         panel.findChildren<EditorWindow*>(Qt::FindDirectChildrenOnly)) {
        if (editor->isVisible()) {
            frames << editor->frameGeometry();
        }
    }
    return frames;
}

} // namespace

class EditorPlacementTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), kScreen);
    }

    void freeSpot_data() {
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<QPoint>("preferred");
        QTest::addColumn<QList<QRect>>("taken");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QPoint>("expected"); // (-1, -1): any free place inside the area
        const QSize in(400, 260);
        const QPoint home(EditorWindow::kScreenX, EditorWindow::kScreenY);
        QTest::newRow("nothing open") << in << home << QList<QRect>{} << kScreen << home;
        QTest::newRow("home taken")
            << in << home << QList<QRect>{QRect(home, in)} << kScreen << QPoint(-1, -1);
        QTest::newRow("three taken")
            << QSize(915, 250) << home
            << QList<QRect>{QRect(home, in), QRect(414, 450, 915, 250), QRect(10, 714, 400, 260)}
            << kScreen << QPoint(-1, -1);
        // A preferred place half off the screen is used as it is when nothing is there.
        QTest::newRow("free off the edge")
            << in << QPoint(1800, 950) << QList<QRect>{} << kScreen << QPoint(1800, 950);
        // Only the lower right corner of a small screen is free.
        const QRect small(0, 0, 1000, 700);
        QTest::newRow("one gap left")
            << in << home << QList<QRect>{QRect(0, 0, 1000, 440), QRect(0, 440, 600, 260)} << small
            << QPoint(600, 440);
        // No free place at all: down and to the right of the preferred place by a step per
        // open editor, still inside the screen.
        QTest::newRow("screen full")
            << in << home << QList<QRect>{kScreen, QRect(home, in)} << kScreen
            << home + QPoint(2, 2) * EditorPlacement::kCascadeStep;
    }

    void freeSpot() {
        QFETCH(QSize, frame);
        QFETCH(QPoint, preferred);
        QFETCH(QList<QRect>, taken);
        QFETCH(QRect, area);
        QFETCH(QPoint, expected);
        const QPoint spot = EditorPlacement::FreeSpot(frame, preferred, taken, area);
        if (expected != QPoint(-1, -1)) {
            QCOMPARE(spot, expected);
            return;
        }
        const QString fault = Overlaps(QList<QRect>(taken) << QRect(spot, frame), area);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    // Three editors of different sizes opened together: the first at (10, 450), the others
    // where they hide none of the open ones, all on the screen.
    void editorsOpenedTogetherHideNoneOfEachOther() {
        PanelSession session(Variant::FourByEight());
        PanelView panel(session);
        panel.Editors().OpenInputChannel(0);
        panel.Editors().OpenOutputChannel(2);
        panel.Editors().OpenOutputEq(2);
        panel.Editors().OpenInputEq(1);
        const QList<QRect> frames = OpenEditorFrames(panel);
        QCOMPARE(frames.size(), 4);
        EditorWindow* first = panel.Editors().At(EditorSlots::InputChannel, 0);
        QCOMPARE(first->pos(), QPoint(EditorWindow::kScreenX, EditorWindow::kScreenY));
        const QString fault = Overlaps(frames, kScreen);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        if (const QString folder = qEnvironmentVariable("SONVEX_SHOT_DIR"); !folder.isEmpty()) {
            // The screen as the operator sees it: every editor at its place.
            QImage screen(kScreen.size(), QImage::Format_RGB32);
            screen.fill(Qt::lightGray);
            QPainter painter(&screen);
            for (EditorWindow* editor :
                 panel.findChildren<EditorWindow*>(Qt::FindDirectChildrenOnly)) {
                painter.drawImage(editor->geometry().topLeft(), editor->grab().toImage());
                painter.setPen(Qt::red);
                painter.drawRect(editor->frameGeometry().adjusted(0, 0, -1, -1));
            }
            painter.end();
            QVERIFY(screen.save(QDir(folder).filePath("editors_opened_together.png")));
        }
    }

    // An editor the operator moved opens there again after it was closed, for as long as the
    // panel lives; when another editor is there by then, next to it.
    void anEditorReopensWhereTheOperatorPutIt() {
        PanelSession session(Variant::FourByEight());
        PanelView panel(session);
        panel.Editors().OpenOutputChannel(4);
        EditorWindow* editor = panel.Editors().At(EditorSlots::OutputChannel, 4);
        const QPoint put(700, 90);
        editor->move(put);
        QCOMPARE(editor->pos(), put);
        QVERIFY(editor->close());
        QTRY_VERIFY(panel.Editors().At(EditorSlots::OutputChannel, 4) == nullptr);

        panel.Editors().OpenOutputChannel(4);
        editor = panel.Editors().At(EditorSlots::OutputChannel, 4);
        QCOMPARE(editor->pos(), put);
        // Another output's editor is still placed clear of it.
        panel.Editors().OpenOutputChannel(5);
        QCOMPARE(OpenEditorFrames(panel).size(), 2);
        QVERIFY(Overlaps(OpenEditorFrames(panel), kScreen).isEmpty());

        // The moved editor closed, output 5's moved onto its place: reopened, it goes next
        // to output 5's.
        QVERIFY(editor->close());
        QTRY_VERIFY(panel.Editors().At(EditorSlots::OutputChannel, 4) == nullptr);
        panel.Editors().At(EditorSlots::OutputChannel, 5)->move(put);
        panel.Editors().OpenOutputChannel(4);
        editor = panel.Editors().At(EditorSlots::OutputChannel, 4);
        QVERIFY(editor->pos() != put);
        const QString fault = Overlaps(OpenEditorFrames(panel), kScreen);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));

        // A new panel starts afresh.
        PanelSession otherSession(Variant::FourByEight());
        PanelView other(otherSession);
        other.Editors().OpenOutputChannel(4);
        QCOMPARE(other.Editors().At(EditorSlots::OutputChannel, 4)->pos(),
                 QPoint(EditorWindow::kScreenX, EditorWindow::kScreenY));
    }
};

int main(int argc, char** argv) {
    // An offscreen screen of a known size, described in a file of this test process.
    const QString config = QDir(QDir::tempPath()).filePath("editor-placement-screen.json");
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(R"({"screens": [{"name": "placement", "x": 0, "y": 0, "width": 1920,
                      "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") < 0) {
        qFatal("cannot write %s", qPrintable(config));
    }
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
    QApplication app(argc, argv);
    EditorPlacementTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "editor_placement_test.moc"
