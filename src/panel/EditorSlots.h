#pragma once

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

// An editor window that follows drags on the panel's response graph: it reloads the filter
// with the given index from the model into its controls.
class GraphEditTarget {
public:
    virtual ~GraphEditTarget() = default;
    virtual void ReloadFilter(int filterIndex) = 0;
};

// The editor windows a panel opens, one slot per channel and kind: the input EQ editors, the
// input channel editors, the output EQ editors and the output channel editors. An editor is
// created on first use and kept; it empties its own slot when its window is destroyed.
class EditorSlots {
public:
    enum Kind { InputEq, InputChannel, OutputEq, OutputChannel, KindCount };
    using Factory = std::function<QWidget*()>;

    EditorSlots(int inputCount, int outputCount);
    ~EditorSlots();
    EditorSlots(const EditorSlots&) = delete;
    EditorSlots& operator=(const EditorSlots&) = delete;

    // Slots of a kind (the variant's channel count of that group).
    int Count(Kind kind) const;
    // Slots of all kinds together.
    int TotalCount() const;
    // The editor in a slot; nullptr while it is empty or out of range.
    QWidget* At(Kind kind, int index) const;
    // The editor of the slot, made by create when the slot is empty (create may give nullptr:
    // the slot then stays empty). The editor is shown without taking the activation.
    QWidget* Open(Kind kind, int index, const Factory& create);
    // Closes every open editor window (it is destroyed and its slot emptied).
    void CloseAll();

private:
    std::array<std::vector<QPointer<QWidget>>, KindCount> m_slots;
};
