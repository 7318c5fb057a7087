#include "gui/panel/EditorSlots.h"

namespace {
// Place keys: one range per kind of editor, wider than any channel count.
constexpr int kPlaceKeysPerKind = 100;
} // namespace

EditorSlots::EditorSlots(int inputCount, int outputCount) {
    m_slots[InputEq].resize(static_cast<std::size_t>(inputCount));
    m_slots[InputChannel].resize(static_cast<std::size_t>(inputCount));
    m_slots[OutputEq].resize(static_cast<std::size_t>(outputCount));
    m_slots[OutputChannel].resize(static_cast<std::size_t>(outputCount));
}

EditorSlots::~EditorSlots() {
    // The panel deletes every editor window that it created.
    for (auto& group : m_slots) {
        for (QPointer<EditorWindow>& editor : group) {
            delete editor.data();
        }
    }
}

int EditorSlots::Count(Kind kind) const {
    return static_cast<int>(m_slots[kind].size());
}

int EditorSlots::TotalCount() const {
    int total = 0;
    for (const auto& group : m_slots) {
        total += static_cast<int>(group.size());
    }
    return total;
}

EditorWindow* EditorSlots::At(Kind kind, int index) const {
    if (index < 0 || index >= Count(kind)) {
        return nullptr;
    }
    return m_slots[kind][static_cast<std::size_t>(index)].data();
}

EditorWindow* EditorSlots::Open(Kind kind, int index, const Factory& create) {
    if (index < 0 || index >= Count(kind)) {
        return nullptr;
    }
    QPointer<EditorWindow>& slot = m_slots[kind][static_cast<std::size_t>(index)];
    if (slot.isNull()) {
        EditorWindow* editor = create();
        if (editor == nullptr) {
            return nullptr;
        }
        // Closing the window destroys it, which empties the slot (QPointer).
        editor->setAttribute(Qt::WA_DeleteOnClose);
        editor->setAttribute(Qt::WA_ShowWithoutActivating);
        editor->RememberPlaceIn(&m_places, kind * kPlaceKeysPerKind + index);
        slot = editor;
    }
    return slot.data();
}

void EditorSlots::CloseAll() {
    for (auto& group : m_slots) {
        for (QPointer<EditorWindow>& editor : group) {
            if (!editor.isNull()) {
                editor->close();
            }
        }
    }
}
