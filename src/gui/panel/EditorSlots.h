#pragma once

#include "gui/editors/EditorPlacement.h"
#include "gui/editors/EditorWindow.h"

#include <QPointer>

#include <array>
#include <functional>
#include <vector>

// The editor windows a panel opens, one slot per channel and kind: the input EQ editors, the
// input channel editors, the output EQ editors and the output channel editors. An editor is
// created on first use and kept; it empties its own slot when its window is destroyed. Where
// the operator moved the editor of a slot is kept for the panel's lifetime, and the slot's next
// editor opens there.
class EditorSlots {
public:
    enum Kind { InputEq, InputChannel, OutputEq, OutputChannel, KindCount };
    using Factory = std::function<EditorWindow*()>;

    EditorSlots(int inputCount, int outputCount);
    ~EditorSlots();
    EditorSlots(const EditorSlots&) = delete;
    EditorSlots& operator=(const EditorSlots&) = delete;

    // Slots of a kind (the variant's channel count of that group).
    int Count(Kind kind) const;
    // Slots of all kinds together.
    int TotalCount() const;
    // The editor in a slot; nullptr while it is empty or out of range.
    EditorWindow* At(Kind kind, int index) const;
    // The editor of the slot, made by create when the slot is empty (create may give nullptr:
    // the slot then stays empty). A new editor is deleted when its window closes and is shown
    // without taking the activation; the caller sets it up and shows it.
    EditorWindow* Open(Kind kind, int index, const Factory& create);
    // Closes every open editor window (it is destroyed and its slot emptied).
    void CloseAll();

private:
    std::array<std::vector<QPointer<EditorWindow>>, KindCount> m_slots;
    EditorPlaces m_places;
};
