#pragma once

// What an operator does with the value controls of the channel dialogs, for the widget tests:
// type into a numeric field and press Enter, put a fader at a position with the mouse. The
// window of the control must be shown and active (ShowActive), since a commit needs the focus.

#include "gui/widgets/BitmapSlider.h"
#include "gui/widgets/NumEdit.h"
#include "core/scales/FaderTrack.h"

#include <QTest>

// Types text into edit and presses Enter, which moves the focus to the window and commits.
inline void TypeValue(NumEdit* edit, const QString& text) {
    edit->setFocus(Qt::MouseFocusReason);
    if (!QTest::qWaitFor([edit] { return edit->hasFocus(); })) {
        qWarning("%s did not take the focus", qPrintable(edit->objectName()));
    }
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

// Presses the vertical fader's track where it reads position and releases it there. A fader
// with fewer pixels than steps cannot be put at every position: the nearest one is taken then.
inline void PressFaderAt(BitmapSlider* fader, int position) {
    const FaderTrack track{fader->minimum(),          fader->maximum(),
                           fader->height(),           fader->margins().top(),
                           fader->margins().bottom(), fader->thumbSize().height()};
    int y = track.CentreOf(position);
    for (int centre = track.FirstCentre(); centre <= track.FirstCentre() + track.Usable();
         ++centre) {
        if (track.PositionAt(centre) == position) {
            y = centre;
            break;
        }
    }
    const QPoint at(fader->width() / 2, y);
    QTest::mousePress(fader, Qt::LeftButton, {}, at);
    QTest::mouseRelease(fader, Qt::LeftButton, {}, at);
}
