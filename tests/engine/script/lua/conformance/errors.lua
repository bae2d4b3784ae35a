-- Error values, levels, pcall and xpcall, and the run-time error messages.

-- Messages are printed with backquotes turned into quotes.
local function report(ok, msg)
    if ok then return "no error" end
    if type(msg) ~= "string" then return "error value " .. type(msg) end
    local fixed = string.gsub(msg, "`", "'")
    return fixed
end
local function try(f, a, b) return report(pcall(f, a, b)) end

print(pcall(error, "plain"))
print(pcall(error, "no position", 0))
print(pcall(error))
print(pcall(error, nil))
local caught_ok, caught = pcall(error, {1, 2})
print(caught_ok, type(caught), caught[2])
print(try(function() error("level one") end))
print(try(function() error("level two", 2) end))
local function check(x) if type(x) ~= "number" then error("number wanted", 2) end return x end
print(try(function() local v = check("str"); return v end))
print(try(function() assert(false) end))
print(try(function() assert(nil, "assert message") end))
print(try(function() assert(1 == 1, "unused") end))

-- Runtime errors name the variable kind.
print(try(function() local t = nil; return t.x end))
print(try(function() return undefined_global.x end))
print(try(function() local t = {}; return t.a.b end))
print(try(function() local s = "str"; return s.x.y end))
print(try(function() undefined_function() end))
print(try(function() local t = {}; t.method_missing() end))
print(try(function() local t = {}; t:method_missing() end))
print(try(function() local f = 5; f() end))
print(try(function() local n; return n + 1 end))
print(try(function() return {} + 1 end))
print(try(function() local t = {}; return t.field * 2 end))
print(try(function() local s; return "a" .. s end))
print(try(function() return "a" .. {} end))
print(try(function() local t = {}; return t.name .. "x" end))
print(try(function() return 1 < "2" end))
print(try(function() return {} < {} end))
print(try(function() return nil < 1 end))
print(try(function() return "a" <= 1 end))
print(try(function() local t = {}; t[nil] = 1 end))

-- Library argument errors.
print(try(function() return string.rep() end))
print(try(function() return string.sub() end))
print(try(function() return string.char(256) end))
print(try(function() return string.len(nil) end))
print(try(function() return string.format("%d", "x") end))
print(try(function() return setmetatable(1, {}) end))
print(try(function() return table.insert(nil, 1) end))
print(try(function() return tonumber("10", 99) end))
print(try(function() return ("x"):rep(-1) end))
print(try(function() return string.find("a", "(") end))
print(try(function() return string.find("a", "%") end))
print(try(function() return string.find("a", "[a") end))
print(try(function() return string.find("a", "(()") end))
print(try(function() return string.find("a", "a)") end))
print(try(function() return string.find("a", "%1") end))
print(try(function() return string.gsub("abc", "b", "%2") end))
print(try(function() return string.find("a", "%f") end))

-- Sort with an inconsistent order function fails cleanly.
local ok = pcall(table.sort, {5, 3, 8, 1, 9, 2, 7, 4, 6, 10, 11, 12},
    function(a, b) return true end)
print("inconsistent sort", ok)

-- xpcall with a handler, and handlers that see the message.
print(xpcall(function() error("handled") end, function(m) return "handler: " .. m end))
print(xpcall(function() return "fine", 2 end, print))
print(xpcall(function() local x = {}; return x.y.z end, function(m)
    return string.gsub(m, "`", "'")
end))

-- Nested pcall and error rethrow.
local outer_ok, outer_msg = pcall(function()
    local inner_ok, inner_msg = pcall(error, "inner")
    error("outer after " .. tostring(inner_msg), 0)
end)
print(outer_ok, outer_msg)
print(pcall(pcall, error, "x"))

-- Error objects keep their identity.
local err_obj = {}
local _, got = pcall(error, err_obj)
print(got == err_obj)

-- Stack overflow is caught.
local function recurse(n) return 1 + recurse(n + 1) end
local deep_ok, deep_msg = pcall(recurse, 1)
print(deep_ok, string.find(deep_msg, "stack overflow") ~= nil)
