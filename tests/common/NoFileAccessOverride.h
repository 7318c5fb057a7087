#pragma once

// Tests of files that cannot be read make them so with their permission bits, which a superuser
// ignores. While an object of this class lives, the calling thread gives up the capabilities that
// override file permissions (reading and searching), so that it meets the permission bits as an
// ordinary user does; they are taken back when it goes. A thread without them changes nothing.
// Linux only: the capabilities are per thread, so only this thread's file access is affected.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

class NoFileAccessOverride {
public:
    NoFileAccessOverride() {
        if (::syscall(SYS_capget, &m_header, m_saved) != 0) {
            return;
        }
        __user_cap_data_struct reduced[2];
        std::memcpy(reduced, m_saved, sizeof reduced);
        constexpr std::uint32_t kOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
        reduced[0].effective &= ~kOverrides;
        m_reduced = ::syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~NoFileAccessOverride() {
        if (m_reduced) {
            ::syscall(SYS_capset, &m_header, m_saved);
        }
    }
    NoFileAccessOverride(const NoFileAccessOverride&) = delete;
    NoFileAccessOverride& operator=(const NoFileAccessOverride&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
    bool m_reduced = false;
};
