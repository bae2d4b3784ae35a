-- The library every window script state runs first ("gScreenInit"): the constants of
-- dialog files, the global tables of the dialog machinery, the functions that build
-- window trees from tables, and the modal flow (DoModal, WaitForMessage and the rest).
-- The engine reads and writes several of these globals by name (gMessageQueue,
-- gCommandQueue, gYieldResult, gCurrentDefaultStyle, gReturnValue, Creating, DoWindow):
-- rename nothing here without the engine.
--
-- A dialog file describes windows as tables: the string keys are a window's style, the
-- array entries are commands (functions) run in order while the window is built. A
-- type's creator function (Button, Bitmap, ... one per registered type) records the type
-- in the table and returns the command that builds the window: DoWindow.

LUA_PATH = "?;../?;../../?"

-- Alignment of text and placement.
kHAlignLeft = 0
kHAlignCenter = 1
kHAlignRight = 2
kVAlignTop = 0
kVAlignCenter = 4
kVAlignBottom = 8

-- Button kinds.
kPush = 0
kToggle = 1
kRadio = 2

kAllLayers = -1

-- Relative coordinates: the centre, and the far edge.
kCenter = 80000
kMax = 160000

kDefault = 128

kPushButtonAlignment = kHAlignCenter + kVAlignCenter
kRadioButtonAlignment = kHAlignLeft + kVAlignCenter
kToggleButtonAlignment = kHAlignCenter + kVAlignCenter

-- Message types.
kCloseWindow = 1
kDefaultAction = 2
kButtonPress = 3
kPressAnyKey = 4
kQuitNow = 5
kModalClosed = 6

-- Game-state keys.
kCmdLine = "cmdline"
kLevel = "level"
kSubLevel = "sublevel"
kPause = "pause"
kMute = "mute"
kBreakNow = "breaknow"
kScore = "score"
kGameMode = "gamemode"
kGameOver = "gameover"
kRestartButton = "restartbutton"
kSystemMode = "systemmode"
kMaxLevel = "maxlevel"

gReturnValue = nil

-- Setting names.
kCheatMode = "cheatmode"
kComputerId = "computerid"
kInstallKey = "installkey"
kGameName = "gamename"
kGameVersion = "version"
kEncryptionKey = "encryptionkey"
kHiscoreLocalOnly = "hiscorelocal"
kHiscoreAnonymous = "hiscoreanon"

idtable = {}
gParent = {}
gCurrentDefaultStyle = {}
gCurID = 100
gBeginGroup = 0

-- ---- building windows ----

-- A colour from 0..255 components; alpha 255 when missing.
function Color(r, g, b, a)
    if not a then
        return { r / 255, g / 255, b / 255, 1 }
    end
    return { r / 255, g / 255, b / 255, a / 255 }
end

-- A colour from 0..1 components; alpha 1 when missing.
function FColor(r, g, b, a)
    return { r, g, b, a or 1 }
end

function Push(w)
    table.insert(gParent, 1, w)
end

function Pop()
    table.remove(gParent, 1)
end

-- The command of every window type's creator: makes the window in the current window,
-- builds its children into it, finishes it and goes back to the parent. A window that
-- could not be made (the engine has said why) gets none of that, so its children never
-- land in the parent.
function DoWindow(t)
    t.beginGroup = gBeginGroup
    gBeginGroup = 0
    if not GenericCreate(t) then
        return
    end
    MakeDialog(t)
    PopWindow()
end

function DoDialogCommand(index, command)
    command()
end

-- Runs the commands of t in the current window, each style command changing the
-- default style up to the end of t; then finishes the window when t describes one.
function MakeDialog(t)
    local saved = gCurrentDefaultStyle
    if t.name and t.name ~= "" then
        SetWindowName(t.name)
    end
    table.foreachi(t, DoDialogCommand)
    typename = t.typename
    SetDefaultStyle(saved)
    if typename then
        PostCreate(t, typename)
    end
end

function Creating(type, t)
end

function SetBeginGroup()
    gBeginGroup = 1
end

-- A command that marks the next window made as the first of a group.
function BeginGroup()
    return function() SetBeginGroup() end
end

-- t[key], else from the default style and its parent chain.
function GetTag(t, key, inChain)
    local value = t[key]
    if value ~= nil then
        return value
    end
    if not inChain then
        return GetTag(gCurrentDefaultStyle, key, true)
    end
    if t.parent then
        return GetTag(t.parent, key, true)
    end
    return nil
