#pragma once

// How the engine's messages reach Python: a failure as morvaplot.Error, any
// other message as a morvaplot.MessageWarning.

#include <pybind11/pybind11.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace py = pybind11;

// A failed operation, with the text the window shows for it. When the text
// says a file could not be opened ("File open error. -> NAME"), the system's
// reason follows it ("... -> NAME (No such file or directory)") and is kept
// as an errno value for the Python exception. May be thrown without the
// interpreter lock; it becomes morvaplot.Error once the lock is back.
class MessageError : public std::runtime_error {
public:
    explicit MessageError(const std::string& text);
    int Errno() const { return errno_; }               // 0: not a file that failed to open
    const std::string& File() const { return file_; }  // the file's name when Errno() is set

private:
    MessageError(const std::string& text, std::string file);
    MessageError(const std::string& text, std::string file, int code);

    int errno_ = 0;
    std::string file_;
};

// The text with the system's reason after it when it says that a file could
// not be opened (see MessageError); any other text as it is. Needs no lock.
std::string WithOpenReason(const std::string& text);

// Adds Error (a RuntimeError; errno, strerror and filename set for a file
// that could not be opened) and MessageWarning (a UserWarning) to m, and
// turns a MessageError into Error.
void RegisterErrors(py::module_& m);

// The texts an operation showed, with the interpreter lock held: when it
// failed, the last one is its failure and is raised as Error; every other
// text is issued as a MessageWarning first.
void ReportMessages(std::vector<std::string> texts, bool failed);

// A message as a Python str; bytes that are not UTF-8 (a file's name) are
// kept as surrogates, as os.fsdecode keeps them.
py::str DecodedText(const std::string& text);
