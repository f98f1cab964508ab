#pragma once

#include <cstdio>

// The end of both programs of the tool: flushes and closes stdout, so output
// lost to a full disk, /dev/full or a failing device is an error instead of
// vanishing at exit. Returns status, or ExitFailed (cli/CliRun.h) after
// "morvaplot-cli: cannot write the output: <reason>" on err, unless the run
// had failed and reported the output's failure already (its status failed
// and the stream's error flag was set).
int FinishStandardOutput(int status, std::FILE* err);
