#pragma once

#include <cstdlib>
#include <string>

// Sets an environment variable (null: removes it) for one scope and restores it
// afterwards.
class TScopedEnvironment
{
public:
    TScopedEnvironment(const char* name, const char* value) : mName(name)
    {
        const char* old = std::getenv(name);
        mHadValue = old != nullptr;
        if (mHadValue)
            mOld = old;
        if (value != nullptr)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~TScopedEnvironment()
    {
        if (mHadValue)
            setenv(mName, mOld.c_str(), 1);
        else
            unsetenv(mName);
    }
    TScopedEnvironment(const TScopedEnvironment&) = delete;
    TScopedEnvironment& operator=(const TScopedEnvironment&) = delete;

private:
    const char* mName;
    std::string mOld;
    bool mHadValue = false;
};
