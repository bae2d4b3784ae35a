-- The guest card: a dialog of entry fields on a large translucent panel. A text entry
-- for the guest's name, a volume slider, a toggle button and a group of three radio
-- buttons, a status line that the menu's script keeps up to date (see GuestCard in
-- demomenu.lua), and two close buttons. OK hands back what was entered; Enter presses
-- it, as it is the default button.

local g2 = { "ui/btn_small_up.png", "ui/btn_small_down.png", "ui/btn_small_over.png" }
local check = { "ui/check_off.png", "ui/check_on.png", "ui/check_off_over.png",
                "ui/check_on_over.png" }
local radio = { "ui/radio_off.png", "ui/radio_on.png", "ui/radio_off_over.png",
                "ui/radio_on_over.png" }
local cream = Color(243, 234, 215)

local function Label(s)
    return Text { name = "label", x = 0, y = 0, w = kMax, h = kMax, label = s,
                  flags = kPushButtonAlignment }
end

-- The label of a toggle or radio button, right of its box.
local function BoxLabel(s)
    return Text { name = "label", x = 40, y = 0, w = kMax, h = kMax, label = s,
                  flags = kRadioButtonAlignment }
end

-- A caption left of a row.
local function Caption(name, y, s)
    return Text { name = name, x = 160, y = y, w = 130, h = 40, label = s,
                  flags = kHAlignLeft + kVAlignCenter }
end

local function Scent(name, y, s, on)
    return Button { name = name, x = 300, y = y, type = kRadio, graphics = radio, on = on,
                    sound = "audio/click.ogg", BoxLabel(s) }
end

-- What OK hands back to the menu.
local function Entered()
    local scent = "Lavender"
    if GetButtonToggleState("eucalyptus") then
        scent = "Eucalyptus"
    elseif GetButtonToggleState("citrus") then
        scent = "Citrus"
    end
    return { name = GetLabel("guestname"), music = GetButtonToggleState("music"),
             scent = scent }
end

MakeDialog
{
    SetStyle { font = { "__DEFAULT", 20, cream } },
    Bitmap { name = "panel", image = "ui/panel_large.png", alpha = true, x = kCenter,
             y = kCenter },
    Text { name = "heading", x = kCenter, y = 86, w = 400, h = 40, label = "#Guest card",
           font = { "__DEFAULT", 26, Color(255, 246, 222) }, flags = kPushButtonAlignment },

    Caption("namecaption", 150, "#Name"),
    Bitmap { name = "field", image = "ui/field.png", alpha = true, x = 300, y = 150 },
    TextEdit { name = "guestname", x = 312, y = 150, w = 280, h = 40, length = 16,
               label = "", font = { "__DEFAULT", 20, Color(23, 56, 58) },
               flags = kHAlignLeft + kVAlignCenter },

    Caption("volumecaption", 210, "#Volume"),
    Slider { name = "volume", x = 300, y = 216, w = 300, h = 28, hslider = 1,
             railtop = "ui/rail_top.png", railmid = "ui/rail_mid.png",
             railbot = "ui/rail_bot.png", sliderimage = "ui/knob.png",
             sliderrollimage = "ui/knob_over.png" },

    Button { name = "music", x = 160, y = 270, type = kToggle, graphics = check,
             sound = "audio/click.ogg", BoxLabel("#Soft music") },

    Caption("scentcaption", 312, "#Scent"),
    BeginGroup(),
    Scent("lavender", 316, "#Lavender", true),
    Scent("eucalyptus", 352, "#Eucalyptus", false),
    Scent("citrus", 388, "#Citrus", false),

    Text { name = "status", x = kCenter, y = 428, w = 480, h = 30,
           label = "#Type a name, paste one, or drag the volume.",
           font = { "__DEFAULT", 17, Color(230, 207, 151) }, flags = kPushButtonAlignment },

    Button { name = "ok", x = 270, y = 466, graphics = g2, close = true, default = true,
             sound = "audio/click.ogg", rolloversound = "audio/over.ogg",
             command = function() ModalReturn(Entered()) end, Label("#OK") },
    Button { name = "cancel", x = 410, y = 466, graphics = g2, close = true,
             sound = "audio/click.ogg", rolloversound = "audio/over.ogg", Label("#Cancel") },

    function() SetFocus("guestname") end,
}