end

function SetDefaultStyle(style)
    gCurrentDefaultStyle = style
end

function SetStyle(style)
    return function() SetDefaultStyle(style) end
end

-- A command that makes style the default style, inheriting from the one in force.
function AppendStyle(style)
    return function()
        style.parent = gCurrentDefaultStyle
        SetDefaultStyle(style)
    end
end

function SetFocus(name)
    RealSetFocus(name)
end

function SetDefault(anything)
    return function() end
end

-- n positions spread evenly across the dialog's width; also kept in the globals d and
-- divisor.
function DistributeX(n)
    divisor = n + 1
    d = {}
    for i = 1, n do
        d[i] = i / divisor * gDialogWidth
    end
    return d
end

function DistributeY(n)
    local t = {}
    for i = 1, n do
        t[i] = i / (n + 1) * gDialogHeight
    end
    return t
end

function SelectLayer(layer)
    return function() DoSelectLayer(layer) end
end

-- A command that runs t's commands in the current window (no window of its own).
function Group(t)
    return function() MakeDialog(t) end
end

function FitToChildren()
    return function() DoFitToChildren() end
end

function CustomCreator(anything)
end

function SetBitmap(name, file, scale)
    _SetBitmap(name, file, scale or 1)
end

function GetString(label, a1, a2, a3, a4, a5)
    return _GetString(label, a1 or "", a2 or "", a3 or "", a4 or "", a5 or "")
end

-- ---- modal dialogs and messages ----

gClosedWindows = {}
gCommandQueue = {}
gMessageQueue = {}
gDialogTable = {}

-- Runs a dialog file of the content folder. A file that fails is logged and gives
-- nothing, and the dialog coroutine goes on (a file cannot wait for messages anyway: no
-- yield crosses dofile).
function ReadFile(file)
    local results = { pcall(dofile, "assets/" .. file) }
    if not results[1] then
        _ALERT(tostring(results[2]))
        return
    end
    table.remove(results, 1)
    return unpack(results)
end

-- Opens the dialog of file over the current one and waits until it closes; what the
-- dialog gave CloseWindow or ModalReturn (a close button: its name), or nil.
function DoModal(file)
    local id = PushModal(file)
    ReadFile(file)
    DoFitToChildren()
    WaitForCloseMessage(id)
    local value = gReturnValue
    gReturnValue = nil
    return value
end

-- Opens the main window of file and serves it until it (or one below it) is popped.
function DoMainWindow(file)
    PushModal(file)
    local depth = GetWindowDepth()
    ReadFile(file)
    DoFitToChildren()
    repeat
        gLastMessage = WaitForMessage()
    until GetWindowDepth() < depth
end

-- Replaces the top dialog's windows with those of file.
function SwapToModal(file)
    ClearModalChildren()
    ReadFile(file)
    DoFitToChildren()
end

-- Like DoModal for t[1], with t itself left in gDialogTable for the dialog file.
function DisplayDialog(t)
    local file = t[1]
    if not file or file == "" then
        DebugOut("DisplayDialog called with empty script; aborting")
        return
    end
    local id = PushModal(file)
    gDialogTable = t
    ReadFile(file)
    WaitForCloseMessage(id)
    local value = gReturnValue
    gReturnValue = nil
    return value
end

function PopModal(name)
    DoPopModal(name)
end

function CloseWindow(value)
    PostMessage(CreateCloseMessage())
    if value ~= nil then
        ModalReturn(value)
    end
end

function ModalReturn(value)
    gReturnValue = value
end

-- Waits until the modal window of that id has closed; closings of others seen meanwhile
-- are remembered in gClosedWindows for their own waits.
function WaitForCloseMessage(id)
    while true do
        local msg = WaitForMessage()
        if msg then
            gLastMessage = msg
            if msg.type == kModalClosed then
                if msg.name == id then
                    return
                end
                gClosedWindows[msg.name] = true
            end
        end
        if gClosedWindows[id] then
            gClosedWindows[id] = nil
            return
        end
    end
end

