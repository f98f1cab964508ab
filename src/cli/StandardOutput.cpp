#include "cli/StandardOutput.h"

#include <stdio_ext.h>

#include <cerrno>
#include <cstring>

#include "cli/CliRun.h"

int FinishStandardOutput(int status, std::FILE* err) {
    const bool failedBefore = std::ferror(stdout) != 0;
    const bool pending = ::__fpending(stdout) != 0;
    errno = 0;
    const bool closeFailed = std::fclose(stdout) != 0;
    const int reason = errno;
    // stdout closed before the program started (">&-") is no failure as
    // long as nothing was written to it.
    if (!failedBefore && (!closeFailed || (reason == EBADF && !pending))) return status;
    if (failedBefore && status != ExitOk) return status;
    std::fprintf(err, "morvaplot-cli: cannot write the output: %s\n",
                 std::strerror(reason != 0 ? reason : EIO));
    return ExitFailed;
}
