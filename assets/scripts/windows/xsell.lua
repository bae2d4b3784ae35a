-- The cross-promotion page: other games of the studio, filled from xsell/xsell.xml by
-- SetupXSell. Open it with DoModal("scripts/windows/xsell.lua").
--
-- The slots: a heading of two lines (centertext1, centertext2), seven entries of a
-- description (descrip<n>) and a button that opens the entry's page (xsellbutton<n>; the
-- description's link presses it), the studio's logo, its badge and a button to its web
-- site (sitelogo, halvornlogo, gamesite), and Back. SetupXSell hides the entries the file
-- does not fill, and moves buttons 1 to 6 and the logos so that the positions given here
-- become their centres; button 7 is not moved, so its position is its top-left corner.

local ink = Color(60, 44, 36)
local go = { "xsell/go.png", "xsell/go.png", "xsell/go.png" }
local wide = { "xsell/wide.png", "xsell/wide.png", "xsell/wide.png" }

local function Label(s)
    return Text { name = "label", x = 0, y = 0, w = kMax, h = kMax, label = s,
                  font = { "__DEFAULT", 18, Color(243, 234, 215) },
                  flags = kPushButtonAlignment }
end

local page = {
    name = "xsell", x = 0, y = 0, w = kMax, h = kMax,
    SetStyle { font = { "__DEFAULT", 17, ink } },
    Bitmap { name = "backdrop", image = "xsell/page.png", alpha = true, x = kCenter, y = kCenter },
    Text { name = "centertext1", x = kCenter, y = 44, w = 560, h = 32,
           font = { "__DEFAULT", 26, Color(47, 111, 115) }, flags = kHAlignCenter },
    Text { name = "centertext2", x = kCenter, y = 78, w = 560, h = 24, flags = kHAlignCenter },
}

for i = 1, 7 do
    local n = i
    local top = 88 + 46 * n
    table.insert(page, Text { name = "descrip" .. n, x = 170, y = top - 12, w = 500, h = 44 })
    if n <= 6 then
        table.insert(page, Button { name = "xsellbutton" .. n, x = 140, y = top, graphics = go,
                                    command = function() LaunchGameLink(n) end })
    else
        table.insert(page, Button { name = "xsellbutton" .. n, x = 124, y = top - 16,
                                    graphics = go, command = function() LaunchGameLink(n) end })
    end
end

table.insert(page, Bitmap { name = "sitelogo", image = "xsell/sitelogo.png", alpha = true,
                            x = 150, y = 492 })
table.insert(page, Bitmap { name = "halvornlogo", image = "xsell/badge.png", alpha = true,
                            x = 650, y = 492 })
table.insert(page, Button { name = "gamesite", x = 400, y = 492, graphics = wide,
                            command = function() LaunchGameLink(0) end,
                            Label("#Our website") })
table.insert(page, Button { name = "back", x = 320, y = 524, graphics = wide, close = true,
                            Label("#Back") })

MakeDialog { XSellWindow(page) }
SetupXSell()
