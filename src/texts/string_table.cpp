// The numbered texts as rows, read from the text source on first use.

#include "texts/string_table.h"

#include <string>
#include <vector>

#include "texts/strings.h"

namespace veltrix {
namespace {

constexpr int kFirstId = 101;
constexpr int kLastId = 194;

struct LoadedTable {
    std::vector<std::string> texts;  // English and German of each row, in row order
    std::vector<StringEntry> rows;

    LoadedTable() {
        std::vector<int> ids;
        for (int id = kFirstId; id <= kLastId; ++id) {
            if (HasString(id)) {
                ids.push_back(id);
                texts.push_back(LoadString(id, Language::English));
                texts.push_back(LoadString(id, Language::German));
            }
        }
        for (std::size_t i = 0; i < ids.size(); ++i) {
            rows.push_back({ids[i], texts[2 * i].c_str(), texts[2 * i + 1].c_str()});
        }
    }
};

}  // namespace

std::span<const StringEntry> StringTable() {
    static const LoadedTable kTable;
    return kTable.rows;
}

}  // namespace veltrix
