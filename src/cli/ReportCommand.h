#pragma once

#include <functional>
#include <vector>

#include "report/Report.h"
#include "session/FileJob.h"

#include <cstdio>
#include <string>

#include "cli/CliOptions.h"
#include "core/Message.h"

// report: every file prepared on every core (load, Calc and Fill as the data
// type needs, the map and the figures), then the PDF and the summary CSV
// written whole. Needs no display: without an application object it makes a
// QApplication of its own, on the offscreen platform unless the user chose
// one. A file that fails keeps its row and page with its message, which also
// goes to err after the file's name. The messages of the run itself (a
// gradation file, an output that cannot be written) go to messages. Returns
// 0, or 1 when a file failed or an output could not be written.
int RunReport(const CliOptions& options, const MessageSink& messages, std::FILE* err);

// The progress line of a terminal: "\r 37/100 [#######.............]", the
// bar width characters wide, the count right-aligned to the total's width.
std::string ProgressLine(int done, int total, int width);

// The report's entries: every source through the file job on threads
// threads (at least 1), each page made on the worker that prepared its file,
// in the order of sources. progress as RunFileJobs calls it.
std::vector<ReportEntry> PrepareReportEntries(const std::vector<SourceInput>& sources,
                                              const FileJobRequest& job, const ReportPageRequest& page,
                                              int threads, const std::function<void(int, int)>& progress);
