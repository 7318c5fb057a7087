#pragma once

#include "core/files/ZorvanDoc.h"

#include <QObject>
#include <QStringList>

#include <memory>

class CAudio_Data;
class PanelLink;

// Reads back what was just written to the device's stored programs and compares it, parameter
// by parameter (ParameterDiff), with what was meant to be written: one stored program after a
// store to its slot, all thirty after a bank was sent, or the live program after it was
// written. The read-back is queued behind the write: stored programs through the transfers a
// "Store all" uses (ReadStoredProgram, StoreAllToPC), so what arrives replaces the document's
// bank entries as it does there; the live program through a read aside (ReadLiveProgram). The
// document's program is not touched. finished carries one line per difference ("P12 out3.gain: -3.0
// != 0.0") once the last program has arrived, none when the device kept everything; abandoned
// follows when the link closed before that.
class ReadBackCheck : public QObject {
    Q_OBJECT

public:
    explicit ReadBackCheck(PanelLink& link, QObject* parent = nullptr);
    ~ReadBackCheck() override;

    // Stored program 1..30 was written from written: reads it back. False while disconnected,
    // for another program number or while a check runs.
    bool StartProgram(int program, const CAudio_Data& written);
    // The thirty stored programs were written from written: reads them back.
    bool StartBank(const CZorvanDoc::StoredPrograms& written);
    // The live program was written from written: reads it back into a program of its own, so
    // that the document's program stays as it is. Its lines carry no program number
    // ("out3.gain: -3.0 != 0.0").
    bool StartLive(const CAudio_Data& written);

    bool IsRunning() const {
        return m_state == State::Program || m_state == State::Bank || m_state == State::Live;
    }
    // The last check has finished (its lines are in Lines()).
    bool IsDone() const { return m_state == State::Done; }
    const QStringList& Lines() const { return m_lines; }

signals:
    void finished(const QStringList& lines);
    void abandoned();

private:
    enum class State { Idle, Program, Bank, Live, Done };
    void OnStoredProgram(int program);
    void OnLiveProgram();
    void OnBankCompleted();
    void Finish();

    PanelLink& m_link;
    State m_state = State::Idle;
    int m_program = 0;
    std::unique_ptr<CAudio_Data> m_writtenProgram;
    CZorvanDoc::StoredPrograms m_writtenBank{};
    QStringList m_lines;
};
