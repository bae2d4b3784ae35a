-- Debugging helpers that every script state has: DumpTable(t) writes a table, nested
-- tables indented, through DebugOut. Nesting deeper than five levels shows as "...".

local function Spaces(count)
    local text = ""
    local i = 0
    while i < count do
        text = text .. " "
        i = i + 1
    end
    return text
end

function _Internal_DumpEntry(key, value, indent)
    local pad = Spaces(indent)
    if type(value) == "table" then
        return pad .. tostring(key) .. " -> {\n" .. _Internal_DumpTable(value, indent + 2) .. pad .. "}\n"
    end
    return pad .. tostring(key) .. " -> " .. tostring(value) .. "\n"
end

function _Internal_DumpTable(t, indent)
    indent = indent or 0
    if indent > 10 then
        return Spaces(indent) .. "...\n"
    end
    local text = ""
    table.foreach(t, function(key, value)
        text = text .. _Internal_DumpEntry(key, value, indent)
    end)
    return text
end

function DumpTable(t)
    DebugOut("Dump Table: \n" .. _Internal_DumpTable(t, 2))
    _accumulated_table_data = ""
end
