#pragma once

// What a window reads from its style: a read-only, typed view of the window's
// description, each getter with a default for a missing key. Windows read keys such as
// "name", "x", "y", "w", "h", "align" and "fit" through it in Init and
// PostChildrenInit. The window script supplies the implementation over the script's
// table (where the lookup chain of default styles lives); windows never see the script.

#include "engine/foundation/core/TString.h"
#include "engine/foundation/math/TColor.h"
#include "engine/script/TLuaFunction.h"
#include "engine/script/TLuaTable.h"

#include <memory>

class TWindowStyle
{
public:
    virtual ~TWindowStyle() = default;

    virtual double GetNumber(const char* key, double defaultValue) const = 0;
    virtual TString GetString(const char* key, const TString& defaultValue) const = 0;
    // Entries 1 to 4 of a table as red, green, blue, alpha (0 to 1).
    virtual TColor GetColor(const char* key, const TColor& defaultValue) const = 0;
    virtual bool GetBool(const char* key, bool defaultValue) const = 0;
    // New handles the caller owns; null when the key is missing or of another type.
    virtual std::unique_ptr<TLuaTable> GetTable(const char* key) const = 0;
    virtual std::unique_ptr<TLuaFunction> GetFunction(const char* key) const = 0;

    // Where the window is described, for log lines about what it asks for (the script
    // file and line that builds it); "" when unknown.
    virtual TString GetOrigin() const { return TString(); }

    // The number truncated toward zero (and held to the int range).
    int GetInt(const char* key, int defaultValue) const;
};
