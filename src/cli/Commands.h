#pragma once

#include <cstdio>
#include <string>
#include <vector>

// morvaplot-cli as a function: parses the arguments after the program name,
// runs the command as the window would run the same clicks, writes the
// listing to out and usage texts to err. The viewer's own messages go to err
// too, one a line. Returns the exit
// status: 0 success, 1 the operation failed (reader, fill, gradation file,
// writing the output, or an exception such as running out of memory, reported
// on err), 2 usage error.
int RunCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
