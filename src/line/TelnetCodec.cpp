#include "line/TelnetCodec.h"

namespace {

void Command(TelnetCodec::Bytes& out, std::uint8_t verb, std::uint8_t option) {
    out.push_back(TelnetCodec::kIac);
    out.push_back(verb);
    out.push_back(option);
}

// IAC SB COM-PORT-OPTION command value... IAC SE, with 0xFF in the value doubled.
void PortCommand(TelnetCodec::Bytes& out, std::uint8_t command, const TelnetCodec::Bytes& value) {
    out.push_back(TelnetCodec::kIac);
    out.push_back(TelnetCodec::kSb);
    out.push_back(TelnetCodec::kComPort);
    out.push_back(command);
    for (std::uint8_t byte : value) {
        out.push_back(byte);
        if (byte == TelnetCodec::kIac) {
            out.push_back(byte);
        }
    }
    out.push_back(TelnetCodec::kIac);
    out.push_back(TelnetCodec::kSe);
}

} // namespace

TelnetCodec::TelnetCodec() {
    m_ours.fill(Side::No);
    m_theirs.fill(Side::No);
}

bool TelnetCodec::WeTake(std::uint8_t option) {
    return option == kBinary || option == kSuppressGoAhead || option == kComPort;
}

bool TelnetCodec::TheyMay(std::uint8_t option) {
    return option == kBinary || option == kSuppressGoAhead;
}

TelnetCodec::Bytes TelnetCodec::Start() {
    Bytes out;
    for (std::uint8_t option : {kBinary, kSuppressGoAhead, kComPort}) {
        m_ours[option] = Side::Asked;
        Command(out, kWill, option);
    }
    for (std::uint8_t option : {kBinary, kSuppressGoAhead}) {
        m_theirs[option] = Side::Asked;
        Command(out, kDo, option);
    }
    m_portControl = PortControl::Asked;
    return out;
}

TelnetCodec::Bytes TelnetCodec::Escape(const std::uint8_t* data, std::size_t length) {
    Bytes out;
    out.reserve(length + 4);
    for (std::size_t i = 0; i < length; ++i) {
        out.push_back(data[i]);
        if (data[i] == kIac) {
            out.push_back(kIac);
        }
    }
    return out;
}

void TelnetCodec::Receive(const std::uint8_t* input, std::size_t length, Bytes& data,
                          Bytes& reply) {
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t byte = input[i];
        switch (m_state) {
        case State::Data:
            if (byte == kIac) {
                m_state = State::Iac;
            } else {
                data.push_back(byte);
            }
            break;
        case State::Iac:
            if (byte == kIac) {
                data.push_back(kIac);
                m_state = State::Data;
            } else if (byte >= kWill && byte <= kDont) {
                m_verb = byte;
                m_state = State::Option;
            } else if (byte == kSb) {
                m_sub.clear();
                m_state = State::Sub;
            } else {
                m_state = State::Data; // NOP, GA, a stray SE and the like mean nothing here
            }
            break;
        case State::Option:
            Negotiate(m_verb, byte, reply);
            m_state = State::Data;
            break;
        case State::Sub:
            if (byte == kIac) {
                m_state = State::SubIac;
            } else {
                m_sub.push_back(byte);
            }
            break;
        case State::SubIac:
            if (byte == kSe) {
                Subnegotiation(m_sub);
                m_state = State::Data;
            } else {
                // IAC IAC is a 0xFF of the body; anything else is taken as it stands.
                m_sub.push_back(byte);
                m_state = State::Sub;
            }
            break;
        }
    }
}

void TelnetCodec::Negotiate(std::uint8_t verb, std::uint8_t option, Bytes& reply) {
    // Each side of an option answers only a change, never its own request coming back, so
    // two ends that disagree settle after one exchange.
    const bool ours = verb == kDo || verb == kDont;
    const bool enable = verb == kDo || verb == kWill;
    Side& side = ours ? m_ours[option] : m_theirs[option];
    const bool allowed = ours ? WeTake(option) : TheyMay(option);
    const std::uint8_t yes = ours ? kWill : kDo;
    const std::uint8_t no = ours ? kWont : kDont;
    const Side before = side;
    if (enable && allowed) {
        if (before == Side::No) {
            Command(reply, yes, option);
        }
        side = Side::Yes;
    } else if (enable) {
        Command(reply, no, option);
        side = Side::No;
    } else {
        if (before == Side::Yes) {
            Command(reply, no, option);
        }
        side = Side::No;
    }
    if (ours && option == kComPort) {
        if (side == Side::Yes && before != Side::Yes) {
            m_portControl = PortControl::Accepted;
            const Bytes commands = FormatCommands(m_format);
            reply.insert(reply.end(), commands.begin(), commands.end());
        } else if (side == Side::No) {
            m_portControl = PortControl::Refused;
        }
    }
}

void TelnetCodec::Subnegotiation(const Bytes& body) {
    if (body.size() == 6 && body[0] == kComPort && body[1] == kSetBaudRate + kServerOffset) {
        m_reportedBaud = (std::uint32_t{body[2]} << 24) | (std::uint32_t{body[3]} << 16) |
                         (std::uint32_t{body[4]} << 8) | std::uint32_t{body[5]};
    }
    // Line and modem state reports and the other answers change nothing here.
}

TelnetCodec::Bytes TelnetCodec::SetLineFormat(const LineFormat& format) {
    m_format = format;
    if (m_portControl != PortControl::Accepted) {
        return {};
    }
    return FormatCommands(format);
}

TelnetCodec::Bytes TelnetCodec::FormatCommands(const LineFormat& format) {
    Bytes out;
    const std::uint32_t baud = format.baudRate;
    PortCommand(out, kSetBaudRate,
                {static_cast<std::uint8_t>(baud >> 24), static_cast<std::uint8_t>(baud >> 16),
                 static_cast<std::uint8_t>(baud >> 8), static_cast<std::uint8_t>(baud)});
    PortCommand(out, kSetDataSize, {format.dataBits});
    PortCommand(out, kSetParity, {format.parity});
    PortCommand(out, kSetStopSize, {format.stopBits});
    PortCommand(out, kSetControl, {kNoFlowOutbound});
    PortCommand(out, kSetControl, {kNoFlowInbound});
    return out;
}
