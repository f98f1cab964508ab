#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/CliOptions.h"

// The rows of morvaplot-cli's one option table, for the files that hold its
// parts: each option with its help, the usage error's rule and how its value
// is kept, under the commands that take it.
namespace cli_table {

using CommandSet = unsigned;  // one bit a command
template <typename... Commands>
constexpr CommandSet Only(Commands... commands) {
    return ((1u << static_cast<unsigned>(commands)) | ...);
}

using Store = std::function<bool(const std::string& value, CliOptions& options)>;  // false: refused
struct OptionRow {
    std::string Name;   // "--pitch"
    std::string Value;  // the value's name in the help; empty: a flag, which takes none
    std::string Help;   // a line for the help, at most 60 characters
    std::string Rule;   // the usage error's words after the name when Keep refuses the value
    Store Keep;
};
struct Section {  // options and the commands that take them
    CommandSet Takes;
    std::vector<OptionRow> Rows;
};

// The options of the surface, the residuals, the radius curve and levelling
// (cli/SurfaceOptions.cpp).
std::vector<Section> SurfaceSections();

// diff's options of the sites paired site by site and of the picture's
// colours, and the fixed colour scale of the pictures (cli/DiffOptions.cpp).
std::vector<Section> DiffSections();

// The usage error these options make with the others (dataGiven: --data was
// given), or an empty text; a smooth surface makes the fill the data shown.
std::string CheckSurfaceOptions(CliOptions& options, bool dataGiven);

}  // namespace cli_table
