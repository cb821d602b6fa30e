#include "servicesim/fault_injector.h"

#include <algorithm>

#include "protocol/bytes.h"

namespace veltrix::sim {

namespace {

bool IsDrop(const FaultSpec& fault) {
    return fault.kind == FaultSpec::Kind::Drop;
}

// Rewrites the header or the bytes of one reply as a Length, Code or Patch fault says.
void ShapeReply(const FaultSpec& fault, std::vector<std::uint8_t>& reply) {
    if (fault.kind == FaultSpec::Kind::Patch) {
        if (reply.size() < fault.offset + fault.data.size()) {
            reply.resize(fault.offset + fault.data.size(), 0);
        }
        std::copy(fault.data.begin(), fault.data.end(), reply.begin() + fault.offset);
        return;
    }
    if (reply.size() < ServiceMessage::kHeaderSize) {
        return;
    }
    if (fault.kind == FaultSpec::Kind::Length) {
        PutU16(reply, 4, static_cast<std::uint16_t>(std::min<std::uint32_t>(fault.value, 0xFFFF)));
    } else {
        PutU32(reply, 0, fault.value);
    }
}

// Pads a reply to `bytes` and makes its length field say so.
void Oversize(std::uint32_t bytes, std::vector<std::uint8_t>& reply) {
    if (reply.size() < bytes) {
        reply.resize(bytes, 0);
    }
    if (reply.size() >= ServiceMessage::kHeaderSize) {
        PutU16(reply, 4,
               static_cast<std::uint16_t>(
                   std::min<std::size_t>(reply.size() - ServiceMessage::kHeaderSize, 0xFFFF)));
    }
}

}  // namespace

FaultInjector::FaultInjector(const std::vector<FaultSpec>& faults) {
    for (const FaultSpec& fault : faults) {
        faults_.push_back({fault, fault.after});
    }
}

void FaultInjector::Set(const FaultSpec& fault) {
    std::erase_if(faults_, [&](const ActiveFault& f) {
        return f.spec.code == fault.code && IsDrop(f.spec) == IsDrop(fault);
    });
    if (fault.count != 0) {
        faults_.push_back({fault, fault.after});
    }
}

void FaultInjector::Clear() {
    faults_.clear();
}

void FaultInjector::StartConnection() {
    for (ActiveFault& fault : faults_) {
        fault.repliesLeft = fault.spec.after;
    }
}

std::optional<FaultSpec> FaultInjector::Take(std::uint32_t faultCode, bool request) {
    ActiveFault* found = Find(faultCode, request, false);
    if (found == nullptr) {
        return std::nullopt;
    }
    const FaultSpec fault = found->spec;
    Use(found);
    return fault;
}

void FaultInjector::ApplyDrop(std::uint32_t faultCode, bool request, Outcome& outcome) {
    ActiveFault* drop = Find(faultCode, request, true);
    if (drop == nullptr) {
        return;
    }
    if (outcome.replies.size() >= drop->repliesLeft) {
        outcome.replies.resize(drop->repliesLeft);
        outcome.close = true;
        drop->repliesLeft = drop->spec.after;
        Use(drop);
    } else {
        drop->repliesLeft -= static_cast<std::uint32_t>(outcome.replies.size());
    }
}

FaultInjector::ActiveFault* FaultInjector::FindExact(std::uint32_t code, bool drop) {
    const auto found = std::find_if(faults_.begin(), faults_.end(), [&](const ActiveFault& f) {
        return f.spec.code == code && IsDrop(f.spec) == drop;
    });
    return found != faults_.end() ? &*found : nullptr;
}

FaultInjector::ActiveFault* FaultInjector::Find(std::uint32_t faultCode, bool request, bool drop) {
    // A request whose code happens to be the login's fault code is still a request.
    if (ActiveFault* own =
            request && faultCode == kLoginFaultCode ? nullptr : FindExact(faultCode, drop)) {
        return own;
    }
    if (request && IsFlashWriteBlock(faultCode)) {
        if (ActiveFault* blocks = FindExact(kFlashWriteBlockFaultCode, drop)) {
            return blocks;
        }
    }
    return request ? FindExact(kAnyCommandFaultCode, drop) : nullptr;
}

void FaultInjector::Use(ActiveFault* fault) {
    if (fault->spec.count > 0 && --fault->spec.count == 0) {
        faults_.erase(faults_.begin() + (fault - faults_.data()));
    }
}

void ShapeReplies(const FaultSpec& fault, std::vector<std::vector<std::uint8_t>>& replies) {
    switch (fault.kind) {
        case FaultSpec::Kind::Silent:
            replies.clear();
            break;
        case FaultSpec::Kind::Short:
            for (auto& reply : replies) {
                reply.resize(std::min<std::size_t>(reply.size(), fault.bytes));
            }
            break;
        case FaultSpec::Kind::Oversized:
            for (auto& reply : replies) {
                Oversize(fault.bytes, reply);
            }
            break;
        case FaultSpec::Kind::Length:
        case FaultSpec::Kind::Code:
        case FaultSpec::Kind::Patch:
            for (auto& reply : replies) {
                ShapeReply(fault, reply);
            }
            break;
        case FaultSpec::Kind::Late:
        case FaultSpec::Kind::Close:
        case FaultSpec::Kind::Drop:
            break;
    }
}

}  // namespace veltrix::sim
