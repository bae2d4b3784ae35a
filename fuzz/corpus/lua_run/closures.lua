-- Closures and upvalues, the shared numeric-for variable, break n and continue n.
local function counter()
  local n = 0
  return function() n = n + 1 return n end
end
local c1, c2 = counter(), counter()
print(c1(), c1(), c2(), c1())

-- Two closures share one upvalue.
local function pair()
  local v = 10
  local function get() return v end
  local function set(x) v = x end
  return get, set
end
local get, set = pair()
set(42)
print(get())

-- The numeric-for variable is one variable for the whole loop: closures made in
-- the body see its last value unless it is copied to a local first.
local shared, copied = {}, {}
for i = 1, 3 do
  shared[i] = function() return i end
  local j = i
  copied[i] = function() return j end
end
print(shared[1](), shared[2](), shared[3](), copied[1](), copied[2](), copied[3]())

-- A closure made in a while loop gets a fresh local each iteration.
local fs = {}
local k = 0
while k < 3 do
  k = k + 1
  local x = k * 10
  fs[k] = function() return x end
end
print(fs[1](), fs[2](), fs[3]())

-- break n and continue n.
local out = ""
for a = 1, 3 do
  for b = 1, 3 do
    if b == 2 then continue 2 end
    out = out .. a .. b .. " "
  end
end
print(out)
out = ""
local a = 0
while true do
  a = a + 1
  local b = 0
  while true do
    b = b + 1
    if a == 3 then break 2 end
    if b > 2 then break end
    out = out .. a .. b .. " "
  end
end
print(out, a)

-- continue in repeat evaluates the until condition next.
local n, visits = 0, 0
repeat
  n = n + 1
  if n < 5 then continue end
  visits = visits + 1
until n >= 5
print(n, visits)

-- continue closes a captured local so each closure keeps its own value.
local keep = {}
for i = 1, 3 do
  local v = i * 2
  keep[i] = function() return v end
  if i < 3 then continue end
end
print(keep[1](), keep[2](), keep[3]())

-- Generic for with a closure iterator.
local function range(n)
  local i = 0
  return function() i = i + 1 if i <= n then return i end end
end
local sum = 0
for v in range(100) do sum = sum + v end
print(sum)

-- Recursion through a local function.
local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end
print(fib(20))
