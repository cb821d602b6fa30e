#pragma once
// The numbered texts (ids 101-194) as rows of their English and German text, read once
// from the installed text source (see strings.h); the texts live in translations/.

#include <cstddef>
#include <span>

namespace veltrix {

struct StringEntry {
    int id;
    const char* english;
    const char* german;
};

// The rows of every numbered text the text source knows, sorted by ascending id; empty
// before a source is installed.
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
