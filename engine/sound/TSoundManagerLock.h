#pragma once

#include "engine/sound/TSoundManager.h"

// Holds the live sound manager's lock for a scope; holds nothing when there is no
// manager. Every operation on streams and instances runs inside one.
class TSoundManagerLock
{
public:
    TSoundManagerLock() : mManager(TSoundManager::Get())
    {
        if (mManager != nullptr)
            mManager->Lock();
    }
    ~TSoundManagerLock()
    {
        if (mManager != nullptr)
            mManager->Unlock();
    }
    TSoundManagerLock(const TSoundManagerLock&) = delete;
    TSoundManagerLock& operator=(const TSoundManagerLock&) = delete;

private:
    TSoundManager* mManager;
};
