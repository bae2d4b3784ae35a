// The Lua functions of the player profiles, used by the front-end windows. Scripts use
// these names: change them together.
//
//   UserExists(name) -> boolean      InsertUser(name)        UserCount() -> number
//   GetUserName(index) -> string     DeleteUser(index)       ChangeUser(index)
//   GetCurrentUser() -> string       SaveWindowMode()        LoadUserData()
//   ClearUserData()                  FirstTimePlayed() -> boolean
//   MarkAsPlayed()

#include "game/core/data/UserManager.h"
#include "game/core/script/ScriptPublisher.h"

namespace YOLT::Core {

void UserManager::PublishScriptFunctions(lua_State* L)
{
    ScriptPublisher(L, *this, mLifeline)
        .Add<&UserManager::UserExists>("UserExists")
        .Add<&UserManager::InsertUser>("InsertUser")
        .Add<&UserManager::UserCount>("UserCount")
        .Add<&UserManager::GetUserName>("GetUserName")
        .Add<&UserManager::DeleteUser>("DeleteUser")
        .Add<&UserManager::ChangeUser>("ChangeUser")
        .Add<&UserManager::GetCurrentUser>("GetCurrentUser")
        .Add<&UserManager::SaveWindowMode>("SaveWindowMode")
        .Add<&UserManager::LoadUserData>("LoadUserData")
        .Add<&UserManager::ClearUserData>("ClearUserData")
        .Add<&UserManager::FirstTimePlayed>("FirstTimePlayed")
        .Add<&UserManager::MarkAsPlayed>("MarkAsPlayed");
}

} // namespace YOLT::Core
