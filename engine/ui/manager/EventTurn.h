#pragma once

// One turn of the game's event loop, shared by the game's loop and the tests' in-process
// engine so that both hand events on alike.

class TPlatform;
struct TEvent;

// Takes the next event from the platform into event and hands it to the live window
// manager; a request to close the main window posts the quit message. False once the
// loop is to end (the event was the quit). Main thread.
bool RunEventTurn(TPlatform& platform, TEvent& event);
