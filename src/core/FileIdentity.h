#pragma once

#include <string>

// Whether two names lead to the same file: the same device and inode when
// both exist (links, "./" and ".." seen through); for two names of which
// neither exists yet (two outputs to be created), the same resolved folder
// and name.
bool SameFile(const std::string& a, const std::string& b);
