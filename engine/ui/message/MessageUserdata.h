#pragma once

// Window messages as scripts see them: a boxed pointer to a TMessage whose metatable is
// kept in the script registry under "hvMessageMetatable". Its "__index" answers the
// fields `type` and `name` (every other field is nil) and its "__gc" deletes the
// message, so a message pushed here belongs to the script from then on.

#include <memory>

struct lua_State;
class TMessage;

// Makes the metatable unless the registry holds it already. The stack is left as it was.
void RegisterMessageMetatable(lua_State* L);

// Pushes message as a script value; the script owns it from now on.
void PushMessageUserdata(lua_State* L, std::unique_ptr<TMessage> message);

// The message a script value at index stands for; null for any value that is not a
// message pushed by PushMessageUserdata (other boxed pointers included).
TMessage* ToMessage(lua_State* L, int index);
