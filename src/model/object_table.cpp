#include "model/object_table.h"

#include <algorithm>

namespace veltrix {

namespace {

template <typename T, std::size_t N>
void CopyEntries(std::array<std::unique_ptr<T>, N>& to,
                 const std::array<std::unique_ptr<T>, N>& from) {
    for (std::size_t i = 0; i < N; ++i) {
        to[i] = from[i] ? std::make_unique<T>(*from[i]) : nullptr;
    }
}

}  // namespace

ObjectTable::ObjectTable(const ObjectTable& other) {
    *this = other;
}

ObjectTable& ObjectTable::operator=(const ObjectTable& other) {
    if (this != &other) {
        CopyEntries(controllers_, other.controllers_);
        CopyEntries(devices_, other.devices_);
        CopyEntries(raidSets_, other.raidSets_);
    }
    return *this;
}

namespace {

bool ValidController(int controller) {
    return controller >= 0 && controller < ObjectTable::kMaxControllers;
}

bool ValidIndex(int index, int limit) {
    return index >= 0 && index < limit;
}

// Position of a drive or set of a controller inside its typed range.
std::optional<std::size_t> Slot(int controller, int index, int perController) {
    if (!ValidController(controller) || !ValidIndex(index, perController)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(controller * perController + index);
}

int Clamp(std::uint32_t count, int limit) {
    return static_cast<int>(std::min<std::uint32_t>(count, static_cast<std::uint32_t>(limit)));
}

}  // namespace

std::optional<std::size_t> ObjectTable::ControllerEntry(int controller) {
    if (!ValidController(controller)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(controller);
}

std::optional<std::size_t> ObjectTable::DeviceEntry(int controller, int device) {
    const auto slot = Slot(controller, device, kMaxDevices);
    return slot ? std::optional(kFirstDevice + *slot) : std::nullopt;
}

std::optional<std::size_t> ObjectTable::RaidSetEntry(int controller, int set) {
    const auto slot = Slot(controller, set, kMaxRaidSets);
    return slot ? std::optional(kFirstRaidSet + *slot) : std::nullopt;
}

Controller* ObjectTable::GetController(int controller) {
    return ValidController(controller) ? controllers_[static_cast<std::size_t>(controller)].get()
                                       : nullptr;
}

const Controller* ObjectTable::GetController(int controller) const {
    return const_cast<ObjectTable*>(this)->GetController(controller);
}

Device* ObjectTable::GetDevice(int controller, int device) {
    const auto slot = Slot(controller, device, kMaxDevices);
    return slot ? devices_[*slot].get() : nullptr;
}

const Device* ObjectTable::GetDevice(int controller, int device) const {
    return const_cast<ObjectTable*>(this)->GetDevice(controller, device);
}

RaidSet* ObjectTable::GetRaidSet(int controller, int set) {
    const auto slot = Slot(controller, set, kMaxRaidSets);
    return slot ? raidSets_[*slot].get() : nullptr;
}

const RaidSet* ObjectTable::GetRaidSet(int controller, int set) const {
    return const_cast<ObjectTable*>(this)->GetRaidSet(controller, set);
}

Controller* ObjectTable::CreateController(int controller) {
    if (!ValidController(controller)) {
        return nullptr;
    }
    auto& entry = controllers_[static_cast<std::size_t>(controller)];
    entry = std::make_unique<Controller>();
    return entry.get();
}

Device* ObjectTable::CreateDevice(int controller, int device) {
    const auto slot = Slot(controller, device, kMaxDevices);
    if (!slot) {
        return nullptr;
    }
    devices_[*slot] = std::make_unique<Device>(static_cast<std::uint32_t>(controller));
    return devices_[*slot].get();
}

RaidSet* ObjectTable::CreateRaidSet(int controller, int set) {
    const auto slot = Slot(controller, set, kMaxRaidSets);
    if (!slot) {
        return nullptr;
    }
    raidSets_[*slot] = std::make_unique<RaidSet>(static_cast<std::uint32_t>(controller));
    return raidSets_[*slot].get();
}

void ObjectTable::DestroyController(int controller) {
    if (ValidController(controller)) {
        controllers_[static_cast<std::size_t>(controller)].reset();
    }
}

void ObjectTable::DestroyDevice(int controller, int device) {
    if (const auto slot = Slot(controller, device, kMaxDevices)) {
        devices_[*slot].reset();
    }
}

void ObjectTable::DestroyRaidSet(int controller, int set) {
    if (const auto slot = Slot(controller, set, kMaxRaidSets)) {
        raidSets_[*slot].reset();
    }
}

bool ObjectTable::CreateDrivesAndSets(int controller) {
    const Controller* owner = GetController(controller);
    if (owner == nullptr) {
        return false;
    }
    const int devices = ClampDeviceCount(owner->DeviceCount());
    const int sets = ClampRaidSetCount(owner->RaidSetCount());
    for (int d = 0; d < devices; ++d) {
        CreateDevice(controller, d);
    }
    for (int s = 0; s < sets; ++s) {
        CreateRaidSet(controller, s);
    }
    return true;
}

bool ObjectTable::DestroyDrivesAndSets(int controller) {
    if (!ValidController(controller)) {
        return false;
    }
    // Every slot of the controller is emptied, not only those below the counts: a
    // count that changed since the objects were made must not leave stale objects.
    Controller* owner = GetController(controller);
    for (int d = 0; d < kMaxDevices; ++d) {
        const Device* device = GetDevice(controller, d);
        if (device != nullptr && owner != nullptr && device->Position() != Device::kNoPosition) {
            owner->SetDevicePresent(device->Position(), false);
        }
        DestroyDevice(controller, d);
    }
    for (int s = 0; s < kMaxRaidSets; ++s) {
        DestroyRaidSet(controller, s);
    }
    return true;
}

void ObjectTable::Clear() {
    for (auto& entry : controllers_)
        entry.reset();
    for (auto& entry : devices_)
        entry.reset();
    for (auto& entry : raidSets_)
        entry.reset();
}

std::size_t ObjectTable::ObjectCount() const {
    const auto held = [](const auto& range) {
        return static_cast<std::size_t>(
            std::count_if(range.begin(), range.end(), [](const auto& p) { return p != nullptr; }));
    };
    return held(controllers_) + held(devices_) + held(raidSets_);
}

int ClampControllerCount(std::uint32_t count) {
    return Clamp(count, ObjectTable::kMaxControllers);
}

int ClampDeviceCount(std::uint32_t count) {
    return Clamp(count, ObjectTable::kMaxDevices);
}

int ClampRaidSetCount(std::uint32_t count) {
    return Clamp(count, ObjectTable::kMaxRaidSets);
}

}  // namespace veltrix
