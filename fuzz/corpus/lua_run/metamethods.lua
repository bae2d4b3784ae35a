-- Metamethods and the per-type tables.
local V = {}
V.__index = V
V.__add = function(a, b)
  if type(a) == "number" then return setmetatable({x = a + b.x}, V) end
  if type(b) == "number" then return setmetatable({x = a.x + b}, V) end
  return setmetatable({x = a.x + b.x}, V)
end
V.__mul = function(a, b)
  if type(a) == "number" then return setmetatable({x = a * b.x}, V) end
  return setmetatable({x = a.x * b}, V)
end
V.__unm = function(a) return setmetatable({x = -a.x}, V) end
V.__concat = function(a, b)
  local l = type(a) == "table" and ("V" .. a.x) or a
  local r = type(b) == "table" and ("V" .. b.x) or b
  return l .. r
end
V.__eq = function(a, b) return a.x == b.x end
V.__lt = function(a, b) return a.x < b.x end
V.__le = function(a, b) return a.x <= b.x end
function V.get(self) return self.x end
local function new(x) return setmetatable({x = x}, V) end

local a, b = new(2), new(5)
print((a + b).x, (a + 1).x, (1 + a).x, (0.5 * b).x, (-a).x)
print(a .. "!", "!" .. b, a .. b)
print(a == new(2), a ~= b, a < b, b <= a, a <= new(2), b > a)
print(a:get(), rawequal(a, new(2)))

-- __index and __newindex as functions and as tables.
local log = {}
local proxy = setmetatable({}, {
  __index = function(t, k) return "default " .. k end,
  __newindex = function(t, k, v) rawset(t, k, v * 2) end,
})
proxy.x = 21
print(proxy.x, proxy.y)
local base = {greet = "hello"}
local derived = setmetatable({}, {__index = setmetatable({}, {__index = base})})
print(derived.greet, derived.other)

-- A chain of __index tables that loops.
local ok, msg
local t1, t2 = {}, {}
setmetatable(t1, {__index = t2})
setmetatable(t2, {__index = t1})
ok, msg = pcall(function() return t1.nothing end)
print(ok, msg)
ok, msg = pcall(function() local m = {} setmetatable(m, {__newindex = m}) local n = setmetatable({}, {__newindex = m}) setmetatable(m, {__newindex = n}) n.z = 1 end)
print(ok, msg)

-- Every value has a metatable: its type's shared table.
print(getmetatable({}) ~= nil, getmetatable("x") ~= nil, getmetatable(5) ~= nil, getmetatable(nil))
print(getmetatable({}) == getmetatable({}), getmetatable(1) == getmetatable(2))
print((5).x, (true).y, ("abc").z)
local s1, s2 = "one", "two"
s1.shared = "seen"
print(s2.shared, ("anything").shared)
getmetatable("").shared = nil
print(s2.shared)
ok, msg = pcall(function() local n = nil return n.x end)
print(ok, msg)
ok, msg = pcall(function() local n = nil n.x = 1 end)
print(ok, msg)

-- __metatable protects a metatable.
local guarded = setmetatable({}, {__metatable = "locked"})
print(getmetatable(guarded))
ok, msg = pcall(setmetatable, guarded, {})
print(ok, msg)

-- Userdata through newproxy: indexed through its metatable when it has no __index.
local u = newproxy(true)
local mt = getmetatable(u)
mt.kind = "proxy"
mt.describe = function(self) return "a " .. self.kind end
print(u.kind, u:describe())
local u2 = newproxy(u)
print(getmetatable(u2) == mt, u2.kind)
ok, msg = pcall(newproxy, {})
print(ok, msg)
print(type(newproxy()), type(newproxy(false)))
mt.__index = function(t, k) return k .. "?" end
print(u.kind, u.other)

-- __call on tables; calling a value without __call.
local adder = setmetatable({}, {__call = function(self, x) return x + 100 end})
print(adder(1))
ok, msg = pcall(function() local notfn = {} return notfn() end)
print(ok, msg)
ok, msg = pcall(function() local num = 3 return num() end)
print(ok, msg)

-- Ordering values of types without handlers.
ok, msg = pcall(function() return true < false end)
print(ok, msg)
ok, msg = pcall(function() return {} < {} end)
print(ok, msg)
ok, msg = pcall(function() return "a" < coroutine.create(function() end) end)
print(ok, msg)
ok, msg = pcall(function() return L"a" < L"b" end)
print(ok, msg)
print("a" < "b", "abc" < "abd", "" < "a", "b" <= "b")

-- Equality never mixes tags.
print(L"a" == "a", L"a" == L"a", 1 == "1", {} == {})
