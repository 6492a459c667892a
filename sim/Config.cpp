// Configuration of the virtual mouse: a file of key = value lines named by
// KELDA_VMOUSE_CONFIG, then KELDA_VMOUSE_<KEY> variables, which win.
#include "sim/VirtualMouse.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace vmouse {

namespace {

std::string trim(const std::string &s)
{
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool parseBool(const std::string &v, bool *out)
{
    std::string l = v;
    std::transform(l.begin(), l.end(), l.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (l == "1" || l == "true" || l == "yes" || l == "on") {
        *out = true;
        return true;
    }
    if (l == "0" || l == "false" || l == "no" || l == "off") {
        *out = false;
        return true;
    }
    return false;
}

bool parseInt(const std::string &v, int *out)
{
    if (v.empty())
        return false;
    char *end = nullptr;
    const long n = std::strtol(v.c_str(), &end, 10);
    if (*end != '\0' || n < -100000 || n > 100000)
        return false;
    *out = int(n);
    return true;
}

const char *const Keys[] = {"family", "encoded", "code", "report_length", "colourful",
                            "keyboard", "duplicate_command", "deny_open"};

} // namespace

bool Config::set(const std::string &key, const std::string &rawValue, std::string *error)
{
    const std::string value = trim(rawValue);
    auto fail = [&](const std::string &why) {
        if (error)
            *error = key + ": " + why;
        return false;
    };
    if (key == "family") {
        int f = 0;
        if (!parseInt(value, &f) || (f != 553 && f != 560))
            return fail("must be 553 or 560");
        family = f;
    } else if (key == "encoded") {
        if (!parseBool(value, &encoded))
            return fail("must be true or false");
    } else if (key == "code") {
        if (value.size() != 6)
            return fail("must have six characters");
        code = value;
    } else if (key == "report_length") {
        int n = 0;
        if (!parseInt(value, &n) || n < 1 || n > 1024)
            return fail("must be a number from 1 to 1024 (the mouse uses 32, the keyboard 64)");
        reportLength = n;
    } else if (key == "colourful") {
        if (!parseBool(value, &colourful))
            return fail("must be true or false");
    } else if (key == "keyboard") {
        if (!parseBool(value, &keyboard))
            return fail("must be true or false");
    } else if (key == "duplicate_command") {
        if (!parseBool(value, &duplicateCommand))
            return fail("must be true or false");
    } else if (key == "deny_open") {
        if (!parseBool(value, &denyOpen))
            return fail("must be true or false");
    } else {
        return fail("unknown key");
    }
    return true;
}

Config Config::fromEnvironment()
{
    Config c;
    std::string error;
    if (const char *file = std::getenv("KELDA_VMOUSE_CONFIG"); file && *file) {
        std::ifstream in(file);
        if (!in)
            std::fprintf(stderr, "kelda-virtual-mouse: cannot read %s\n", file);
        std::string line;
        int lineNo = 0;
        while (std::getline(in, line)) {
            ++lineNo;
            line = trim(line);
            if (line.empty() || line[0] == '#')
                continue;
            const auto eq = line.find('=');
            if (eq == std::string::npos || !c.set(trim(line.substr(0, eq)), line.substr(eq + 1), &error))
                std::fprintf(stderr, "kelda-virtual-mouse: %s:%d: %s\n", file, lineNo,
                             eq == std::string::npos ? "expected key = value" : error.c_str());
        }
    }
    for (const char *key : Keys) {
        std::string var = "KELDA_VMOUSE_";
        for (const char *p = key; *p; ++p)
            var += char(std::toupper(static_cast<unsigned char>(*p)));
        if (const char *v = std::getenv(var.c_str()); v && *v) {
            if (!c.set(key, v, &error))
                std::fprintf(stderr, "kelda-virtual-mouse: %s: %s\n", var.c_str(), error.c_str());
        }
    }
    return c;
}

} // namespace vmouse
