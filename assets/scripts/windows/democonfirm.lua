-- A confirm dialog: a question on a translucent panel and two close buttons. DoModal
-- gives the name of the button pressed ("yes" or "no"); Enter presses "yes", the
-- default button.

local g2 = { "ui/btn_small_up.png", "ui/btn_small_down.png", "ui/btn_small_over.png" }

local function Label(s)
    return Text { name = "label", x = 0, y = 0, w = kMax, h = kMax, label = s,
                  flags = kPushButtonAlignment }
end

MakeDialog
{
    SetStyle { font = { "__DEFAULT", 22, Color(255, 255, 255) } },
    Bitmap { name = "panel", image = "ui/panel.png", alpha = true, x = kCenter, y = kCenter },
    Text { name = "q", x = kCenter, y = 236, w = 360, h = 36, label = "#Are you sure?",
           font = { "__DEFAULT", 24, Color(255, 246, 222) }, flags = kPushButtonAlignment },
    Button { name = "yes", x = 270, y = 310, graphics = g2, close = true, default = true,
             sound = "audio/click.ogg", rolloversound = "audio/over.ogg", Label("#Yes") },
    Button { name = "no", x = 410, y = 310, graphics = g2, close = true,
             sound = "audio/click.ogg", rolloversound = "audio/over.ogg", Label("#No") },
}
