-- Table metamethods with the table as the left operand.

local Vec = {}
Vec.__index = Vec
local function vec(x, y) return setmetatable({x = x, y = y}, Vec) end
function Vec.__add(a, b) return vec(a.x + b.x, a.y + b.y) end
function Vec.__sub(a, b) return vec(a.x - b.x, a.y - b.y) end
function Vec.__mul(a, s) return vec(a.x * s, a.y * s) end
function Vec.__div(a, s) return vec(a.x / s, a.y / s) end
function Vec.__unm(a) return vec(-a.x, -a.y) end
function Vec.__eq(a, b) return a.x == b.x and a.y == b.y end
function Vec.__lt(a, b) return a.x * a.x + a.y * a.y < b.x * b.x + b.y * b.y end
function Vec.__le(a, b) return not (b < a) end
function Vec.__concat(a, b) return tostring(a) .. "&" .. tostring(b) end
function Vec.__tostring(a) return "(" .. a.x .. "," .. a.y .. ")" end
function Vec:length2() return self.x * self.x + self.y * self.y end

local a, b = vec(1, 2), vec(3, 4)
print(tostring(a + b), tostring(b - a), tostring(a * 3), tostring(b / 2), tostring(-a))
print(a == vec(1, 2), a == b, a ~= b, a < b, b < a, a <= b, b <= a, a > b, a >= vec(2, 1))
print(a .. b, a .. "text")
print(a:length2(), b:length2(), a)

-- __index as a function and as a table chain; rawget bypasses it.
local defaults = setmetatable({}, {__index = function(t, k) return "default " .. k end})
print(defaults.color, rawget(defaults, "color"))
local base = {greet = function() return "hello from base" end, shared = 1}
local mid = setmetatable({mid = true}, {__index = base})
local leaf = setmetatable({}, {__index = mid})
print(leaf.greet(), leaf.mid, leaf.shared, leaf.missing)

-- __newindex as a function and as a table; rawset bypasses it.
local log = {}
local watched = setmetatable({}, {__newindex = function(t, k, v)
    table.insert(log, k .. "=" .. tostring(v))
    rawset(t, k, v)
end})
watched.a = 1
watched.b = 2
watched.a = 3
print(table.concat(log, " "), watched.a, watched.b)
local store = {}
local proxy = setmetatable({}, {__newindex = store})
proxy.x = 10
print(rawget(proxy, "x"), store.x)

-- Read-only tables.
local ro = setmetatable({}, {__index = {k = "v"}, __newindex = function(t, k)
    error("read-only: " .. k, 2)
end})
print(ro.k, pcall(function() ro.z = 1 end))

-- __call.
local callable = setmetatable({prefix = ">"}, {__call = function(self, x, y)
    return self.prefix .. x .. y
end})
print(callable("a", "b"), callable(1, 2))

-- __metatable protection.
local guarded = setmetatable({}, {__metatable = "locked"})
print(getmetatable(guarded), pcall(setmetatable, guarded, {}))

-- Weak tables lose collected entries.
local weak = setmetatable({}, {__mode = "k"})
local strong = {}
local function fill()
    local key1, key2 = {}, {}
    weak[key1] = "one"
    weak[key2] = "two"
    strong[1] = key2
end
fill()
collectgarbage()
local n = 0
for k, v in pairs(weak) do n = n + 1 end
print("weak keys left", n)
local weakv = setmetatable({}, {__mode = "v"})
weakv[1] = {}
weakv[2] = strong
weakv[3] = "strings stay"
collectgarbage()
print(weakv[1], weakv[2] == strong, weakv[3])

-- __gc through a proxy.
local function make_proxy()
    local p = newproxy(true)
    getmetatable(p).__gc = function() print("finalised") end
end
make_proxy()
collectgarbage()
print("after collect")

-- Inheritance through __index chains with methods.
local Animal = {}
Animal.__index = Animal
function Animal.new(name, sound) return setmetatable({name = name, sound = sound}, Animal) end
function Animal:speak() return self.name .. " says " .. self.sound end
local Dog = setmetatable({}, {__index = Animal})
Dog.__index = Dog
function Dog.new(name) local d = Animal.new(name, "woof"); return setmetatable(d, Dog) end
function Dog:fetch() return self.name .. " fetches" end
local d = Dog.new("Rex")
print(d:speak(), d:fetch(), getmetatable(d) == Dog)

-- __newindex is asked for an absent index inside the array part too.
local holes = setmetatable({1, 2, 3}, {__newindex = function(t, k, v) rawset(t, k, v * 10) end})
holes[2] = nil
holes[2] = 5
holes[4] = 6
holes[1] = 4
print(holes[1], holes[2], holes[3], holes[4])