-- The next message. NOTE: queued messages come newest first (the queue is a stack).
-- Unless skipQueue is set, a queued message is taken without waiting; otherwise the
-- coroutine waits (timeout nil: until the next task step) and then runs the command
-- handed over with the message, or else the newest queued command, through RunCommand
-- (an error in it is logged and the wait returns as usual). Nil after a time-out.
function WaitForMessage(timeout, skipQueue)
    if not skipQueue then
        local count = table.getn(gMessageQueue)
        if count > 0 then
            message = gMessageQueue[count]
            table.remove(gMessageQueue)
            return message
        end
    end
    local msg, command = HandleGetMessage(timeout)
    if command then
        gYieldResult = RunCommand(command)
    else
        local count = table.getn(gCommandQueue)
        if count > 0 then
            local queued = gCommandQueue[count]
            table.remove(gCommandQueue)
            gYieldResult = RunCommand(queued)
        end
    end
    return msg
end

-- One step of RunCommand: ok and the values are what resuming co gave. While co is
-- suspended its values are yielded from the running coroutine, and what that is resumed
-- with resumes co. The tail calls keep the stack flat however often co waits.
local function PassOnCommand(co, command, ok, ...)
    if not ok then
        _ReportCommandError(arg[1], command)
        return
    end
    if coroutine.status(co) == "dead" then
        return unpack(arg)
    end
    return PassOnCommand(co, command, coroutine.resume(co, coroutine.yield(unpack(arg))))
end

-- Runs a command (a button's, or a call delivered while the dialog waits) so that an
-- error in it cannot end the dialog coroutine: the command runs in a coroutine of its own
-- (a yield cannot cross pcall, and commands may wait for messages themselves). An error
-- is logged once with its message and where the dialog waited, and gives nothing; the
-- command's results otherwise.
function RunCommand(command)
    local co = coroutine.create(function() return command() end)
    return PassOnCommand(co, command, coroutine.resume(co))
end

-- Drops every message and command that is waiting.
function FlushMessages()
    while HandleGetMessage(1) do
    end
    gCommandQueue = {}
    gMessageQueue = {}
end

function Yield()
    return coroutine.yield()
end

-- Waits ms milliseconds, or with anyKey until a key or click ends it first; the other
-- messages received meanwhile wait in gMessageQueue.
function Pause(ms, anyKey)
    local stop = GetTimer() + ms
    while GetTimer() < stop do
        local msg = WaitForMessage(stop - GetTimer(), true)
        if msg then
            if anyKey and msg.type == kPressAnyKey then
                return
            end
            table.insert(gMessageQueue, msg)
        end
    end
end

-- Shows a movie, or else the image, in a modal window of its own for ms milliseconds
-- (the style keys translate, allowInput and disableAbort come from the default style;
-- splashoverlay adds windows over the image). A key, a click or closing ends it early
-- unless disableAbort is set.
function DisplaySplash(movie, image, ms)
    local id = PushModal("DisplaySplash")
    local translate = GetTag({}, "translate") or false
    local allowInput = GetTag({}, "allowInput") or false
    local disableAbort = GetTag({}, "disableAbort") or false
    inMovie = StartMovie(movie, translate, allowInput)
    local stop = GetTimer() + ms
    if not inMovie then
        local overlay = GetTag({}, "splashoverlay") or Group({})
        if not image or image == "" then
            -- Nothing to show: the empty modal would otherwise stay and take all input.
            PopModal(id)
            return
        end
        MakeDialog({ Bitmap({ name = "splashimage", image = image, overlay }) })
        UpdateWindow()
        Pause(50)
        UpdateWindow()
        Pause(50)
    end
    if inMovie or ImageLoaded("splashimage") then
        while true do
            local msg = WaitForMessage(1)
            if not inMovie and GetTimer() > stop then
                break
            end
            if msg then
                if msg.type == kCloseWindow then
                    break
                end
                if msg.type == kModalClosed then
                    if msg.name == id then
                        break
                    end
                    gClosedWindows[msg.name] = true
                end
                if not disableAbort and msg.type == kPressAnyKey then
                    break
                end
            end
            if inMovie and not IsMoviePlaying() then
                break
            end
        end
    end
    if inMovie then
        StopMovie()
    end
    PopModal(id)
end

-- Stores a game-state value; true and false are stored as 1 and 0.
function SetState(key, value)
    if value == true then
        value = 1
    elseif value == false then
        value = 0
    end
    _SetState(tostring(key), tostring(value))
end
