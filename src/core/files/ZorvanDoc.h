#pragma once

#include "core/files/ProgramImage.h"
#include "core/model/AudioData.h"

#include <array>
#include <memory>
#include <string>

class CArchive;

// The document behind a control panel: the program the panel edits, the device's thirty stored
// programs in fixed-layout form and one working image used while they go to or come from a
// bank file. Only the program is archived; the stored programs have a file format of their own.
class CZorvanDoc {
public:
    static constexpr int kStoredProgramCount = 30;
    using StoredPrograms = std::array<ProgramImage, kStoredProgramCount>;

    CZorvanDoc() = default;
    CZorvanDoc(const CZorvanDoc&) = delete;
    CZorvanDoc& operator=(const CZorvanDoc&) = delete;

    // Stores or loads the program (the one-program file format). Loading throws
    // CArchiveException when the data ends early; the program is then left as it was.
    void Serialize(CArchive& ar);

    CAudio_Data& GetProgram() { return m_program; }
    const CAudio_Data& GetProgram() const { return m_program; }
    // Index 0 holds program 1.
    StoredPrograms& GetStoredPrograms() { return m_storedPrograms; }
    const StoredPrograms& GetStoredPrograms() const { return m_storedPrograms; }
    ProgramImage& GetWorkingImage() { return m_workingImage; }
    const ProgramImage& GetWorkingImage() const { return m_workingImage; }

    void SetTitle(const std::string& title) { m_title = title; }
    const std::string& GetTitle() const { return m_title; }

private:
    CAudio_Data m_program;
    StoredPrograms m_storedPrograms{};
    ProgramImage m_workingImage;
    std::string m_title;
    std::unique_ptr<CAudio_Data> m_scratch; // loading target until a whole program was read
};
