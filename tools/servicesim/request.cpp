#include "servicesim/request.h"

#include <algorithm>
#include <vector>

namespace veltrix::sim {

void Request::Reply(std::span<const std::uint8_t> bytes) {
    outcome.replies.push_back(BuildReply(code, bytes));
}

void Request::ReplyU32(std::uint32_t value) {
    ByteWriter w;
    w.U32(value);
    Reply(w.Take());
}

void Request::ReplyText(const std::string& text, std::size_t maxLength) {
    const std::size_t n = std::min(text.size(), maxLength);
    Reply(std::vector<std::uint8_t>(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n)));
}

std::uint32_t DataNumber(ByteView data) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(data.Size(), 4); ++i) {
        v |= static_cast<std::uint32_t>(data.U8(i)) << (8 * i);
    }
    return v;
}

std::string DataText(ByteView data, std::size_t maxLength) {
    return data.Text(0, std::min(data.Size(), maxLength));
}

}  // namespace veltrix::sim
