-- Coroutines: creation, value passing, status, wrap and errors.

local co = coroutine.create(function(a, b)
    print("start", a, b)
    local c = coroutine.yield(a + b)
    print("got", c)
    local d, e = coroutine.yield(c * 2)
    print("got", d, e)
    return "done", a
end)
print(type(co), coroutine.status(co))
print(coroutine.resume(co, 1, 2))
print(coroutine.status(co))
print(coroutine.resume(co, 10))
print(coroutine.resume(co, "x", "y"))
print(coroutine.status(co))
print(coroutine.resume(co))
print(coroutine.resume(co))

-- A generator through wrap.
local function gen(n)
    return coroutine.wrap(function()
        for i = 1, n do coroutine.yield(i) end
    end)
end
local seen = {}
for v in gen(5) do table.insert(seen, v) end
print(table.concat(seen, ","))

-- Status inside the coroutine, and yields from nested calls.
local inner
inner = coroutine.create(function()
    print("inside", coroutine.status(inner))
    local function deep(n)
        if n == 0 then return coroutine.yield("bottom") end
        return deep(n - 1)
    end
    return deep(10)
end)
print(coroutine.resume(inner))
print(coroutine.resume(inner, "back up"))

-- Errors inside a coroutine kill it.
local bad = coroutine.create(function() local x = nil; return x.field end)
local ok, msg = coroutine.resume(bad)
print(ok, msg, coroutine.status(bad))
local thrower = coroutine.create(function() error("custom") end)
print(coroutine.resume(thrower))
local tabled = coroutine.create(function() error({code = 7}) end)
local ok2, err = coroutine.resume(tabled)
print(ok2, type(err), err.code)

-- wrap propagates errors to the caller.
local w = coroutine.wrap(function() error("from wrap") end)
print(pcall(w))

-- Yield across pcall is not allowed.
local across = coroutine.create(function()
    return pcall(function() coroutine.yield(1) end)
end)
print(coroutine.resume(across))

-- A producer and consumer pair.
local producer = coroutine.create(function()
    for _, item in ipairs({"a", "b", "c"}) do coroutine.yield(item) end
    return nil
end)
local consumed = {}
while true do
    local _, item = coroutine.resume(producer)
    if not item then break end
    table.insert(consumed, item)
end
print(table.concat(consumed), coroutine.status(producer))

-- Passing many values both ways.
local echo = coroutine.create(function(...)
    local args = arg
    while true do
        args = {coroutine.yield(unpack(args))}
    end
end)
print(coroutine.resume(echo, 1, 2, 3))
print(coroutine.resume(echo, "a", "b"))
print(coroutine.resume(echo))
