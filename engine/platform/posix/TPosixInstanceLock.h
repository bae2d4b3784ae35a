#pragma once

#include "engine/platform/TInstanceLock.h"

// The instance lock as flock() on a file in $XDG_RUNTIME_DIR (else /tmp).
class TPosixInstanceLock final : public TInstanceLock
{
public:
    static TResult Create(const std::string& name, std::unique_ptr<TInstanceLock>& lock);
    ~TPosixInstanceLock() override;

private:
    explicit TPosixInstanceLock(int descriptor) : mDescriptor(descriptor) {}

    int mDescriptor;
};
