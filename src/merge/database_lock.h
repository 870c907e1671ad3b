#pragma once

#include "base/file_lock.h"

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

// One writer at a time for each database: a merge or a restore holds the lock of the lock file
// beside it, earth_nav.dat.lock, from before it reads the database until it has written it.

std::string lockPathOf(std::string_view databasePath);

// Takes the database's lock, waiting up to `wait` while another program holds it; onWaiting
// is called once, when the waiting starts. Busy when the other still holds it then; Failed
// when no lock file can be made there (where nothing can be written either).
FileLock::Outcome lockDatabase(FileLock& lock, const std::string& databasePath,
                               std::chrono::milliseconds wait,
                               const std::function<void()>& onWaiting);

// The message of a database that another program holds.
std::string busyMessage(const std::string& databasePath);

// How long a merge or restore waits for another to finish.
inline constexpr std::chrono::milliseconds kLockWait{5000};
