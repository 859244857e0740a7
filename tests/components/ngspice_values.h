// The values ngspice prints for "print" in batch mode, as "name = value"
// lines, by name; lines of any other shape are skipped.
#pragma once

#include <charconv>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <string>

inline std::map<std::string, double> ParseNgspiceValues(const std::string& printed)
{
    std::map<std::string, double> out;
    std::istringstream text(printed);
    for (std::string line; std::getline(text, line);) {
        char name[64], value[64];
        if (std::sscanf(line.c_str(), " %63s = %63s", name, value) == 2) {
            double v = 0.0;
            if (std::from_chars(value, value + std::strlen(value), v).ec == std::errc()) out[name] = v;
        }
    }
    return out;
}
