-- Grows until the allocator refuses.
local s = "x"
local t = {}
while true do s = s .. s t[table_index or 1] = s end
