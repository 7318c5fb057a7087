// The panel of each model as a screen reader and a keyboard see it: every control has a name of
// its own, and Tab walks the channel strips in order, every control of a strip before the next.

#include "core/model/Variant.h"
#include "gui/GuiTest.h"
#include "gui/editors/EditorWindow.h"
#include "gui/panel/ChannelStrip.h"
#include "gui/panel/EditorSlots.h"
#include "gui/panel/PanelEditors.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/BitmapSlider.h"
#include "gui/widgets/LevelMeter.h"
#include "gui/widgets/NumEdit.h"
#include "gui/widgets/XPStyleButton.h"

#include <QAccessible>
#include <QLabel>
#include <QMap>
#include <QStandardPaths>

Q_DECLARE_METATYPE(const Variant*)

namespace {

// The name given to the control, else the one the toolkit makes of its text (a button's
// caption). A combo box on Linux speaks its current item as its name, with the name given as
// well; the given name is the one that must be there.
QString SpokenName(QWidget* widget) {
    if (!widget->accessibleName().isEmpty()) {
        return widget->accessibleName();
    }
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face != nullptr ? face->text(QAccessible::Name) : QString();
}

// The visible controls of root: what takes the focus by Tab, and the level meters.
QList<QWidget*> Controls(QWidget* root) {
    QList<QWidget*> controls;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        const bool control = (widget->focusPolicy() & Qt::TabFocus) != 0 ||
                             qobject_cast<LevelMeter*>(widget) != nullptr;
        if (control && widget->isVisibleTo(root) && qobject_cast<QLabel*>(widget) == nullptr) {
            controls.append(widget);
        }
    }
    return controls;
}

