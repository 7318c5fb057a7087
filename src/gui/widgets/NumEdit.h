#pragma once

#include "core/scales/DisplayModes.h"

#include <QColor>
#include <QLineEdit>

#include "gui/widgets/WheelNotches.h"

// A numeric field: holds an integer step value and shows it as text in one of the display
// modes (DisplayModes.h). The operator types a physical value; when the field loses the
// focus the text is converted back, clamped, shown again and committed() is emitted.
// Values outside the accepted range are reported with "Out of Range".
class NumEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit NumEdit(QWidget* parent = nullptr);

    // Display mode (DisplayMode::...); limits the text to 9 characters and shows the value.
    void setMode(int mode);
    int mode() const { return m_format.mode; }
    void setRange(int minimum, int maximum);
    int minimum() const { return m_format.minimum; }
    int maximum() const { return m_format.maximum; }
    void setStep(double step);
    double step() const { return m_format.step; }
    void setOffset(double offset);
    double offset() const { return m_format.offset; }
    // Air temperature in degrees C for the distance modes; shows the value again.
    void setTemperature(int celsius);
    int temperature() const { return m_format.temperature; }

    // Ignored outside [minimum, maximum]; otherwise shows v.
    void setValue(int v);
    // The value; text the operator typed since the last conversion is converted first,
    // without a report and without committed().
    int value();
    // True while the operator has typed text that was not yet read by value().
    bool isValueModified() const { return m_modified; }

    void setTextColor(const QColor& color);
    QColor textColor() const { return m_textColor; }
    // An invalid colour means no background of its own (the parent shows through).
    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const { return m_background; }
    // True while the field shows its editing look (red on white).
    bool isEditingLook() const { return m_editingLook; }

    QSize sizeHint() const override;

signals:
    // The operator committed a value (the field lost the focus); read it with value().
    void committed();

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // One notch steps the value by one, up for a turn away from the operator, and commits it.
    // Fields whose text the owner writes take no wheel.
    void wheelEvent(QWheelEvent* event) override;

private:
    void commit();
    void rebuildText();
    void setEditingLook(bool editing);
    void applyLook();

    DisplayFormat m_format;
    int m_value = 0;
    bool m_modified = false;
    bool m_editingLook = false;
    QColor m_textColor;
    QColor m_background;
    WheelNotches m_wheel;
};
