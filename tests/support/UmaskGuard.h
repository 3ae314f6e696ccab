#pragma once

#include <sys/stat.h>

// Sets the process's umask for a test (the commands it runs inherit it) and restores it.
class UmaskGuard {
public:
    explicit UmaskGuard(mode_t mask)
        : m_saved(::umask(mask)) {}
    ~UmaskGuard() { ::umask(m_saved); }
    UmaskGuard(const UmaskGuard&) = delete;
    UmaskGuard& operator=(const UmaskGuard&) = delete;

    // The umask in force now.
    static mode_t current() {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return mask;
    }

private:
    mode_t m_saved;
};
