#pragma once

#include <string>
#include <string_view>
#include <vector>

// What a table's header names say: which column holds X, Y, the thickness
// or the site number, and the thickness unit. Names are compared without
// case, and without a unit in brackets or parentheses after the name
// ("Film Thickness [A]" reads as the words "film thickness").

enum class CsvAxis { None, X, Y };

// X for names such as x, X (mm), x_mm, Xpos, Pos X, X Position, X Coord,
// X Value; Y likewise.
CsvAxis AxisOfName(std::string_view name);

// How plainly a name says thickness: 0 for a word holding "thickness", 1 for
// "thk" (or a word starting with it), 2 for "film", 3 for "z", 4 for
// "value"; -1 for none of them.
int ThicknessRankOfName(std::string_view name);

// A site-number name: every word one of site, point, pt, no, nr, #, id,
// number, num, index ("Site", "Point No", "Site #", "No.").
bool IsSiteName(std::string_view name);

// The thickness unit a name gives in brackets or parentheses, or as its last
// word, in one spelling: "Å" (for A, Å, Angstrom), "nm", "µm" (for um, µm,
// μm, micron); empty when it gives none of these. Latin-1 bytes for Å
// and µ are read too.
std::string UnitOfName(std::string_view name);

// A unit as a caller gives it: one of the spellings above in its one form,
// anything else as given (without the blanks around it).
std::string CanonicalUnit(std::string_view unit);

// The column a caller names: a 1-based number within the names; else the
// name written exactly (blanks around it aside); else one written
// alike without case and blanks; else the one column that matches without
// its unit. Not found: -1; several match without their units: -2.
inline constexpr int AmbiguousColumn = -2;
int NamedColumn(std::string_view option, const std::vector<std::string>& names);
