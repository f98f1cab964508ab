#pragma once

#include <string>
#include <string_view>

// The one way the program writes a file: whole or not at all. Every file it
// writes (settings, pictures, tables, reports) goes through WriteFileWhole.

enum class WriteResult { Written, OpenFailed, WriteFailed };

// What a write came to. On failure Reason is the system's text for Error
// (strerror), or, where the system's text would mislead, one of ours; a
// caller shows it once, e.g. "cannot write PATH: No space left on device".
struct FileWriteResult {
    WriteResult Result = WriteResult::Written;
    int Error = 0;
    std::string Reason;

    bool Written() const { return Result == WriteResult::Written; }
};

// Writes bytes to path, a file name as the system takes it (bytes, never
// re-encoded).
//
// A regular file (or a new one) is replaced: the bytes go to a temporary file
// of a unique name beside it, which is written, flushed to the disk and closed,
// every step checked, and only then renamed over the old name; a crash, a
// killed process or a full disk leaves the old file as it was and no
// temporary file behind. A new file gets the permissions any new file of the
// process gets (0666 less the umask); a replaced one keeps its permissions
// (and, where the process may set them, its owner and group). A file the
// process may not write is refused, as the shell's ">" refuses it.
//
// A symbolic link is followed: its final target is replaced (or created) and
// the link stays a link.
//
// A character device or a FIFO is written into directly (so /dev/null takes
// the bytes and discards them), never replaced by a regular file; a FIFO that
// no process reads is refused instead of waited for. A folder or any other
// kind of file is refused.
//
// OpenFailed when the target is refused or the temporary file cannot be
// created (no such folder, no permission); WriteFailed when writing, flushing,
// closing or the rename fails.
FileWriteResult WriteFileWhole(const std::string& path, std::string_view bytes);

// Whether WriteFileWhole(path, ...) could start: the target is not refused
// and, for a regular or a new file, a temporary file can be made beside it
// (it is removed again). Nothing is written, and a device or FIFO is not even
// opened. For a long piece of work that ends in a write, so a missing folder
// costs no time.
FileWriteResult CheckFileWritable(const std::string& path);
