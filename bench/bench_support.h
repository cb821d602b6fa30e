#pragma once
// What several benchmark programs share: a private temporary folder, where their
// threads run (--same_core, --split_cores), the time since a moment and a count option.

#include <sched.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace veltrix::bench {

// Seconds from `start` until now, on the steady clock.
inline double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A folder of its own under the temporary directory, removed with its contents.
class PrivateFolder {
  public:
    explicit PrivateFolder(const char* prefix) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        path_ = pattern;
    }
    ~PrivateFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

// The core the service's thread runs on with --split_cores; -1: wherever it runs.
inline int& ServiceCore() {
    static int core = -1;
    return core;
}

// Puts the calling thread on `core` alone; false when that fails.
inline bool PinCallingThread(int core) {
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(core, &set);
    return ::sched_setaffinity(0, sizeof(set), &set) == 0;
}

enum class Placement { Free, SameCore, SplitCores };

// Takes --same_core and --split_cores out of the arguments.
inline Placement TakePlacementOption(int& argc, char** argv) {
    Placement placement = Placement::Free;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--same_core") == 0) {
            placement = Placement::SameCore;
        } else if (std::strcmp(argv[i], "--split_cores") == 0) {
            placement = Placement::SplitCores;
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    argv[argc] = nullptr;
    return placement;
}

// Takes the placement options out of the arguments and pins the calling thread as
// they ask (call it before any thread starts, so that every thread inherits the mask);
// with --split_cores the service's thread goes to the next core. False, with a message
// naming `program`, when that cannot be done.
inline bool PlaceThreads(int& argc, char** argv, const char* program) {
    const Placement placement = TakePlacementOption(argc, argv);
    if (placement == Placement::Free) {
        return true;
    }
    const int core = ::sched_getcpu();
    if (core < 0 || !PinCallingThread(core)) {
        std::fprintf(stderr, "%s: pinning to one core: %s\n", program, std::strerror(errno));
        return false;
    }
    if (placement == Placement::SameCore) {
        std::printf("every thread on core %d\n", core);
        return true;
    }
    const int cores = static_cast<int>(::sysconf(_SC_NPROCESSORS_ONLN));
    if (cores < 2) {
        std::fprintf(stderr, "%s: --split_cores needs two cores\n", program);
        return false;
    }
    ServiceCore() = (core + 1) % cores;
    std::printf("benchmark and session on core %d, the service on core %d\n", core, ServiceCore());
    return true;
}

// Takes `--NAME N` (or `--NAME=N`) out of the arguments: 0 when not given, -1 when N is
// not a whole number from `least` to `most`.
inline int TakeCountOption(int& argc, char** argv, const std::string& name, int least, int most) {
    const std::string flag = "--" + name;
    int count = 0;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string value;
        if (arg == flag && i + 1 < argc) {
            value = argv[++i];
        } else if (arg.starts_with(flag + "=")) {
            value = arg.substr(flag.size() + 1);
        } else {
            argv[kept++] = argv[i];
            continue;
        }
        char* end = nullptr;
        const long parsed = std::strtol(value.c_str(), &end, 10);
        const bool whole = end != value.c_str() && *end == '\0';
        count = whole && parsed >= least && parsed <= most ? static_cast<int>(parsed) : -1;
    }
    argc = kept;
    argv[argc] = nullptr;
    return count;
}

}  // namespace veltrix::bench
