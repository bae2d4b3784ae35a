-- Calls: varargs through arg, multiple results, tail calls, unpack.
local function count(...)
  return arg.n, arg[1], arg[2], arg[3]
end
print(count())
print(count(1, nil, 3))
print(count("a", "b"))

local function pass(...)
  return unpack(arg)
end
print(pass(1, 2, 3))
print((pass(1, 2, 3)))

local function three() return 1, 2, 3 end
local t = {three(), three()}
print(t[1], t[2], t[3], t[4], t[5])
print(three(), "end")
local x, y, z, w = three()
print(x, y, z, w)

-- Named parameters plus extra arguments.
local function mixed(a, b, ...)
  return a, b, arg.n
end
print(mixed(1))
print(mixed(1, 2, 3, 4, 5))

-- A deep tail recursion does not grow the stack.
local function loop(n, acc)
  if n == 0 then return acc end
  return loop(n - 1, acc + 1)
end
print(loop(100000, 0))

-- Tail calls into C functions and through __call.
local function tostr(v) return tostring(v) end
print(tostr(12.5))
local callable = setmetatable({}, {__call = function(self, a, b) return a + b end})
local function tc(a, b) return callable(a, b) end
print(tc(2, 3), callable(4, 5))

-- select-style helpers written with arg.
local function last(...)
  return arg[arg.n]
end
print(last(1, 2, "three"))

-- Results adjusted in the middle of an expression list.
local function two() return "p", "q" end
print(two(), two())
