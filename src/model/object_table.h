#pragma once
// The fixed table that owns every controller, drive and RAID set object.
//
// 328 entries: 0-7 controllers, 8 + 20*i + d the drives and 168 + 20*i + s the
// RAID sets of controller i. Indices come from the service and from the GUI, so
// every accessor checks them: an index outside the table (controller >= 8, drive
// or set index >= 20, or negative) finds nothing and changes nothing.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "model/controller.h"
#include "model/device.h"
#include "model/raid_set.h"

namespace veltrix {

class ObjectTable {
  public:
    ObjectTable() = default;
    // Copies hold copies of every object.
    ObjectTable(const ObjectTable& other);
    ObjectTable& operator=(const ObjectTable& other);
    ObjectTable(ObjectTable&&) noexcept = default;
    ObjectTable& operator=(ObjectTable&&) noexcept = default;
    ~ObjectTable() = default;

    static constexpr int kMaxControllers = 8;
    static constexpr int kMaxDevices = 20;   // per controller
    static constexpr int kMaxRaidSets = 20;  // per controller
    static constexpr std::size_t kFirstDevice = kMaxControllers;
    static constexpr std::size_t kFirstRaidSet = kFirstDevice + kMaxControllers * kMaxDevices;
    static constexpr std::size_t kEntries = kFirstRaidSet + kMaxControllers * kMaxRaidSets;
    static_assert(kFirstRaidSet == 168 && kEntries == 328);

    // Entry numbers; nullopt for an index outside the table.
    static std::optional<std::size_t> ControllerEntry(int controller);
    static std::optional<std::size_t> DeviceEntry(int controller, int device);
    static std::optional<std::size_t> RaidSetEntry(int controller, int set);

    // The object in an entry; nullptr when the entry is empty or out of range.
    Controller* GetController(int controller);
    const Controller* GetController(int controller) const;
    Device* GetDevice(int controller, int device);
    const Device* GetDevice(int controller, int device) const;
    RaidSet* GetRaidSet(int controller, int set);
    const RaidSet* GetRaidSet(int controller, int set) const;

    // Put a new empty object in an entry (replacing what was there) and return it;
    // nullptr, and nothing changed, for an index out of range. New drives and sets
    // carry their controller number at once.
    Controller* CreateController(int controller);
    Device* CreateDevice(int controller, int device);
    RaidSet* CreateRaidSet(int controller, int set);

    // Empty one entry (no effect out of range).
    void DestroyController(int controller);
    void DestroyDevice(int controller, int device);
    void DestroyRaidSet(int controller, int set);

    // Creates the DeviceCount() drives and RaidSetCount() sets of a controller (each
    // count clamped to 20) as new empty objects. False, and nothing created, when the
    // controller number is out of range or its entry is empty.
    bool CreateDrivesAndSets(int controller);

    // Destroys every drive and set of a controller and clears the presence bit of each
    // destroyed drive that had a position. False, and nothing destroyed, for a
    // controller number out of range (the caller reports it to the user).
    bool DestroyDrivesAndSets(int controller);

    // Destroys every object and empties all entries.
    void Clear();

    // Number of entries that hold an object.
    std::size_t ObjectCount() const;

  private:
    // The 328 entries kept as three typed ranges in entry order.
    std::array<std::unique_ptr<Controller>, kMaxControllers> controllers_;
    std::array<std::unique_ptr<Device>, kMaxControllers * kMaxDevices> devices_;
    std::array<std::unique_ptr<RaidSet>, kMaxControllers * kMaxRaidSets> raidSets_;
};

// Counts from the service kept to what the table can hold.
int ClampControllerCount(std::uint32_t count);
int ClampDeviceCount(std::uint32_t count);
int ClampRaidSetCount(std::uint32_t count);

}  // namespace veltrix
