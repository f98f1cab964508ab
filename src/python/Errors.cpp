#include "Errors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <system_error>

namespace {

constexpr std::string_view OpenFailurePrefix = "File open error. -> ";

// Why the named file cannot be opened for reading, as an errno value; 0 when
// it can be opened now (it was missing a moment ago, say) or when no errno
// fits (a FIFO or a device, which the readers refuse).
int OpenFailureCode(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return errno;
    if (S_ISDIR(status.st_mode)) return EISDIR;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno;
    ::close(fd);
    return 0;
}

// The file a text says could not be opened; empty when it says nothing of
// the kind.
std::string FileNotOpened(const std::string& text) {
    if (!std::string_view(text).starts_with(OpenFailurePrefix)) return {};
    return text.substr(OpenFailurePrefix.size());
}

py::module_ ThisModule() {
    return py::module_::import("morvaplot._morvaplot");
}

}  // namespace

MessageError::MessageError(const std::string& text) : MessageError(text, FileNotOpened(text)) {}

MessageError::MessageError(const std::string& text, std::string file)
    : MessageError(text, file, file.empty() ? 0 : OpenFailureCode(file)) {}

MessageError::MessageError(const std::string& text, std::string file, int code)
    : std::runtime_error(code == 0 ? text : text + " (" + std::generic_category().message(code) + ")"),
      errno_(code),
      file_(code == 0 ? std::string() : std::move(file)) {}

std::string WithOpenReason(const std::string& text) {
    return MessageError(text).what();
}

py::str DecodedText(const std::string& text) {
    PyObject* decoded =
        PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "surrogateescape");
    if (decoded == nullptr) throw py::error_already_set();
    return py::reinterpret_steal<py::str>(decoded);
}

void RegisterErrors(py::module_& m) {
    py::exception<MessageError>(m, "Error", PyExc_RuntimeError).doc() =
        "A failed operation, with the message the window shows for it. For a file that could not be "
        "opened the system's reason follows the message, and errno, strerror and filename are set "
        "(else None).";
    py::object error = m.attr("Error");
    error.attr("errno") = py::none();
    error.attr("strerror") = py::none();
    error.attr("filename") = py::none();
    m.attr("MessageWarning") = py::reinterpret_steal<py::object>(
        PyErr_NewExceptionWithDoc("morvaplot.MessageWarning",
                                  "A message an operation showed without failing (the window would show it "
                                  "in a box and go on).",
                                  PyExc_UserWarning, nullptr));
    py::register_exception_translator([](std::exception_ptr thrown) {
        try {
            if (thrown) std::rethrow_exception(thrown);
        } catch (const MessageError& failure) {
            try {
                const py::object type = ThisModule().attr("Error");
                py::object error = type(DecodedText(failure.what()));
                if (failure.Errno() != 0) {
                    error.attr("errno") = failure.Errno();
                    error.attr("strerror") = std::generic_category().message(failure.Errno());
                    error.attr("filename") = py::module_::import("os").attr("fsdecode")(
                        py::bytes(failure.File().data(), failure.File().size()));
                }
                PyErr_SetObject(type.ptr(), error.ptr());
            } catch (py::error_already_set& e) {
                e.restore();
            }
        }
    });
}

void ReportMessages(std::vector<std::string> texts, bool failed) {
    if (texts.empty() && !failed) return;
    std::string failure;
    if (failed) {
        failure = texts.empty() ? std::string("the operation failed") : texts.back();
        if (!texts.empty()) texts.pop_back();
    }
    if (!texts.empty()) {
        const py::object warning = ThisModule().attr("MessageWarning");
        const py::object warn = py::module_::import("warnings").attr("warn");
        // stacklevel 1 names the caller's line: a call from C adds no frame.
        for (const std::string& text : texts)
            warn(DecodedText(text), warning, 1);
    }
    if (failed) throw MessageError(failure);
}
