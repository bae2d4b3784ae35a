-- Error messages, error values, levels, handlers and the stack limits.
local function try(f, ...)
  local ok, msg = pcall(f, unpack(arg))
  print(ok, msg)
end

-- Type errors name the variable and its kind.
try(function() local t = nil return t.x end)
try(function() return undefinedGlobal.x end)
try(function() local t = {} return t.inner.x end)
try(function() local t = {} t:method() end)
try(function() local s = "str" return s + 1 end)
try(function() local t = {} return 1 + t end)
try(function() local t = {} return t .. "x" end)
try(function() return ("x") .. {} end)
try(function() undefinedFunction() end)
try(function() local t = {} t.field.deeper = 1 end)
try(function() local up = nil return (function() return up.x end)() end)
try(function() return -{} end)

-- Concatenation modes and their errors.
try(function() return "a" .. L"b" end)
try(function() return L"a" .. "b" end)
try(function() return L"a" .. {} end)
print(tostring(L"x" .. 12), tostring(12 .. L"x"), "x" .. 12, 1 .. 2)

-- for messages; numeric strings are accepted as limit and step.
try(function() for i = 1, {} do end end)
try(function() for i = 1, 2, {} do end end)
local sum = 0
for i = 1, "3", "1" do sum = sum + i end
print(sum)

-- error with values and levels.
try(function() error("plain") end)
try(function() error("no position", 0) end)
local okt, et = pcall(error, {1, 2})
print(okt, type(et), et[2])
try(function() error() end)
local function lvl2() error("from caller", 2) end
try(function() lvl2() end)
try(function() error(L"wide message") end)
local ok, e = pcall(error, L"w")
print(ok, type(e))
ok, e = pcall(function() error(L"w") end)
print(ok, type(e), tostring(e))

-- assert
try(assert, false)
try(assert, nil, "custom")
print(assert(1, "unused"))

-- xpcall with a handler; a handler that fails.
print(xpcall(function() error("boom") end, function(m) return "handled: " .. m end))
print(xpcall(function() return "fine", 2 end, print))
print(xpcall(function() error("boom") end, function(m) error("again") end))

-- Stack overflow in Lua is an ordinary error; the state goes on afterwards.
local function recurse(n) return 1 + recurse(n + 1) end
ok, e = pcall(recurse, 1)
print(ok, e)
ok, e = pcall(recurse, 1)
print(ok, e)

-- Deep recursion through C functions gives "C stack overflow".
local deepest
local function probe(n)
  local r = {pcall(probe, n + 1)}
  if not r[1] and deepest == nil then deepest = r[2] end
  return n
end
probe(1)
print(deepest)

-- Errors in metamethods and in called C functions.
try(function() return setmetatable({}, {__index = function() error("in index") end}).x end)
try(function() return tostring() end)
try(function() return setmetatable(1, {}) end)
try(function() return rawget(1) end)
try(function() return ipairs() end)
try(function() local t = {} t[nil] = 1 end)
try(function() local t = {} t[0/0] = 1 end)
try(function() return next({}, "nokey") end)
try(function() return unpack(nil) end)
try(function() return ("x"):nomethod() end)

-- tostring / tonumber odds.
print(tonumber("0x10"), tonumber("  12  "), tonumber("1e2"), tonumber("abc"), tonumber(""))
print(tonumber("ff", 16), tonumber("-1", 16), tonumber("zz", 36), tonumber("8", 8), tonumber("fffffffff", 16))
print(tonumber(L"ff", 16), tonumber(L"12"), tonumber(L"0x10"), tonumber(L" 12"))
try(tonumber, "1", 99)
print(L"10" + 1, L"0x10" + 0)
try(function() return "0x10" + 0 end)
