-- Method calls through a metatable's __index chain.
local Point = {}
Point.__index = Point
function Point.new(x, y) return setmetatable({x = x, y = y}, Point) end
function Point:move(dx, dy) self.x = self.x + dx; self.y = self.y + dy end
function Point:length2() return self.x * self.x + self.y * self.y end
local Named = setmetatable({}, {__index = Point})
Named.__index = Named
function Named.new(name) local p = Point.new(0, 0); p.name = name; return setmetatable(p, Named) end
local p = Named.new("p")
local acc = 0
for i = 1, 3000000 do
    p:move(1, -1)
    acc = acc + p:length2() * 0.000001
end
print(acc)
