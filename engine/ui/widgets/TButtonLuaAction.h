#pragma once

#include "engine/ui/widgets/TButton.h"

#include <memory>

class TLuaFunction;

// A button command written in script: each press hands the window script a "LuaAction:"
// message named after the button together with the function, which the script runs in
// its dialog coroutine (or queues while that is busy).
class TButton::LuaAction final : public TButton::Action
{
public:
    // Keeps function for the life of the action.
    explicit LuaAction(std::unique_ptr<TLuaFunction> function);
    ~LuaAction() override;

    // The script takes over what it is handed, so every press hands it a new handle on
    // the function and the action keeps its own. Nothing once the script state is closed.
    void Execute(TButton& button) override;

    const TLuaFunction& GetFunction() const { return *mFunction; }

private:
    std::unique_ptr<TLuaFunction> mFunction;
};
