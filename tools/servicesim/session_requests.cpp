// The engine's side of a connection: the login block, the frames after it, the
// acknowledged settings exchanges, the service password and the log-off.

#include <vector>

#include "servicesim/engine.h"
#include "servicesim/request.h"

namespace veltrix::sim {

Outcome ServiceEngine::Login(ByteView block, std::uint64_t nowMs) {
    AdvanceTo(nowMs);
    Outcome out;
    out.kind = Outcome::Kind::Login;
    // The password is NUL-terminated inside the 100-byte block; what follows the NUL
    // means nothing. A block without a NUL cannot match (passwords have at most 99).
    const std::string given = block.Text(0, kLoginBlockSize);
    const bool terminated = given.size() < kLoginBlockSize;
    const bool factory = !factoryPassword_.empty() && given == factoryPassword_;
    if (terminated && (given == password_ || factory)) {
        session_ = Session{};
        session_.loggedIn = true;
        out.replies.emplace_back(kLoginAccepted.begin(), kLoginAccepted.end());
        for (Scheduled& s : schedule_) {
            if (s.timing.anchor == Anchor::Login) {
                s.nextDueMs = nowMs + s.timing.atMs;
            }
        }
    } else {
        out.replies.push_back({0, 0, 0, 0});
        out.close = true;
    }
    return out;
}

Outcome ServiceEngine::Message(ByteView frame, std::uint64_t nowMs) {
    AdvanceTo(nowMs);
    Outcome out;
    if (frame.Size() < ServiceMessage::kHeaderSize) {
        out.kind = Outcome::Kind::Malformed;
        return out;
    }
    out.code = frame.U32(0);
    const std::size_t length = frame.U16(4);
    if (length > ServiceMessage::kMaxData) {
        out.kind = Outcome::Kind::Malformed;
        return out;
    }
    // Data bytes the frame says it has; missing ones read as zeros via ByteView, a
    // longer message is cut to its length.
    const ByteView rest = frame.Sub(ServiceMessage::kHeaderSize);
    std::vector<std::uint8_t> bytes(length);
    rest.CopyTo(0, bytes);
    const ByteView data(bytes);

    if (session_.dataExpected > 0) {
        // Data messages of an acknowledged exchange count by position, whatever code
        // they carry (the client leaves the acknowledgement's code in them).
        out.kind = Outcome::Kind::Data;
        AcceptData(data);
        return out;
    }
    Request request{.code = out.code, .data = data, .nowMs = nowMs, .outcome = {}};
    Dispatch(request);
    request.outcome.kind = Outcome::Kind::Request;
    request.outcome.code = request.code;
    return std::move(request.outcome);
}

void ServiceEngine::Acknowledge(Request& request, std::size_t dataMessages) {
    request.Reply({});
    session_.ackCode = request.code;
    session_.dataExpected = dataMessages;
    session_.dataIndex = 0;
}

void ServiceEngine::OnSetServicePassword(Request& request) {
    // Takes effect at the next login.
    password_ = DataText(request.data, kMaxPasswordLength);
    factoryPassword_.clear();
}

void ServiceEngine::OnLogoff(Request& request) {
    request.outcome.close = true;
}

}  // namespace veltrix::sim
