#include "merge/database_lock.h"

#include <thread>

std::string lockPathOf(std::string_view databasePath) {
    return std::string(databasePath) + ".lock";
}

FileLock::Outcome lockDatabase(FileLock& lock, const std::string& databasePath,
                               std::chrono::milliseconds wait,
                               const std::function<void()>& onWaiting) {
    constexpr std::chrono::milliseconds kRetry{100};
    const std::string path = lockPathOf(databasePath);
    const auto giveUpAt = std::chrono::steady_clock::now() + wait;
    FileLock::Outcome outcome = lock.tryLock(path);
    if (outcome == FileLock::Outcome::Busy && onWaiting)
        onWaiting();
    while (outcome == FileLock::Outcome::Busy && std::chrono::steady_clock::now() < giveUpAt) {
        std::this_thread::sleep_for(kRetry);
        outcome = lock.tryLock(path);
    }
    return outcome;
}

std::string busyMessage(const std::string& databasePath) {
    return databasePath + " is in use by another merge or restore of Quillet; nothing was changed.";
}
