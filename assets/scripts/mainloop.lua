-- The program's dialog flow until the game's own start-up exists: the demonstration
-- menu, then the end of the program. The function returned here becomes the window
-- script's dialog coroutine.
return function()
    -- Returns once the menu's Quit button has popped the menu.
    DoMainWindow("scripts/windows/demomenu.lua")
    -- Ends the event loop: dispatching this message posts the quit event.
    PostMessage(CreateNamedMessage(kQuitNow, ""))
end
