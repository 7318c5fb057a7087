#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// Raised when an archive runs out of bytes while loading, or its stream fails while storing.
class CArchiveException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A little-endian byte stream without header, tags or counts: every record writes and reads its
// own fields in a fixed order. Numbers are BYTE (1), WORD (2), int32 and DWORD (4) and IEEE 754
// double (8). A string is its length (one byte below 255; 0xFF and a WORD up to 65533; otherwise
// 0xFF, the WORD 0xFFFF and a DWORD) followed by its bytes without terminator.
//
// Loading past the end throws CArchiveException; what was read before stays read. Callers that
// must not be left half-updated load into a scratch object first.
class CArchive {
public:
    enum class Mode { Store, Load };

    // Stores into an in-memory buffer (GetBuffer).
    CArchive();
    // Loads from a copy of the given bytes.
    explicit CArchive(std::vector<std::uint8_t> bytes);
    // Stores into or loads from a stream that outlives the archive.
    explicit CArchive(std::ostream& out);
    explicit CArchive(std::istream& in);
    ~CArchive();

    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const { return mode_ == Mode::Store; }
    bool IsLoading() const { return mode_ == Mode::Load; }

    CArchive& operator<<(std::uint8_t value);
    CArchive& operator<<(std::uint16_t value);
    CArchive& operator<<(std::int32_t value);
    CArchive& operator<<(std::uint32_t value);
    CArchive& operator<<(double value);
    CArchive& operator<<(const std::string& text);

    CArchive& operator>>(std::uint8_t& value);
    CArchive& operator>>(std::uint16_t& value);
    CArchive& operator>>(std::int32_t& value);
    CArchive& operator>>(std::uint32_t& value);
    CArchive& operator>>(double& value);
    CArchive& operator>>(std::string& text);

    // The bytes stored so far by an archive made with the default constructor.
    std::vector<std::uint8_t> GetBuffer() const;
    // True when a loading archive has no byte left.
    bool AtEnd() const;

private:
    void Write(const std::uint8_t* data, std::size_t size);
    void Read(std::uint8_t* data, std::size_t size);
    std::uint64_t ReadUnsigned(int size);
    void WriteUnsigned(std::uint64_t value, int size);

    Mode mode_;
    std::unique_ptr<std::iostream> own_;
    std::ostream* out_ = nullptr;
    std::istream* in_ = nullptr;
};
