#pragma once
// The raw string table: one row per id with its English and German text, sorted by id.

#include <cstddef>
#include <span>

namespace veltrix {

struct StringEntry {
    int id;
    const char* english;
    const char* german;
};

// All rows of the program's string table, sorted by ascending id, no id twice.
std::span<const StringEntry> StringTable();

// True when `rows` is sorted by strictly ascending id and every row has both texts.
constexpr bool IsWellFormedTable(std::span<const StringEntry> rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].english == nullptr || rows[i].german == nullptr) {
            return false;
        }
        if (i > 0 && rows[i - 1].id >= rows[i].id) {
            return false;
        }
    }
    return true;
}

}  // namespace veltrix
