#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "analysis/WaferGeometry.h"
#include "cli/CliOptions.h"
#include "core/Message.h"
#include "session/Session.h"

// The part of morvaplot-cli that needs the standard library alone: parsing,
// help and usage texts, and the commands that only list numbers (stats, grid,
// fill, table, roi, analyze, and diff written as CSV). The commands that need
// Qt (the pictures, the contour tracing, the report) and random are handed to
// a runner, so the program that starts for a listing loads no drawing library.

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

// Collects the listing and writes it in one piece at the end, or, for the
// long cell listings, passes pieces straight on after what was collected; a
// write error (a full disk, a closed pipe) turns the exit status into a
// failure. The viewer's messages of the command go to err, one a line.
class CommandOutput {
public:
    CommandOutput(std::FILE* out, std::FILE* err)
        : out_(out), err_(err), messages_([err](const std::string& text) {
              std::fprintf(err, "%s\n", text.c_str());
              std::fflush(err);
          }) {}

    std::string& Buffer() { return buffer_; }
    const MessageSink& Messages() const { return messages_; }

    // Writes what was collected so far, then size bytes of text.
    void Write(const char* text, std::size_t size) {
        Flush();
        std::fwrite(text, 1, size, out_);
    }

    int Finish(int status) {
        Flush();
        if (std::fflush(out_) != 0 || std::ferror(out_)) {
            std::fputs("morvaplot-cli: cannot write the output\n", err_);
            return ExitFailed;
        }
        return status;
    }

private:
    void Flush() {
        if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), out_);
        buffer_.clear();
    }

    std::FILE* out_;
    std::FILE* err_;
    MessageSink messages_;
    std::string buffer_;
};

// The batch tool's side of the flow: it has no controls, so the settings
// stay as the options set them, and it keeps only the last drawing's plan,
// which is the picture the window would show at the end. The session's
// messages go to the command's sink.
class BatchFrontEnd final : public SessionFrontEnd {
public:
    explicit BatchFrontEnd(const MessageSink& messages) : messages_(messages) {}
    void ShowMap(const ThkData&, const MapPlan& plan) override { LastPlan = plan; }
    void ShowMessageText(const std::string& text) override { messages_.Show(text); }
    MapPlan LastPlan;

private:
    const MessageSink& messages_;
};

// The settings the options give the session, as the window's controls would.
ViewSettings SettingsFrom(const CliOptions& o);

// The wafer as the options give it; the diameter is the CSV placement's.
WaferGeometry WaferOf(const CliOptions& o);

// A session with the options as its settings.
struct Batch {
    Batch(const CliOptions& o, const MessageSink& messages);
    BatchFrontEnd FrontEnd;
    Session Flow;
};

// The user picks a data type item or a draw type; picking the current one
// changes nothing, as in the window.
void ChooseDataType(Session& session, DataKind kind);
void ChooseDrawType(Session& session, DrawKind kind);

// X/Y/Z text from a file: its bytes up to the first NUL, converted as Paste
// converts the clipboard's text. 1, or -1 with its message shown.
int ReadXyzFile(const std::string& path, ThkData& record, const MessageSink& messages);

// The input as the window takes it: a .thk file through Load, X/Y/Z text
// (--xyz) through Paste, or a table (--csv) through the import, each through
// the session's Open. 1, or -1 with its message shown.
int OpenInput(Session& session, const CliOptions& o, const std::string& path);

// Load, then Calc and Fill as far as the data type needs (or as calc and
// fill ask). 1, or -1 when the load or the fill failed (its message shown).
int PrepareData(Session& session, const CliOptions& o, bool calc, bool fill);
int PrepareData(Session& session, const CliOptions& o);

// The difference of diff: A and B each loaded, gridded and filled by a
// session of its own with the options' parameters, then subtracted in the
// options' order (and divided by the rate time). 1, or -1 when a load, a
// fill or the subtraction failed (its message shown).
int PrepareDifference(const CliOptions& o, ThkData& difference, const MessageSink& messages);

// image, contours, view3d, random and report; diff when it writes a picture.
bool NeedsQt(const CliOptions& options);

// Runs a command that NeedsQt after its options were parsed; returns the
// exit status. Its listing goes to output, its own failures to err.
using QtCommandRunner = std::function<int(const CliOptions& options, CommandOutput& output, std::FILE* err)>;

// RunCli (cli/Commands.h) with the commands that need Qt run by runQt.
int RunCliWith(const std::vector<std::string>& args, std::FILE* out, std::FILE* err,
               const QtCommandRunner& runQt);