// The strip a widget belongs to, as "In 1" / "Out 3"; empty outside the strips.
QString StripOf(QWidget* widget) {
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (auto* strip = qobject_cast<ChannelStrip*>(w)) {
            return QStringLiteral("%1 %2")
                .arg(strip->IsOutput() ? "Out" : "In")
                .arg(strip->Index() + 1);
        }
    }
    return {};
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void panels_data() {
        QTest::addColumn<const Variant*>("variant");
        for (const Variant* variant : Variant::All()) {
            QTest::newRow(variant->name) << variant;
        }
    }

    void everyPanelControlHasANameOfItsOwn_data() { panels_data(); }
    void everyPanelControlHasANameOfItsOwn() {
        QFETCH(const Variant*, variant);
        PanelSession session(*variant);
        PanelView panel(session);
        QVERIFY(ShowActive(&panel));
        QMap<QString, QString> named; // name -> object name of the first control called so
        const QList<QWidget*> controls = Controls(&panel);
        QVERIFY(controls.size() > 10 * (variant->inputCount + variant->outputCount) / 2);
        for (QWidget* control : controls) {
            const QString name = SpokenName(control);
            QVERIFY2(!name.isEmpty(), qPrintable(control->objectName()));
            QVERIFY2(!named.contains(name),
                     qPrintable(name + ": " + control->objectName() + " and " + named.value(name)));
            named.insert(name, control->objectName());
        }
        // The channel controls say their channel and what they set.
        QCOMPARE(SpokenName(panel.OutputStrip(2)->GainEdit()), QString("Out 3 gain"));
        QCOMPARE(SpokenName(panel.InputStrip(0)->Fader()), QString("In 1 gain fader"));
        QVERIFY(named.contains("Out 3 mute"));
        QVERIFY(named.contains("Out 3 polarity"));
        QVERIFY(named.contains(QStringLiteral("In %1 level").arg(variant->inputCount)));
    }

    // Each editor of the last channel of each kind: every visible control named, no name twice
    // in the window, the channel controls after their channel.
    void everyEditorControlHasANameOfItsOwn_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::addColumn<int>("kind");
        for (const Variant* variant : Variant::All()) {
            for (int kind = 0; kind < EditorSlots::KindCount; ++kind) {
                QTest::addRow("%s %d", variant->name, kind) << variant << kind;
            }
        }
    }
    void everyEditorControlHasANameOfItsOwn() {
        QFETCH(const Variant*, variant);
        QFETCH(int, kind);
        PanelSession session(*variant);
        PanelView panel(session);
        QVERIFY(ShowActive(&panel));
        const bool output = kind == EditorSlots::OutputEq || kind == EditorSlots::OutputChannel;
        const int channel = (output ? variant->outputCount : variant->inputCount) - 1;
        PanelEditors& editors = panel.Editors();
        switch (kind) {
        case EditorSlots::InputEq:
            editors.OpenInputEq(channel);
            break;
        case EditorSlots::InputChannel:
            editors.OpenInputChannel(channel);
            break;
        case EditorSlots::OutputEq:
            editors.OpenOutputEq(channel);
            break;
        default:
            editors.OpenOutputChannel(channel);
            break;
        }
        EditorWindow* editor = editors.At(static_cast<EditorSlots::Kind>(kind), channel);
        QVERIFY(editor != nullptr);
        QVERIFY(ShowActive(editor));
        const QString prefix = QStringLiteral("%1 %2 ").arg(output ? "Out" : "In").arg(channel + 1);
        QMap<QString, QString> named;
        int ofTheChannel = 0;
        for (QWidget* control : Controls(editor)) {
            const QString name = SpokenName(control);
            QVERIFY2(!name.isEmpty(), qPrintable(control->objectName()));
            QVERIFY2(!named.contains(name),
                     qPrintable(name + ": " + control->objectName() + " and " + named.value(name)));
            named.insert(name, control->objectName());
            ofTheChannel += name.startsWith(prefix) ? 1 : 0;
        }
        QVERIFY2(ofTheChannel >= named.size() / 2,
                 qPrintable(QStringList(named.keys()).join(", ")));
        if (kind == EditorSlots::InputEq || kind == EditorSlots::OutputEq) {
            QVERIFY2(named.contains(prefix + "EQ band 4 gain"),
                     qPrintable(QStringList(named.keys()).join(", ")));
        } else {
            QVERIFY2(named.contains(prefix + "delay ms"),
                     qPrintable(QStringList(named.keys()).join(", ")));
        }
        if (kind == EditorSlots::OutputChannel) {
            QVERIFY(named.contains(prefix + "source In 1"));
            QVERIFY(named.contains(prefix + "LPF frequency fader"));
        }
    }

    // From the first control of the first strip, Tab visits every control of a strip before
    // the next strip, inputs first, in channel order.
    void tabWalksTheStripsInOrder_data() { panels_data(); }
    void tabWalksTheStripsInOrder() {
        QFETCH(const Variant*, variant);
        PanelSession session(*variant);
        PanelView panel(session);
        QVERIFY(ShowActive(&panel));
        QStringList expected;
        QMap<QString, int> focusable; // controls per strip that take the focus by Tab
        for (QWidget* control : Controls(&panel)) {
            const QString strip = StripOf(control);
            if (!strip.isEmpty() && (control->focusPolicy() & Qt::TabFocus) != 0) {
                ++focusable[strip];
            }
        }
        for (int i = 0; i < variant->inputCount; ++i) {
            expected.append(QStringLiteral("In %1").arg(i + 1));
        }
        for (int n = 0; n < variant->outputCount; ++n) {
            expected.append(QStringLiteral("Out %1").arg(n + 1));
        }

        QWidget* first = panel.InputStrip(0)->SelectButton();
        first->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), first);
        QStringList visited{StripOf(first)};
        QMap<QString, int> seen{{StripOf(first), 1}};
        const int total = static_cast<int>(Controls(&panel).size());
        for (int step = 0; step < total; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            const QString strip = StripOf(QApplication::focusWidget());
            if (strip.isEmpty()) {
                break; // past the last strip
            }
            ++seen[strip];
            if (visited.last() != strip) {
                visited.append(strip);
            }
        }
        QCOMPARE(visited, expected);
        QCOMPARE(seen, focusable);
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
