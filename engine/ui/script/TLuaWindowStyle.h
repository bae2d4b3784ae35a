#pragma once

// A window's style as the window script describes it: a read-only view of the window's
// script table. A key the table lacks is looked up in the global "gCurrentDefaultStyle",
// then along that table's chain of "parent" tables; the window's own "parent" entry is
// never followed, and the default style is consulted only once. (When the viewed value is
// not a table at all, the global named by the key stands in for the window's own entry.)
// Found values convert with the script's pop operations (TScript::PopNumber, PopString,
// PopColor, PopBool); every getter leaves the script's stack as it found it.
//
// Main thread only.

#include "engine/ui/window/TWindowStyle.h"

class TScript;
struct lua_State;

class TLuaWindowStyle final : public TWindowStyle
{
public:
    // Logged when the default styles' parent chain runs too long (the key, the limit).
    static constexpr const char* kParentChainTooLongLog =
        "ui: window style: %s: the default styles' parent chain is longer than %d (a cycle?)";

    // Neither is owned; both must outlive the style and belong to the same state. builder:
    // the thread whose script builds the window (GetOrigin), or null.
    TLuaWindowStyle(TScript& script, TLuaTable& table, lua_State* builder = nullptr);

    double GetNumber(const char* key, double defaultValue) const override;
    TString GetString(const char* key, const TString& defaultValue) const override;
    TColor GetColor(const char* key, const TColor& defaultValue) const override;
    bool GetBool(const char* key, bool defaultValue) const override;
    std::unique_ptr<TLuaTable> GetTable(const char* key) const override;
    std::unique_ptr<TLuaFunction> GetFunction(const char* key) const override;
    // The builder's position in its script file (FindScriptFilePosition).
    TString GetOrigin() const override;

    // A chain of default styles longer than this is cut (a "parent" cycle would never end).
    static constexpr int kMaxChain = 64;

private:
    // Pushes the value found for key on the state's main thread and answers true; false
    // (nothing pushed) when it is found nowhere.
    bool Find(const char* key) const;
    // read() converts the found value; the stack is restored whatever happens.
    template <class T, class Read> T Lookup(const char* key, T defaultValue, Read read) const;

    TScript& mScript;
    TLuaTable& mTable;
    lua_State* mBuilder;
};
