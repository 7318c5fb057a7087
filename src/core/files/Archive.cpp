#include "core/files/Archive.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <ostream>
#include <sstream>

namespace {

constexpr std::uint8_t kLongMarker = 0xFF;
constexpr std::uint16_t kDwordMarker = 0xFFFF;
// Longest length that still fits the WORD form (0xFFFF is the marker of the DWORD form, and
// 0xFFFE is kept free as the established writers do).
constexpr std::size_t kLongestWordLength = 0xFFFD;
// Strings are read in pieces of this size, so that a damaged length cannot ask for gigabytes
// before the end of the data is noticed.
constexpr std::size_t kReadPiece = 64 * 1024;

} // namespace

CArchive::CArchive()
    : mode_(Mode::Store),
      own_(std::make_unique<std::stringstream>(std::ios::in | std::ios::out | std::ios::binary)) {
    out_ = own_.get();
}

CArchive::CArchive(std::vector<std::uint8_t> bytes)
    : mode_(Mode::Load),
      own_(std::make_unique<std::stringstream>(std::string(bytes.begin(), bytes.end()),
                                               std::ios::in | std::ios::binary)) {
    in_ = own_.get();
}

CArchive::CArchive(std::ostream& out) : mode_(Mode::Store), out_(&out) {}

CArchive::CArchive(std::istream& in) : mode_(Mode::Load), in_(&in) {}

CArchive::~CArchive() = default;

void CArchive::Write(const std::uint8_t* data, std::size_t size) {
    if (!IsStoring())
        throw CArchiveException("archive is not storing");
    out_->write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!*out_)
        throw CArchiveException("archive write failed");
}

void CArchive::Read(std::uint8_t* data, std::size_t size) {
    if (!IsLoading())
        throw CArchiveException("archive is not loading");
    in_->read(reinterpret_cast<char*>(data), static_cast<std::streamsize>(size));
    if (static_cast<std::size_t>(in_->gcount()) != size)
        throw CArchiveException("archive ends early");
}

void CArchive::WriteUnsigned(std::uint64_t value, int size) {
    std::uint8_t bytes[8];
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    Write(bytes, static_cast<std::size_t>(size));
}

std::uint64_t CArchive::ReadUnsigned(int size) {
    std::uint8_t bytes[8];
    Read(bytes, static_cast<std::size_t>(size));
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i)
        value |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    return value;
}

CArchive& CArchive::operator<<(std::uint8_t value) {
    WriteUnsigned(value, 1);
    return *this;
}

CArchive& CArchive::operator<<(std::uint16_t value) {
    WriteUnsigned(value, 2);
    return *this;
}

CArchive& CArchive::operator<<(std::int32_t value) {
    WriteUnsigned(static_cast<std::uint32_t>(value), 4);
    return *this;
}

CArchive& CArchive::operator<<(std::uint32_t value) {
    WriteUnsigned(value, 4);
    return *this;
}

CArchive& CArchive::operator<<(double value) {
    static_assert(sizeof(double) == 8, "double must be IEEE 754 binary64");
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    WriteUnsigned(bits, 8);
    return *this;
}

CArchive& CArchive::operator<<(const std::string& text) {
    const std::size_t length = text.size();
    if (length > 0xFFFFFFFFu)
        throw CArchiveException("string too long for an archive");
    if (length < kLongMarker) {
        *this << static_cast<std::uint8_t>(length);
    } else if (length <= kLongestWordLength) {
        *this << kLongMarker << static_cast<std::uint16_t>(length);
    } else {
        *this << kLongMarker << kDwordMarker << static_cast<std::uint32_t>(length);
    }
    Write(reinterpret_cast<const std::uint8_t*>(text.data()), length);
    return *this;
}

CArchive& CArchive::operator>>(std::uint8_t& value) {
    value = static_cast<std::uint8_t>(ReadUnsigned(1));
    return *this;
}

CArchive& CArchive::operator>>(std::uint16_t& value) {
    value = static_cast<std::uint16_t>(ReadUnsigned(2));
    return *this;
}

CArchive& CArchive::operator>>(std::int32_t& value) {
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(ReadUnsigned(4)));
    return *this;
}

CArchive& CArchive::operator>>(std::uint32_t& value) {
    value = static_cast<std::uint32_t>(ReadUnsigned(4));
    return *this;
}

CArchive& CArchive::operator>>(double& value) {
    const std::uint64_t bits = ReadUnsigned(8);
    std::memcpy(&value, &bits, sizeof value);
    return *this;
}

CArchive& CArchive::operator>>(std::string& text) {
    std::uint64_t length = ReadUnsigned(1);
    if (length == kLongMarker) {
        length = ReadUnsigned(2);
        if (length == kDwordMarker)
            length = ReadUnsigned(4);
    }
    std::string result;
    while (result.size() < length) {
        const std::size_t piece =
            static_cast<std::size_t>(std::min<std::uint64_t>(length - result.size(), kReadPiece));
        const std::size_t old = result.size();
        result.resize(old + piece);
        Read(reinterpret_cast<std::uint8_t*>(&result[old]), piece);
    }
    text = std::move(result);
    return *this;
}

std::vector<std::uint8_t> CArchive::GetBuffer() const {
    const auto* memory = dynamic_cast<const std::stringstream*>(own_.get());
    if (!IsStoring() || memory == nullptr)
        return {};
    const std::string bytes = memory->str();
    return {bytes.begin(), bytes.end()};
}

bool CArchive::AtEnd() const {
    return IsLoading() && in_->peek() == std::istream::traits_type::eof();
}
