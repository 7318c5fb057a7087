#pragma once

// The real command engine on the real serial port, driven the way the panel's service timer
// drives it: transmit the head, wait for its answer, transmit again when none comes.

#include "common/TestApplication.h"
#include "core/ScriptedLine.h"
#include "core/protocol/Command.h"
#include "core/protocol/TransferSequences.h"
#include "line/SerialPort.h"

#include <QTest>

#include <memory>
#include <string>

class EngineHarness {
public:
    EngineHarness() {
        EnsureApplication();
        auto port = std::make_unique<SerialPort>();
        m_port = port.get();
        engine = std::make_unique<Command>(std::move(port));
        QObject::connect(m_port, &SerialPort::lineEvent, [this](LineEvents events) {
            if (events.Has(LineEvent::Received)) {
                engine->OnSerialData();
            }
        });
    }

    bool Open(const std::string& path, int type) {
        engine->SetDeviceType(type);
        engine->SetOutputCount(8);
        return engine->OpenPort(path, &listener);
    }

    void Enqueue(TransferSequences::RecordList records) { engine->Enqueue(std::move(records)); }

    // Transmits the head and waits up to timeoutMs for the queue to shrink.
    bool TransmitAndWait(int timeoutMs = 2000) {
        if (engine->Count() == 0) {
            return false;
        }
        const int before = engine->Count();
        if (!engine->TransmitHead()) {
            return false;
        }
        return QTest::qWaitFor([&] { return engine->Count() < before; }, timeoutMs);
    }

    // Sends every queued record in turn; false when one stays unanswered.
    bool Drain(int timeoutMs = 2000) {
        while (engine->Count() > 0) {
            if (!TransmitAndWait(timeoutMs)) {
                return false;
            }
        }
        return true;
    }
    bool Drain(TransferSequences::RecordList records, int timeoutMs = 2000) {
        Enqueue(std::move(records));
        return Drain(timeoutMs);
    }

    RecordingListener listener;
    std::unique_ptr<Command> engine;

private:
    SerialPort* m_port = nullptr;
};
