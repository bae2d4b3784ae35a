#pragma once

// How much memory the process holds, as the system counts it: the statistics overlay
// shows it beside the textures' share. The backend lives in posix/ (/proc/self/statm).

#include <cstdint>
#include <memory>
#include <optional>

class TProcessMemory
{
public:
    // The system's reader. Never null: a system without the figure answers empty from
    // GetResidentBytes.
    static std::unique_ptr<TProcessMemory> Create();
    virtual ~TProcessMemory() = default;

    // The resident set: bytes of the process's memory that are in RAM now, shared pages
    // included. Empty when the system cannot say; the first such answer of a reader is
    // logged with the cause. Cheap enough for every frame (one small read). One thread
    // at a time.
    virtual std::optional<uint64_t> GetResidentBytes() = 0;
};
