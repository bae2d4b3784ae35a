#pragma once

// The window functions of window scripts, published as globals in this order:
//   PostCreate(style, text)          finishes the current window (PostChildrenInit)
//   GetLabel(name) -> text           a label under the top modal window; otherwise
//                                    "<name>_is_not_found", or
//                                    "<name>_is_not_a_TText_window_or_TButton" for a
//                                    window without a label, "" without a top modal
//   SetLabel(name, text)
//   _SetBitmap(name, file, scale)    a new picture for an image
//   SetPosition(name, x, y)          moves a window (relative codes resolved)
//   SetCommand(name, function)       a button's command
//   SetWindowName(name)              renames the current window
//   FillRect({l,t,r,b}, {r,g,b,a})   fills at once, cut to the root window
//   GetTimer() -> ms                 the window host's timer (the time source's
//                                    without a window manager)
//   GetConfig(name, default) -> text, IsEnabled(name) -> boolean   settings
//   DoSelectLayer(layer)             layer of the current layered window
//   EnableWindow(name, on) -> found  shows or hides a window, searching up from the
//                                    top modal window
//   GetButtonToggleState(name) -> on, SetButtonToggleState(name, on)   the latter at
//                                    every level from the top modal to the root
//   PopWindow()                      back to the parent window
//   RealSetFocus(name)               the focus to a window in the current window
//   StringToClipboard(text) -> done  through the window host
//   UpdateWindow()                   redraws
//   PushModal(name) -> id            a new modal window; its id string
//   ClearModalChildren()             empties the top modal window
//   GetWindowDepth() -> count        windows from the top modal to the root
//   DoPopModal(name)                 pops modal windows down to the one named
//   HandleGetMessage([ms]) -> message, command   waits (TWindowScript)
//   GenericCreate(table) -> made     makes a window of table.typename
//   CreateNamedMessage(type, name) -> message, CreateCloseMessage() -> message
//   PostMessage(message), PostMessageToParent(message)   queue a message (the latter
//                                    for the top modal's parent)
//   _GetString(label, a1 .. a5) -> text   the window host's string table
//   StartMovie(file, translate, input) -> started, IsMoviePlaying(), StopMovie()
//   ImageLoaded(name) -> loaded      an image under the top modal shows a picture
//   DestroyWindow(name)              removes a window of the current window's subtree
//   DoFitToChildren()                grows the current window to its children
//   _ReportCommandError(message, command)   logs the error of a command (RunCommand in
//                                    screeninit.lua) with the caller's frames
// Names search from the top modal window's subtree unless said otherwise. The functions
// of the script itself raise a script error once the script is gone (lifeline); the
// others reach the live window manager and do nothing without one. Scripts use these
// names: change them together with the scripts.

struct lua_State;
class TLifeline;
class TWindowScript;

// Logged when a function that needs a modal window runs without one (its name).
inline constexpr const char* kWithoutModalLog = "ui: window script: %s without a modal window";

void PublishWindowScript(lua_State* L, TWindowScript& script, const TLifeline& lifeline);
