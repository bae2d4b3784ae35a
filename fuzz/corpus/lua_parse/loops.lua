local total = 0
for i = 1, 10 do
  if i & 1 == 1 then continue end
  local j = 0
  while true do
    j = j + 1
    if j > i then break end
    repeat
      total = total + (j << 1) - (i >> 2)
      if total > 100 then break 3 end
    until total | 0 > 50
    if j == 3 then continue 1 end
  end
end
for k, v in pairs({a = 1, b = 2}) do
  local f = function() return k .. v end
  if v == 2 then continue end
end
return total
