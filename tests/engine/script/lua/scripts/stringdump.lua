-- string.dump and loading its chunks back.

dofile("check.inc")

-- dump refuses closures with upvalues.
local captured = 1
fails_with("dump with upvalues", function()
    return string.dump(function() return captured end)
end, "unable to dump given function")
check("dump plain", string.byte(string.dump(function() return 1 end), 1), 27)
check("dump runs", loadstring(string.dump(function() return 6 * 7 end))(), 42)
fails_with("dump needs a function", function() return string.dump(1) end,
    "function expected, got number")

