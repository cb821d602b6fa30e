// The layers point one way: no file of a lower layer includes a header of a higher
// one. The folder under src/ names a file's layer.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Rank of each top folder; a file may include headers of its own rank or lower.
const std::map<std::string, int>& Ranks() {
    static const std::map<std::string, int> ranks = {
        {"protocol", 0}, {"texts", 1}, {"model", 1},  {"session", 2},
        {"ui", 3},       {"app", 4},   {"pellow", 4},
    };
    return ranks;
}

std::optional<int> RankOf(const std::string& folder) {
    const auto it = Ranks().find(folder);
    if (it == Ranks().end()) {
        return std::nullopt;
    }
    return it->second;
}

// Texts must not include the model either: they are the lower half of their layer. The
// setup launcher is a program of its own: it and Veltrix include nothing of each other.
bool Forbidden(const std::string& from, const std::string& to) {
    const auto fromRank = RankOf(from);
    const auto toRank = RankOf(to);
    if (!fromRank || !toRank) {
        return false;
    }
    if ((from == "pellow") != (to == "pellow")) {
        return true;
    }
    return *toRank > *fromRank || (from == "texts" && to == "model");
}

struct Violation {
    std::string file;
    std::string include;
};

std::vector<Violation> ScanTree(const fs::path& root) {
    static const std::regex include(R"(^\s*#\s*include\s*"([a-z_]+)/([^"]+)\")");
    std::vector<Violation> found;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const auto ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) {
            continue;
        }
        const std::string folder = fs::relative(entry.path(), root).begin()->string();
        std::ifstream in(entry.path());
        std::string line;
        std::smatch match;
        while (std::getline(in, line)) {
            if (std::regex_search(line, match, include) && Forbidden(folder, match[1].str())) {
                found.push_back({fs::relative(entry.path(), root).string(), match[0].str()});
            }
        }
    }
    return found;
}

TEST(LayersTest, EveryFolderHasALayer) {
    for (const auto& entry : fs::directory_iterator(VELTRIX_SOURCE_DIR)) {
        if (entry.is_directory()) {
            EXPECT_TRUE(RankOf(entry.path().filename().string()))
                << entry.path().filename() << " belongs to no layer";
        }
    }
}

TEST(LayersTest, NoHeaderOfAHigherLayerIsIncluded) {
    for (const Violation& v : ScanTree(VELTRIX_SOURCE_DIR)) {
        ADD_FAILURE() << v.file << ": " << v.include;
    }
}

TEST(LayersTest, TheScanFindsAnUpwardInclude) {
    const fs::path root = fs::temp_directory_path() / "veltrix_layers_test";
    fs::remove_all(root);
    fs::create_directories(root / "model");
    fs::create_directories(root / "session");
    fs::create_directories(root / "pellow");
    std::ofstream(root / "model" / "bad.h") << "#include \"session/x.h\"\n";
    std::ofstream(root / "session" / "good.h") << "#include \"model/bad.h\"\n";
    std::ofstream(root / "pellow" / "bad.cpp") << "#include \"texts/strings.h\"\n";
    const auto found = ScanTree(root);
    fs::remove_all(root);
    std::set<std::string> files;
    for (const Violation& v : found) {
        files.insert(v.file);
    }
    EXPECT_EQ(files, (std::set<std::string>{"model/bad.h", "pellow/bad.cpp"}));
}

}  // namespace
