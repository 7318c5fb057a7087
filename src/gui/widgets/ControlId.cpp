#include "gui/widgets/ControlId.h"

#include <QObject>
#include <QVariant>
#include <QWidget>

void SetControlId(QObject* object, int id, const QString& name) {
    object->setProperty(kControlIdProperty, id);
    object->setObjectName(name);
}

int GetControlId(const QObject* object) {
    return object->property(kControlIdProperty).toInt();
}

QWidget* FindControl(QWidget* root, int id) {
    if (root == nullptr) {
        return nullptr;
    }
    if (GetControlId(root) == id) {
        return root;
    }
    const auto children = root->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (GetControlId(child) == id) {
            return child;
        }
    }
    return nullptr;
}
