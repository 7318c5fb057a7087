#include "gui/GuiTest.h"

#include <QPushButton>
#include <QWidget>

class ControlIdTest : public QObject {
    Q_OBJECT

private slots:
    void findsNestedControlsByTheirId() {
        QWidget root;
        auto* inner = new QWidget(&root);
        auto* button = WithControlId(new QPushButton("OK", inner), 1087, "connection");
        QCOMPARE(Control<QPushButton>(&root, 1087), button);
        QCOMPARE(button->objectName(), QString("connection"));
        QCOMPARE(GetControlId(button), 1087);
        QCOMPARE(FindControl(&root, 1088), nullptr);
        QCOMPARE(GetControlId(inner), 0);
    }
};

QTEST_MAIN(ControlIdTest)
#include "control_id_test.moc"
