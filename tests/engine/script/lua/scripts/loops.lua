-- Every loop shape with break, break 2, continue and continue 2: each case records the
-- (outer, inner) steps it visits. The outer loop runs o = 1..3, the inner one i = 1..3;
-- the jump is taken when i == 2 (and, for the outer-level forms, o == 2).

local function shapes()
  local s = {}

  -- numeric for
  s["for"] = function(jump)
    local log = ""
    for o = 1, 3 do
      for i = 1, 3 do
        if i == 2 then
          if jump == "break" then break end
          if jump == "continue" then continue end
          if o == 2 and jump == "break2" then break 2 end
          if o == 2 and jump == "continue2" then continue 2 end
        end
        log = log .. o .. i .. " "
      end
      log = log .. "| "
    end
    return log
  end

  -- while
  s["while"] = function(jump)
    local log = ""
    local o = 0
    while o < 3 do
      o = o + 1
      local i = 0
      while i < 3 do
        i = i + 1
        if i == 2 then
          if jump == "break" then break end
          if jump == "continue" then continue end
          if o == 2 and jump == "break2" then break 2 end
          if o == 2 and jump == "continue2" then continue 2 end
        end
        log = log .. o .. i .. " "
      end
      log = log .. "| "
    end
    return log
  end

  -- repeat: continue evaluates the until condition
  s["repeat"] = function(jump)
    local log = ""
    local o = 0
    repeat
      o = o + 1
      local i = 0
      repeat
        i = i + 1
        if i == 2 then
          if jump == "break" then break end
          if jump == "continue" then continue end
          if o == 2 and jump == "break2" then break 2 end
          if o == 2 and jump == "continue2" then continue 2 end
        end
        log = log .. o .. i .. " "
      until i >= 3
      log = log .. "| "
    until o >= 3
    return log
  end

  -- generic for
  s["for in"] = function(jump)
    local log = ""
    for _, o in ipairs({1, 2, 3}) do
      for _, i in ipairs({1, 2, 3}) do
        if i == 2 then
          if jump == "break" then break end
          if jump == "continue" then continue end
          if o == 2 and jump == "break2" then break 2 end
          if o == 2 and jump == "continue2" then continue 2 end
        end
        log = log .. o .. i .. " "
      end
      log = log .. "| "
    end
    return log
  end
  return s
end

local s = shapes()
for _, shape in ipairs({"for", "while", "repeat", "for in"}) do
  for _, jump in ipairs({"break", "break2", "continue", "continue2"}) do
    print(shape, jump, s[shape](jump))
  end
end

-- Different shapes nested: continue 2 from a numeric for inside a while goes to the
-- while's condition; break 2 from a repeat inside a generic for leaves both.
local log = ""
local n = 0
while n < 3 do
  n = n + 1
  for i = 1, 3 do
    if n == 2 then continue 2 end
    log = log .. n .. i .. " "
  end
end
print("while/for", log)
log = ""
for _, o in ipairs({1, 2, 3}) do
  local i = 0
  repeat
    i = i + 1
    if o == 2 and i == 2 then break 2 end
    log = log .. o .. i .. " "
  until i == 3
end
print("for in/repeat", log)

-- continue leaves blocks that hold captured locals: each closure keeps its own value.
local fs = {}
for i = 1, 4 do
  local v = i * 10
  do
    local w = v + 1
    fs[i] = function() return v, w end
    if i & 1 == 1 then continue end
  end
  v = -v
end
for i = 1, 4 do print("closure", i, fs[i]()) end

-- The same with `continue 2' from an inner loop and a while loop.
fs = {}
local k = 0
while k < 3 do
  k = k + 1
  local captured = k
  for j = 1, 2 do
    local inner = captured * 100 + j
    fs[k * 10 + j] = function() return captured, inner end
    if j == 1 then continue 2 end
  end
end
for _, key in ipairs({11, 21, 31}) do print("closure", key, fs[key]()) end

-- Operator priorities of the bitwise operators.
local a, b, c = 6, 3, 2
print("priorities", 1 + 2 & 3, 6 & 3 * 2, a * b & c, -a & 255, a & b ^ c, 1 << 2 + 1, 255 >> 4 >> 1)

-- Size hints do not change what a constructor holds.
local t = {&100 &8; 1, 2, 3, x = 4}
local u = {&0 &64}
local count = 0
for _ in pairs(t) do count = count + 1 end
print("hints", count, t[3], t.x, next(u))
