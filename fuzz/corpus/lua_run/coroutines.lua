-- Coroutines: values in and out, status, dead and non-suspended resumes, errors,
-- yields from C functions and across pcall.
local co = coroutine.create(function(a, b)
  print("start", a, b)
  local c, d = coroutine.yield(a + b, a * b)
  print("got", c, d)
  local e = coroutine.yield()
  print("got", e)
  return "done", 99
end)
print(coroutine.status(co))
print(coroutine.resume(co, 2, 3))
print(coroutine.status(co))
print(coroutine.resume(co, "x", "y"))
print(coroutine.resume(co, "z"))
print(coroutine.status(co))
print(coroutine.resume(co))

-- A running coroutine cannot be resumed; status from inside is "running".
local self
self = coroutine.create(function()
  print(coroutine.status(self))
  print(coroutine.resume(self))
end)
coroutine.resume(self)

-- A coroutine that resumed another is not suspended either.
local outer
outer = coroutine.create(function()
  local inner = coroutine.create(function()
    print("inner sees outer", coroutine.status(outer))
    print(coroutine.resume(outer))
  end)
  coroutine.resume(inner)
end)
coroutine.resume(outer)

-- An error inside a coroutine kills it.
local bad = coroutine.create(function() local t = nil return t.field end)
print(coroutine.resume(bad))
print(coroutine.status(bad))
print(coroutine.resume(bad))
local bad2 = coroutine.create(function() error({code = 7}) end)
local ok, e = coroutine.resume(bad2)
print(ok, type(e), e.code)

-- wrap: errors propagate with a position.
local gen = coroutine.wrap(function()
  for i = 1, 3 do coroutine.yield(i) end
end)
print(gen(), gen(), gen(), gen())
print(pcall(gen))
local failing = coroutine.wrap(function() error("oops") end)
print(pcall(failing))

-- Yielding across pcall, a metamethod or from the main chunk is refused.
local acrossPcall = coroutine.create(function()
  return pcall(coroutine.yield, 1)
end)
print(coroutine.resume(acrossPcall))
local acrossMeta = coroutine.create(function()
  local t = setmetatable({}, {__index = function(t, k) return coroutine.yield(k) end})
  return t.key
end)
print(coroutine.resume(acrossMeta))
print(pcall(coroutine.yield, 1))

-- Generators through nested coroutines.
local function permgen(a, n)
  if n == 0 then
    coroutine.yield(a[1] .. a[2] .. a[3])
  else
    for i = 1, n do
      a[n], a[i] = a[i], a[n]
      permgen(a, n - 1)
      a[n], a[i] = a[i], a[n]
    end
  end
end
local perms = ""
for p in coroutine.wrap(function() permgen({"a", "b", "c"}, 3) end) do
  perms = perms .. p .. " "
end
print(perms)

-- Many values through resume and yield.
local echo = coroutine.create(function(...)
  local args = arg
  while true do
    args = {coroutine.yield(unpack(args))}
  end
end)
print(coroutine.resume(echo, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10))
print(coroutine.resume(echo))
print(coroutine.resume(echo, nil, "b"))

-- A coroutine keeps its locals between resumes, and tail calls inside it work.
local function tail(n) if n == 0 then return coroutine.yield("bottom") end return tail(n - 1) end
local tc = coroutine.create(function() return tail(50) end)
print(coroutine.resume(tc))
print(coroutine.resume(tc, "back"))

-- Bad arguments.
print(pcall(coroutine.create, print))
print(pcall(coroutine.resume, 5))
print(pcall(coroutine.status, {}))
