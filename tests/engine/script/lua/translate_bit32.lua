-- Translates a script of the engine's dialect that uses the bitwise operators into
-- standard Lua 5.2 with the bit32 library, for comparison with a reference
-- interpreter. Usage: lua5.2 translate_bit32.lua input.lua > output.lua
--
-- Every bitwise operation must stand alone inside grouping parentheses:
-- (a & b), (a | b), (a ^ b) (exclusive or), (a << n), (a >> n). Strings, comments and
-- line breaks are kept, so line numbers and messages agree with the original.

local functions = {["&"] = "bit32.band", ["|"] = "bit32.bor", ["^"] = "bit32.bxor",
                   ["<<"] = "bit32.lshift", [">>"] = "bit32.rshift"}

local function tokenize(text)
    local tokens, i, n = {}, 1, #text
    local function add(kind, s) tokens[#tokens + 1] = {kind = kind, text = s} end
    while i <= n do
        local c = text:sub(i, i)
        local s, e
        if c:match("%s") then
            s, e = text:find("^%s+", i); add("space", text:sub(s, e))
        elseif text:sub(i, i + 3) == "--[[" then
            e = assert(text:find("]]", i + 4, true), "unfinished long comment") + 1
            add("space", text:sub(i, e))
        elseif text:sub(i, i + 1) == "--" then
            e = (text:find("\n", i, true) or n + 1) - 1
            add("space", text:sub(i, e))
        elseif text:sub(i, i + 1) == "[[" then
            e = assert(text:find("]]", i + 2, true), "unfinished long string") + 1
            add("string", text:sub(i, e))
        elseif c == '"' or c == "'" then
            e = i + 1
            while text:sub(e, e) ~= c do
                if text:sub(e, e) == "\\" then e = e + 1 end
                assert(e <= n, "unfinished string")
                e = e + 1
            end
            add("string", text:sub(i, e))
        elseif c:match("[%a_]") then
            s, e = text:find("^[%w_]+", i); add("name", text:sub(s, e))
        elseif c:match("%d") or (c == "." and text:sub(i + 1, i + 1):match("%d")) then
            s, e = text:find("^0x%x+", i)
            if not s then s, e = text:find("^%d*%.?%d*[eE][%+%-]?%d+", i) end
            if not s then s, e = text:find("^%d*%.?%d*", i) end
            add("number", text:sub(s, e))
        else
            local three, two = text:sub(i, i + 2), text:sub(i, i + 1)
            if three == "..." then e = i + 2
            elseif two == "<<" or two == ">>" or two == "==" or two == "~=" or two == "<="
                or two == ">=" or two == ".." then e = i + 1
            else e = i end
            add("op", text:sub(i, e))
        end
        i = (e or i) + 1
    end
    return tokens
end

local translate_range

-- The last token before index i that is not white space, or nil.
local function previous_token(tokens, i)
    for j = i - 1, 1, -1 do
        if tokens[j].kind ~= "space" then return tokens[j] end
    end
end

local function matching_paren(tokens, open)
    local depth = 0
    for j = open, #tokens do
        local t = tokens[j]
        if t.kind == "op" and (t.text == "(" or t.text == "{" or t.text == "[") then depth = depth + 1 end
        if t.kind == "op" and (t.text == ")" or t.text == "}" or t.text == "]") then depth = depth - 1 end
        if depth == 0 then return j end
    end
    error("unbalanced parentheses")
end

-- The index of the one bitwise operator at the top level of tokens[first..last].
local function top_level_operator(tokens, first, last)
    local depth, found = 0, nil
    for j = first, last do
        local t = tokens[j]
        if t.kind == "op" then
            if t.text == "(" or t.text == "{" or t.text == "[" then depth = depth + 1
            elseif t.text == ")" or t.text == "}" or t.text == "]" then depth = depth - 1
            elseif depth == 0 and functions[t.text] then
                assert(not found, "two bitwise operators in one parenthesis; add parentheses")
                found = j
            end
        end
    end
    return found
end

function translate_range(tokens, first, last)
    local out, i = {}, first
    while i <= last do
        local t = tokens[i]
        if t.kind == "op" and t.text == "(" then
            local close = matching_paren(tokens, i)
            local before = previous_token(tokens, i)
            local is_call = before and (before.kind == "name" or before.kind == "string"
                or before.text == ")" or before.text == "]")
            if before and before.kind == "name" and (before.text == "and" or before.text == "or"
                or before.text == "not" or before.text == "return" or before.text == "in"
                or before.text == "if" or before.text == "while" or before.text == "until"
                or before.text == "elseif") then
                is_call = false
            end
            local op = top_level_operator(tokens, i + 1, close - 1)
            if op then
                assert(not is_call, "bitwise operator directly inside a call; add parentheses")
                out[#out + 1] = functions[tokens[op].text] .. "(" ..
                    translate_range(tokens, i + 1, op - 1) .. "," ..
                    translate_range(tokens, op + 1, close - 1) .. ")"
            else
                out[#out + 1] = "(" .. translate_range(tokens, i + 1, close - 1) .. ")"
            end
            i = close + 1
        else
            assert(not (t.kind == "op" and functions[t.text]),
                "bitwise operator outside its own parentheses")
            out[#out + 1] = t.text
            i = i + 1
        end
    end
    return table.concat(out)
end

local file = assert(io.open(arg[1], "rb"))
local text = file:read("*a")
file:close()
local tokens = tokenize(text)
io.write(translate_range(tokens, 1, #tokens))
