#include "engine/graphics/sprite/TScriptReaper.h"

#include "engine/script/TScript.h"

void TScriptReaper::Add(std::unique_ptr<TScript> script)
{
    if (script)
        mScripts.push_back(std::move(script));
}

bool TScriptReaper::DoTask()
{
    for (std::unique_ptr<TScript>& script : mScripts)
        script.reset();
    mScripts.clear();
    return false;
}

TScriptReaper::~TScriptReaper()
{
    DoTask();
}
