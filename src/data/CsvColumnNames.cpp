#include "data/CsvColumnNames.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>
#include <system_error>

#include "data/CsvText.h"

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The name without a unit in brackets after it: "Film Thickness [A]" is
// "Film Thickness". A name that is all brackets stays as it is.
std::string_view WithoutUnit(std::string_view name) {
    name = TrimBlanks(name);
    const std::size_t bracket = name.find_first_of("([");
    if (bracket != std::string_view::npos && bracket > 0) name = TrimBlanks(name.substr(0, bracket));
    return name;
}

// The words of a name without its unit, in lower case: runs of letters and
// digits (bytes of other scripts count as letters), a "#" being a word of
// its own.
std::vector<std::string> WordsOf(std::string_view name) {
    std::vector<std::string> words;
    std::string word;
    const auto end = [&] {
        if (!word.empty()) words.push_back(word);
        word.clear();
    };
    for (const char c : WithoutUnit(name)) {
        const auto u = static_cast<unsigned char>(c);
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || u >= 0x80) {
            word += Lower(c);
        } else {
            end();
            if (c == '#') words.emplace_back("#");
        }
    }
    end();
    return words;
}

bool OneOf(std::string_view word, std::initializer_list<std::string_view> set) {
    return std::find(set.begin(), set.end(), word) != set.end();
}

// Words that may stand beside an axis letter without changing its meaning.
constexpr std::string_view AxisWords[] = {"mm",       "um",    "\xC2\xB5m",  "cm",          "pos",
                                          "position", "coord", "coordinate", "coordinates", "loc",
                                          "location", "stage", "value"};

bool NamesAxis(const std::vector<std::string>& words, char axis) {
    std::vector<std::string_view> rest;
    for (const std::string& w : words)
        if (std::find(std::begin(AxisWords), std::end(AxisWords), w) == std::end(AxisWords))
            rest.emplace_back(w);
    if (rest.size() != 1) return false;
    const std::string_view w = rest.front();
    if (w.size() == 1) return w.front() == axis;
    // The axis letter written together with one such word: "xpos", "posx".
    for (const std::string_view a : AxisWords)
        if (w.size() == a.size() + 1 &&
            ((w.front() == axis && w.substr(1) == a) || (w.back() == axis && w.substr(0, a.size()) == a)))
            return true;
    return false;
}

// The one spelling of a unit written in any of the ways thickness tables
// use; empty when it is none of them. Case does not count for the Latin
// letters.
std::string KnownUnit(std::string_view unit) {
    std::string u;
    for (const char c : TrimBlanks(unit))
        u += Lower(c);
    if (OneOf(u,
              {"a", "ang", "angstrom", "angstroms", "\xC3\x85", "\xC3\xA5", "\xE2\x84\xAB", "\xC5", "\xE5"}))
        return "\xC3\x85";
    if (u == "nm") return "nm";
    if (OneOf(u, {"um", "micron", "microns", "\xC2\xB5m", "\xCE\xBCm", "\xB5m"})) return "\xC2\xB5m";
    return {};
}

}  // namespace

CsvAxis AxisOfName(std::string_view name) {
    const std::vector<std::string> words = WordsOf(name);
    if (NamesAxis(words, 'x')) return CsvAxis::X;
    if (NamesAxis(words, 'y')) return CsvAxis::Y;
    return CsvAxis::None;
}

int ThicknessRankOfName(std::string_view name) {
    int rank = -1;
    const auto take = [&rank](int r) {
        if (rank < 0 || r < rank) rank = r;
    };
    for (const std::string& w : WordsOf(name)) {
        if (w.find("thickness") != std::string::npos) take(0);
        if (w.starts_with("thk")) take(1);
        if (w == "film") take(2);
        if (w == "z") take(3);
        if (w == "value") take(4);
    }
    return rank;
}

bool IsSiteName(std::string_view name) {
    const std::vector<std::string> words = WordsOf(name);
    return !words.empty() && std::all_of(words.begin(), words.end(), [](const std::string& w) {
        return OneOf(w, {"site", "point", "pt", "no", "nr", "#", "id", "number", "num", "index"});
    });
}

std::string UnitOfName(std::string_view name) {
    name = TrimBlanks(name);
    if (name.empty()) return {};
    const char close = name.back();
    if (close == ')' || close == ']') {
        const std::size_t open = name.find_last_of(close == ')' ? '(' : '[');
        if (open == std::string_view::npos) return {};
        return KnownUnit(name.substr(open + 1, name.size() - open - 2));
    }
    // A unit as the last word ("thk_nm", "Thickness nm"); a lone "A" is no
    // unit there, it may name a layer.
    const std::size_t last = name.find_last_of(" \t_-/");
    if (last == std::string_view::npos) return {};
    const std::string_view word = name.substr(last + 1);
    return word.size() > 1 ? KnownUnit(word) : std::string();
}

std::string CanonicalUnit(std::string_view unit) {
    std::string known = KnownUnit(unit);
    return known.empty() ? std::string(TrimBlanks(unit)) : known;
}

namespace {

// Lower case without blanks and quotes; with withoutUnit, without the unit.
std::string Compact(std::string_view name, bool withoutUnit) {
    std::string out;
    for (const char c : withoutUnit ? WithoutUnit(name) : TrimBlanks(name))
        if (c != ' ' && c != '\t' && c != '"') out += Lower(c);
    return out;
}

}  // namespace

int NamedColumn(std::string_view option, const std::vector<std::string>& names) {
    option = TrimBlanks(option);
    const int count = static_cast<int>(names.size());
    int number = 0;
    const auto result = std::from_chars(option.data(), option.data() + option.size(), number);
    if (result.ec == std::errc() && result.ptr == option.data() + option.size() && number >= 1)
        return number <= count ? number - 1 : -1;
    for (int i = 0; i < count; ++i)
        if (TrimBlanks(names[static_cast<std::size_t>(i)]) == option) return i;
    const std::string loose = Compact(option, false);
    for (int i = 0; i < count; ++i)
        if (Compact(names[static_cast<std::size_t>(i)], false) == loose) return i;
    const std::string bare = Compact(option, true);
    int found = -1;
    for (int i = 0; i < count; ++i) {
        if (Compact(names[static_cast<std::size_t>(i)], true) != bare) continue;
        if (found >= 0) return AmbiguousColumn;
        found = i;
    }
    return found;
}
