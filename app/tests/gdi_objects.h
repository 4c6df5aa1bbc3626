// The number of GDI objects the process holds.
#pragma once

#include <windows.h>
#include <winternl.h>

#include <cstddef>
#include <cstdint>

// Where the system does not count them (Wine answers 0), the live entries of
// the process's GDI handle table that the process block points at are counted.
inline size_t GdiObjectCount() {
    if (DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return counted;
#pragma pack(push, 1)
    struct Entry {
        uint64_t object;
        uint32_t owner;
        uint16_t unique;
        uint8_t type;
        uint8_t flags;
        uint64_t user;
    };
#pragma pack(pop)
    static_assert(sizeof(Entry) == 24);
    constexpr size_t kEntries = 0x10000;
    constexpr size_t kTableField = sizeof(void*) == 8 ? 0xF8 : 0x94;  // GdiSharedHandleTable
    PROCESS_BASIC_INFORMATION process{};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &process, sizeof process, nullptr) != 0)
        return 0;
    auto* block = reinterpret_cast<const uint8_t*>(process.PebBaseAddress);
    auto* table = *reinterpret_cast<const Entry* const*>(block + kTableField);
    // Only where the field really points at a table of that size.
    MEMORY_BASIC_INFORMATION region{};
    if (!table || !VirtualQuery(table, &region, sizeof region) || region.State != MEM_COMMIT ||
        static_cast<const uint8_t*>(region.BaseAddress) + region.RegionSize <
            reinterpret_cast<const uint8_t*>(table + kEntries))
        return 0;
    size_t live = 0;
    for (size_t i = 0; i < kEntries; ++i) live += table[i].type != 0;
    return live;
}
