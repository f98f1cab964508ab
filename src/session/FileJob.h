#pragma once

#include <functional>
#include <string>
#include <vector>

#include "analysis/Analysis.h"
#include "analysis/SummaryRow.h"
#include "core/Codes.h"
#include "data/ViewSettings.h"
#include "session/Prepare.h"
#include "session/Source.h"

class SurfaceFitter;

// The work of one file of a batch (a report, the Python batch): load, Calc
// and Fill as far as the data type needs, the analysis of that record with
// the Raw record's sites, and its summary row.

struct FileJobRequest {
    ViewSettings Settings;           // the calculation parameters
    DataKind Data = DataKind::Fill;  // the record analysed
    AnalysisRequest Analysis;
};

struct FileJobResult {
    SummaryRow Row;  // Row.Error holds the message of the step that failed
    // The other messages the file's steps showed (warnings such as a radius
    // search that found nothing, or no data cell inside the wafer), in
    // order; Row.Warnings holds them too, one per line.
    std::vector<std::string> Messages;
    ViewSettings Settings;    // as used: the search radius after the search
    AnalysisResult Analysis;  // when the file did not fail
};

// One file, its records prepared into records (which a worker keeps from file
// to file, so nothing large is allocated per file) with fitter. name names the
// row. Nothing is shown: a failure is the row's error. The request's analysis
// must have passed CheckAnalysisRequest.
FileJobResult RunFileJob(const SourceInput& source, const std::string& name, const FileJobRequest& request,
                         SurfaceFitter& fitter, PreparedRecords& records);

// A name for each path that tells it from the others: its file name, or as
// many of its last folders with it as it takes ("lot1/w01.thk" beside
// "lot2/w01.thk"); a path given twice has its file name both times.
std::vector<std::string> DistinguishingNames(const std::vector<std::string>& paths);

// RunFileJob for every source on threads threads (at least 1), each thread
// with its own records and fitter. done(i, result, records) is called on the
// worker thread right after source i, while its records still hold it (to
// draw a picture, say); progress(done, total), when given, after each file,
// never two at once. Rows are named by DistinguishingNames of the paths.
void RunFileJobs(const std::vector<SourceInput>& sources, const FileJobRequest& request, int threads,
                 const std::function<void(std::size_t, FileJobResult&, const PreparedRecords&)>& done,
                 const std::function<void(int, int)>& progress);
