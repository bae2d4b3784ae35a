-- Pattern matching: find, gsub and gfind over a generated text.
local words = {}
for i = 1, 20000 do words[i] = "word" .. i .. " key=" .. i .. ";" end
local text = table.concat(words, " ")
local count = 0
for round = 1, 10 do
    for k, v in string.gfind(text, "(%a+)=(%d+)") do count = count + 1 end
    local replaced, n = string.gsub(text, "%d+", "#")
    count = count + n
    local at = 1
    while true do
        local s, e = string.find(text, "word%d+", at)
        if not s then break end
        count = count + 1
        at = e + 1
    end
end
print(count)
