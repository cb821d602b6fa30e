// The layers point one way: no file of a lower layer includes a header of a higher
// one. A file's layer is its folder under src/, and under src/gui its feature folder.
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

// Rank of each folder; a file may include headers of its own folder or a lower rank.
const std::map<std::string, int>& Ranks() {
    static const std::map<std::string, int> ranks = {
        {"protocol", 0},      {"texts", 1},        {"model", 1},        {"session", 2},
        {"password", 3},      {"status", 3},       {"watch", 3},        {"gui/platform", 4},
        {"gui/resources", 5}, {"gui/shell", 6},    {"gui/diagram", 6},  {"gui/bios", 6},
        {"gui/about", 6},     {"gui/errorlog", 6}, {"gui/events", 6},   {"gui/mail", 6},
        {"gui/settings", 6},  {"gui/hosts", 6},    {"gui/hostview", 7}, {"gui/mainwindow", 8},
        {"gui/app", 9},       {"pellow", 10},
    };
    return ranks;
}

// The feature folders of the program: each uses platform, resources and the layers
// below, never another feature (the main window opens them).
constexpr int kFeatureRank = 6;

std::optional<int> RankOf(const std::string& folder) {
    const auto it = Ranks().find(folder);
    if (it == Ranks().end()) {
        return std::nullopt;
    }
    return it->second;
}

bool IsGui(const std::string& folder) {
    return folder.starts_with("gui/");
}

// Texts must not include the model either: they are the lower half of their layer. The
// setup launcher is a program of its own, and so is veltrix-status: neither includes
// anything of the Veltrix program (its GUI and the hosts it watches), nor it of them.
bool Forbidden(const std::string& from, const std::string& to) {
    const auto fromRank = RankOf(from);
    const auto toRank = RankOf(to);
    if (!fromRank || !toRank || from == to) {
        return false;
    }
    if ((from == "pellow") != (to == "pellow")) {
        return true;
    }
    const auto program = [](const std::string& folder) {
        return IsGui(folder) || folder == "watch";
    };
    if ((from == "status" && program(to)) || (program(from) && to == "status")) {
        return true;
    }
    // Where the password lives serves both programs and includes neither.
    if (from == "password" && (to == "status" || program(to))) {
        return true;
    }
    if (*fromRank == kFeatureRank && *toRank == kFeatureRank) {
        return true;
    }
    return *toRank > *fromRank || (from == "texts" && to == "model");
}

// The layer of a path under src/ ("gui/mail/x.h" is "gui/mail", "session/x.h" "session").
std::string LayerOf(const fs::path& relative) {
    auto part = relative.begin();
    std::string layer = part->string();
    if (layer == "gui" && std::next(part) != relative.end()) {
        layer += "/" + std::next(part)->string();
    }
    return layer;
}

struct Violation {
    std::string file;
    std::string include;
};

std::vector<Violation> ScanTree(const fs::path& root) {
    static const std::regex include(R"(^\s*#\s*include\s*"([a-z_]+/[^"]+)\")");
    std::vector<Violation> found;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const auto ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) {
            continue;
        }
        const fs::path relative = fs::relative(entry.path(), root);
        const std::string layer = LayerOf(relative);
        std::ifstream in(entry.path());
        std::string line;
        std::smatch match;
        while (std::getline(in, line)) {
            if (std::regex_search(line, match, include) &&
                Forbidden(layer, LayerOf(fs::path(match[1].str()).parent_path()))) {
                found.push_back({relative.string(), match[0].str()});
            }
        }
    }
    return found;
}

TEST(LayersTest, EveryFolderHasALayer) {
    for (const auto& entry : fs::recursive_directory_iterator(VELTRIX_SOURCE_DIR)) {
        const auto relative = fs::relative(entry.path(), VELTRIX_SOURCE_DIR);
        if (entry.is_regular_file() &&
            (relative.extension() == ".h" || relative.extension() == ".cpp")) {
            EXPECT_TRUE(RankOf(LayerOf(relative))) << relative << " belongs to no layer";
        }
    }
}

TEST(LayersTest, NoHeaderOfAHigherLayerIsIncluded) {
    for (const Violation& v : ScanTree(VELTRIX_SOURCE_DIR)) {
        ADD_FAILURE() << v.file << ": " << v.include;
    }
}

// Each file includes one header; the scan reports exactly the forbidden ones.
TEST(LayersTest, TheScanFindsEachForbiddenInclude) {
    struct Case {
        const char* file;
        const char* include;
        bool forbidden;
    };
    const Case cases[] = {
        {"model/up.h", "session/x.h", true},
        {"session/down.h", "model/x.h", false},
        {"texts/side.h", "model/x.h", true},
        {"pellow/other.cpp", "texts/strings.h", true},
        {"status/gui.cpp", "gui/platform/x.h", true},
        {"gui/mail/status.cpp", "status/x.h", true},
        {"password/up.cpp", "status/x.h", true},
        {"status/keyring.cpp", "password/x.h", false},
        {"gui/mail/feature.cpp", "gui/settings/x.h", true},
        {"gui/mail/own.cpp", "gui/mail/x.h", false},
        {"gui/mail/platform.cpp", "gui/platform/x.h", false},
        {"gui/platform/up.cpp", "gui/resources/x.h", true},
        {"gui/mainwindow/feature.cpp", "gui/mail/x.h", false},
        {"gui/diagram/window.cpp", "gui/mainwindow/x.h", true},
        {"watch/down.cpp", "session/x.h", false},
        {"watch/up.cpp", "gui/platform/x.h", true},
        {"watch/status.cpp", "status/x.h", true},
        {"gui/mainwindow/watch.cpp", "watch/x.h", false},
    };
    const fs::path root = fs::temp_directory_path() / "veltrix_layers_test";
    fs::remove_all(root);
    std::set<std::string> expected;
    for (const Case& c : cases) {
        fs::create_directories((root / c.file).parent_path());
        std::ofstream(root / c.file) << "#include \"" << c.include << "\"\n";
        if (c.forbidden) {
            expected.insert(fs::path(c.file).string());
        }
    }
    const auto found = ScanTree(root);
    fs::remove_all(root);
    std::set<std::string> files;
    for (const Violation& v : found) {
        files.insert(v.file);
    }
    EXPECT_EQ(files, expected);
}

}  // namespace
