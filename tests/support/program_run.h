#pragma once
// Runs a program as a child process with extra environment variables, collects its
// standard output and error and its exit code. A child that outlives its bound is
// killed and reported as such, so a hanging program fails its test instead of
// holding the suite.

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace veltrix::testing {

struct ProgramResult {
    int exitCode = -1;  // -1: killed by a signal or after the bound
    bool timedOut = false;
    std::string out;
    std::string err;
};

// `environment` entries are set (empty value: removed) on top of this process's.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment = {},
                         std::chrono::milliseconds bound = std::chrono::seconds(30));

// A file's whole content ("" when it cannot be read).
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);

}  // namespace veltrix::testing
