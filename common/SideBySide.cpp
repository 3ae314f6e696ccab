#include "SideBySide.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace selvenor {

void runSideBySide(int count, int jobs, const std::function<void(int)>& work) {
    std::atomic<int> next{0};
    std::exception_ptr firstError;
    std::mutex errorMutex;
    const auto worker = [&] {
        for (int i = next++; i < count; i = next++) {
            try {
                work(i);
            } catch (...) {
                const std::lock_guard lock(errorMutex);
                if (!firstError)
                    firstError = std::current_exception();
            }
        }
    };
    const int threads = std::clamp(jobs, 1, std::max(count, 1));
    std::vector<std::thread> pool;
    pool.reserve(size_t(threads));
    for (int t = 0; t < threads; ++t)
        pool.emplace_back(worker);
    for (std::thread& t : pool)
        t.join();
    if (firstError)
        std::rethrow_exception(firstError);
}

} // namespace selvenor
