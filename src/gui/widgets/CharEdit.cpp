#include "gui/widgets/CharEdit.h"

#include <QValidator>

namespace {

// Removes the characters a single byte cannot hold, keeping the cursor on the same text.
class SingleByteValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& position) const override {
        QString kept;
        kept.reserve(input.size());
        int keptBeforeCursor = 0;
        for (int i = 0; i < input.size(); ++i) {
            if (input.at(i).unicode() <= 0xFF) {
                kept.append(input.at(i));
                if (i < position) {
                    ++keptBeforeCursor;
                }
            }
        }
        input = kept;
        position = keptBeforeCursor;
        return Acceptable;
    }
};

} // namespace

CharEdit::CharEdit(QWidget* parent) : QLineEdit(parent) {
    setAccessibleName(tr("Name"));
    setValidator(new SingleByteValidator(this));
}
