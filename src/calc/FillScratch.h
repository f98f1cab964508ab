#pragma once

#include <vector>

#include "data/Deviations.h"
#include "data/ThkData.h"

// What FillGrid works in around one fit: the node values it hands the fitter,
// and what it gathers of the surface for the statistics. The SurfaceFitter a
// caller passes keeps it, so a refill allocates nothing again. Every element a
// fill reads it has written first; nothing carries over from one fill to the
// next.
struct FillScratch {
    std::vector<float> Nodes;  // ns x nt node values, X-major, in single precision
    // Per raster row, written by the thread that computed the row.
    std::vector<FloatSummary> RowSummaries;
    std::vector<float> RowMin;
    std::vector<float> RowMax;
    std::vector<char> RowByFirstThread;
    // The chunks of the sum of squared deviations the second thread takes.
    std::vector<DeviationChunk> TailChunks;
    // The surface's data values, when some of its values are no data.
    std::vector<float> Compacted;
};
