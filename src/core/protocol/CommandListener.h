#pragma once

#include <string>

// Notifications of the command engine, with the message numbers the panels know them by.
enum class EngineMessage : int {
    WM_PROGRAM_RECEIVED = 1134,        // live reply for the last output decoded; word 0
    WM_STORED_PROGRAM_RECEIVED = 1135, // archive reply for the last output; word = program 1..30
    WM_DEVICE_INFO_RECEIVED = 1136,    // temperature item decoded; word 0x16
    WM_IDENTIFICATION_RECEIVED = 1137, // identification item decoded; word 0x19
    WM_DEVICE_NOTICE = 1138,           // system item 0x59 arrived; word 0
    WM_LEVELS_RECEIVED = 1139,         // level meters updated; word 0 (a posted message)
    WM_ID_SEARCH_END = 1140,           // device 250 answered an ID probe; to the search window
    WM_DEVICE_TYPE_CHECKED = 1141,     // answer to the link check; word 1 match, 0 mismatch
};

// Fixed texts of the message boxes the engine asks its owner to show.
namespace EngineText {
inline constexpr const char* PortOpenFailed = "Unable to open COM-port";
inline constexpr const char* InputLengthError = "输入数据长度错误";
inline constexpr const char* OutputLengthError = "接收输出数据长度错误";
} // namespace EngineText

// The window side of the engine: the panel that owns it, or the connect dialog while it
// searches for IDs. The engine calls it on the thread that feeds it serial data, after it has
// finished with the reply, so a listener may use the engine (clear the queue, close the port)
// from inside these calls. WM_LEVELS_RECEIVED is the one notification a window layer should
// queue rather than handle at once.
class ICommandListener {
public:
    virtual ~ICommandListener() = default;

    virtual void OnEngineMessage(EngineMessage message, int wParam) = 0;
    // A device of the engine's type answered an ID probe with its ID (1..250): the owner enters
    // it among the IDs its search found. An owner that keeps no found IDs ignores it.
    virtual void OnDeviceFound(int /*id*/) {}
    // Any device answered an ID probe with its ID (1..250) and the device type it reports,
    // whether or not that is the engine's type (a search for every model on the line).
    virtual void OnDeviceAnswered(int /*id*/, int /*type*/) {}
    // A modal message box with one of the EngineText texts; the core never shows one itself.
    virtual void ShowMessageBox(const std::string& text) = 0;
};
