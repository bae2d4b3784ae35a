#pragma once

// Compiles a particle script's expression values into stream entries, in postfix order,
// onto a pending list that the script then moves into the spawn or the per-frame stream.
//
// An expression value is a number (a constant), a member handle (a member read), a
// table of 1 to 4 numbers without "cmd" (a constant vector), or a table {cmd, params}
// whose operands (params; for a table without "cmd" or with an empty one, the table
// itself, as fVec) are compiled first through the script's CompileParameters. A command
// without a node is reported through "_ALERT" ("Type not found: <cmd>"), and no node of
// the expression it stands in reaches the pending list; a value that cannot be compiled
// raises a script error, and the nodes already compiled for that expression are dropped
// too, so every stream holds only whole expressions.

#include "engine/graphics/particles/TParticleStreamEntry.h"

#include <memory>
#include <span>
#include <vector>

struct lua_State;

class TParticleCompiler
{
public:
    using TFactory = std::shared_ptr<TParticleFunction> (*)();
    struct TCommand
    {
        const char* name;
        TFactory factory;
        bool scriptFunction; // scripts call it as a function (fRange(a, b)); else an operator
    };
    // Every command with a node, operators and script functions.
    static std::span<const TCommand> Commands();
    // A new node for command; null when it has none.
    static std::shared_ptr<TParticleFunction> CreateNode(const char* command);

    // The script function "CompileParam": compiles argument 1 onto the pending list and
    // returns its result dimension.
    int CompileParam(lua_State* L);
    // Hands over the pending list, leaving it empty.
    std::vector<TParticleStreamEntry> TakePending();
    void Clear();

private:
    class TExpressionScope;

    int Compile(lua_State* L, int index);
    int CompileConstant(lua_State* L, int index, int count);
    int CompileCommand(lua_State* L, const char* command, int operands);
    void Append(std::shared_ptr<TParticleFunction> node, int operandCount,
                const uint8_t* operandDimensions);

    std::vector<TParticleStreamEntry> mPending;
    int mDepth = 0;        // CompileParam calls under way
    bool mRefused = false; // the outermost expression under way has a command without node
};
