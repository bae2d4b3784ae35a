-- Closures, recursion, tail calls, varargs through arg, multiple results.

local function counter()
    local n = 0
    return function() n = n + 1; return n end
end
local c1, c2 = counter(), counter()
print(c1(), c1(), c1(), c2(), c1())

local function adders()
    local list = {}
    local i = 1
    while i <= 3 do
        local captured = i
        list[i] = function(x) return x + captured end
        i = i + 1
    end
    return list
end
local add = adders()
print(add[1](10), add[2](10), add[3](10))

-- Two closures sharing one upvalue.
local function pair()
    local value = 0
    local function get() return value end
    local function set(v) value = v end
    return get, set
end
local get, set = pair()
set(42)
print(get())
set("changed")
print(get())

-- Recursion and mutual recursion.
local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end
print(fib(20))
local is_even, is_odd
function is_even(n) if n == 0 then return true end return is_odd(n - 1) end
function is_odd(n) if n == 0 then return false end return is_even(n - 1) end
print(is_even(10), is_odd(7), is_even(3))

-- Tail calls do not grow the stack.
local function loop(n, acc) if n == 0 then return acc end return loop(n - 1, acc + 1) end
print(loop(100000, 0))

-- Varargs through arg.
local function count(...) return arg.n end
local function second(...) return arg[2] end
local function pass(...) return unpack(arg) end
print(count(), count(nil), count(1, nil, 3), second("a", "b", "c"))
print(pass(1, 2, 3))
local function sum(...)
    local s = 0
    for i = 1, arg.n do s = s + arg[i] end
    return s
end
print(sum(1, 2, 3, 4.5))
local function fixed_and_var(a, b, ...) return a, b, arg.n end
print(fixed_and_var(1), fixed_and_var(1, 2, 3, 4))

-- Multiple results and their adjustment.
local function three() return 1, 2, 3 end
local x, y, z, w = three()
print(x, y, z, w)
print(three(), three())
print((three()))
local packed = {three(), three()}
print(table.getn(packed), packed[4])
print(string.format("%d-%d-%d", three()))
local function none() end
print(none(), (none()), (pcall(type)))

-- Functions as values and methods.
local obj = {name = "obj"}
function obj.plain(x) return x end
function obj:method(x) return self.name .. ":" .. x end
print(obj.plain(5), obj:method("m"), obj.method(obj, "n"))
local nested = {inner = {value = 3}}
function nested.inner.get() return nested.inner.value end
print(nested.inner.get())

-- Control flow.
local out = {}
local i = 0
while true do
    i = i + 1
    if i > 10 then break end
    if math.mod(i, 2) == 0 then out[table.getn(out) + 1] = i end
end
print(table.concat(out, " "))
local r = 0
repeat r = r + 1 until r >= 5
print(r)
for outer = 1, 3 do
    for inner = 1, 3 do
        if inner == 2 then break end
        out[outer] = inner
    end
end
print(out[1], out[2], out[3])
if nil then print("no") elseif false then print("no") else print("else branch") end
local grade = 75
if grade >= 90 then print("A") elseif grade >= 70 then print("C") else print("F") end

-- Custom iterators in generic for.
local function range(n)
    local i = 0
    return function() i = i + 1; if i <= n then return i end end
end
local s = 0
for v in range(5) do s = s + v end
print(s)
local function stateless(t, i) i = i + 1; if t[i] then return i, t[i] end end
for i, v in stateless, {"p", "q"}, 0 do print(i, v) end

-- Environments and loadstring.
local f = loadstring("return 1 + 2")
print(f())
local g = loadstring("x_global = 7")
g()
print(x_global)
local env = {print = print}
local h = loadstring("y = 5; return y")
setfenv(h, env)
print(h(), env.y, y)
print(getfenv(h) == env, getfenv(1) == _G)
print(rawequal(getfenv(0), _G), _G._G == _G, _G.print == print)
print(type(loadstring("syntax error here")))
