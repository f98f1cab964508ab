#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/SitePairing.h"
#include "analysis/WaferGeometry.h"
#include "cli/CliOptions.h"
#include "core/Message.h"
#include "data/ViewSettings.h"
#include "session/Prepare.h"
#include "session/Source.h"

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

class SurfaceFitter;

// The settings the options give the steps, as the window's controls would.
ViewSettings SettingsFrom(const CliOptions& o);

// The wafer as the options give it; the diameter is the CSV placement's.
WaferGeometry WaferOf(const CliOptions& o);

// The input at path as the options read it: a .thk file, X/Y/Z text (--xyz)
// as Paste takes it, or a table (--csv) through the import.
SourceInput SourceFrom(const CliOptions& o, const std::string& path);

// FILE's records prepared as far as upTo with the options' settings; the
// settings hold the search radius used. The records and the fitter are large
// and kept on the heap.
struct PreparedInput {
    PreparedInput();
    ~PreparedInput();
    ViewSettings Settings;
    std::unique_ptr<PreparedRecords> Records;
    std::unique_ptr<SurfaceFitter> Fitter;
    // The smooth surface of --surface (its sites, frame, residuals and
    // overshoot) when it made the Fill record.
    SurfaceResult Surface;
};
int PrepareInput(const CliOptions& o, DataKind upTo, PreparedInput& input, const MessageSink& messages);

// How the options' table gives its points' X and Y.
PointUnits UnitsOf(const CliOptions& o);

// The difference of diff: A and B compared with the options' parameters (B
// on A's lattice and search radius), in the options' order (and divided by
// the rate time), and their sites paired site by site. 1, or -1 after the
// failing step's message.
int PrepareDifference(const CliOptions& o, ThkData& difference, std::vector<PairedSite>& sites,
                      const MessageSink& messages);

// diff --sites-out: the paired sites as CSV (PairedSiteCsv), written whole;
// ExitOk also when no file was asked for, else ExitFailed after a line on err.
int WriteDiffSites(const CliOptions& o, const std::vector<PairedSite>& sites, std::FILE* err);

// image, contours, view3d, random and report; diff when it writes a picture.
bool NeedsQt(const CliOptions& options);

// Runs a command that NeedsQt after its options were parsed; returns the
// exit status. Its listing goes to output, its own failures to err.
using QtCommandRunner = std::function<int(const CliOptions& options, CommandOutput& output, std::FILE* err)>;

// RunCli (cli/Commands.h) with the commands that need Qt run by runQt.
int RunCliWith(const std::vector<std::string>& args, std::FILE* out, std::FILE* err,
               const QtCommandRunner& runQt);
