#pragma once

#include <chrono>
#include <thread>

// Polls done() every 2 ms until it is true. The deadline only bounds a failing run: no
// test measures time with it. False when the deadline passed.
template <typename TDone> bool WaitUntil(TDone done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
