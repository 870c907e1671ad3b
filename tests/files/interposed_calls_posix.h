#pragma once

#include <string>
#include <vector>

// The test program brings its own open, read, write, fsync and rename, which the program's
// file code calls in place of the C library's. Each passes the call on to the kernel; while a
// CallLog exists, they also log the fsync and rename calls and fail the calls it was told to.

enum class Call { Open, Read, Write, Fsync, Rename };

class CallLog {
  public:
    CallLog();
    ~CallLog();
    CallLog(const CallLog&) = delete;
    CallLog& operator=(const CallLog&) = delete;

    // After `after` more calls of `call` have passed, the next `times` fail with `error` and do
    // nothing, as an interrupted call or a failing disk would.
    void failNext(Call call, int error, int times = 1, int after = 0);
    // Calls of `call` still to be failed.
    int failuresLeft(Call call) const;
    // "fsync <path>" and "rename <from> <to>", in call order, paths as the kernel names them.
    std::vector<std::string> entries() const;
};
