-- The demonstration menu: a title and four buttons over the background. Hello changes
-- the title, Ask opens a confirm dialog and shows its answer, Guest card opens a dialog
-- of entry fields and reports what it was given, Quit closes the menu (and with it the
-- program, see scripts/mainloop.lua).
--
-- Labels in the dialog tables start with "#" so that they are shown as written, without
-- strings.xml keys; SetLabel shows its text as it is, so its texts have no "#".

local g = { "ui/btn_up.png", "ui/btn_down.png", "ui/btn_over.png" }

local function Label(s)
    return Text { name = "label", x = 0, y = 0, w = kMax, h = kMax, label = s,
                  flags = kPushButtonAlignment }
end

-- Text typed by the player, made safe for a label: the text layout reads "<" as the
-- start of a tag and "\" as an escape.
local function Plain(s)
    return (string.gsub(s, "([\\<])", "\\%1"))
end

-- What the guest card's status line says about a message from one of its windows.
local function GuestCardStatus(msg)
    if msg.type == 7 then
        return "Welcome, " .. Plain(GetLabel("guestname")) .. "."
    elseif msg.type == 9 then
        return "Volume: adjusting..."
    elseif msg.type == 10 then
        return "Volume set."
    elseif msg.type == kButtonPress and msg.name == "music" then
        if GetButtonToggleState("music") then
            return "Soft music on."
        end
        return "Soft music off."
    elseif msg.type == kButtonPress and GetButtonToggleState(msg.name) then
        return "Scent: " .. GetLabel(msg.name) .. "."
    end
    return nil
end

-- Opens the guest card over the menu and waits until it closes. Meanwhile the messages
-- of its windows (typed characters, slider moves, button presses) update its status
-- line. Gives what the card's OK command handed back, or the name of the close button.
local function GuestCard()
    local file = "scripts/windows/demosettings.lua"
    local id = PushModal(file)
    ReadFile(file)
    DoFitToChildren()
    while not gClosedWindows[id] do
        local msg = WaitForMessage()
        if msg then
            if msg.type == kModalClosed then
                gClosedWindows[msg.name] = true
            else
                local status = GuestCardStatus(msg)
                if status then
                    SetLabel("status", status)
                end
            end
        end
    end
    gClosedWindows[id] = nil
    local value = gReturnValue
    gReturnValue = nil
    return value
end

-- The menu title for what the guest card gave back.
local function GuestCardTitle(card)
    if type(card) ~= "table" then
        return "Guest card put away"
    end
    local name = card.name
    if name == "" then
        name = "Guest"
    end
    local music = "quiet"
    if card.music then
        music = "soft music"
    end
    return Plain(name) .. ": " .. card.scent .. ", " .. music
end

MakeDialog
{
    SetStyle { font = { "__DEFAULT", 24, Color(255, 255, 255) } },
    Bitmap { name = "bg", image = "ui/menu_bg.png" },
    Text { name = "title", x = kCenter, y = 80, w = 700, h = 48, label = "#Engine demo",
           font = { "__DEFAULT", 32, Color(255, 246, 222) }, flags = kHAlignCenter },
    Button { name = "btnHello", x = kCenter, y = 180, graphics = g,
             sound = "audio/click.ogg", rolloversound = "audio/over.ogg",
             command = function() SetLabel("title", "Hello pressed") end,
             Label("#Hello") },
    Button { name = "btnAsk", x = kCenter, y = 250, graphics = g,
             sound = "audio/click.ogg", rolloversound = "audio/over.ogg",
             command = function()
                 local answer = DoModal("scripts/windows/democonfirm.lua")
                 SetLabel("title", "Answer: " .. tostring(answer))
             end,
             Label("#Ask") },
    Button { name = "btnGuest", x = kCenter, y = 320, graphics = g,
             sound = "audio/click.ogg", rolloversound = "audio/over.ogg",
             command = function() SetLabel("title", GuestCardTitle(GuestCard())) end,
             Label("#Guest card") },
    -- A close button: it pops the menu, which ends DoMainWindow.
    Button { name = "btnQuit", x = kCenter, y = 390, graphics = g,
             sound = "audio/click.ogg", rolloversound = "audio/over.ogg", close = true,
             Label("#Quit") },
}
