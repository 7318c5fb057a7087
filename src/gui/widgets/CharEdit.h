#pragma once

#include <QLineEdit>

// A text field for names that the device keeps as single-byte characters: characters beyond
// Latin-1 (the ones a double-byte code would start) are dropped as they are typed or pasted;
// everything else is taken as usual. The owner sets the length limit.
class CharEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CharEdit(QWidget* parent = nullptr);
};
