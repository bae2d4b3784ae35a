#pragma once

// Tells bound script functions whether their object still lives. An object that
// publishes its operations to scripts holds a TLifeline (as a member or a base); the
// closures it publishes keep only its number, and a call after the object has died
// raises a script error instead of reaching freed memory.
//
// This header includes nothing of the interpreter and needs no library, so any engine
// or game class may hold one. Main thread only.

#include <cstdint>
#include <unordered_set>

class TLifeline
{
public:
    TLifeline() : mId(NextId()) { Live().insert(mId); }
    ~TLifeline() { Live().erase(mId); }
    // A copy belongs to another object: it gets a life of its own.
    TLifeline(const TLifeline&) : TLifeline() {}
    TLifeline& operator=(const TLifeline&) { return *this; }

    uint64_t GetId() const { return mId; }

    // Whether the lifeline with this number still exists.
    static bool IsAlive(uint64_t id) { return Live().count(id) != 0; }

private:
    static std::unordered_set<uint64_t>& Live()
    {
        static std::unordered_set<uint64_t> live;
        return live;
    }
    static uint64_t NextId()
    {
        static uint64_t next = 0;
        return ++next;
    }

    uint64_t mId;
};
