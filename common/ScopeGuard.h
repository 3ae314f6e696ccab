#pragma once

#include <utility>

namespace selvenor {

// Runs a restore step when the scope ends, whether by return or by exception.
template <typename F> class ScopeGuard {
public:
    explicit ScopeGuard(F f)
        : m_f(std::move(f)) {}
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;
    ~ScopeGuard() {
        if (m_active)
            m_f();
    }
    void dismiss() { m_active = false; }

private:
    F m_f;
    bool m_active = true;
};

} // namespace selvenor
