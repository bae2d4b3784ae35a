#pragma once

// A sprite whose picture is an animated texture played by a Lua script of its own. Each
// animated sprite owns a script state in which the animation library (AnimationLibrary.lua,
// chunk "ganimationscript") runs, then the animation file's script (by default a
// "DoAnim" that shows every frame 60 ms apart). Play starts a global function of that
// state as a coroutine; the coroutine shows frames and waits between them by yielding
// from WaitLuaNextFrame, and its task in the graphics host's animation task list
// (TGraphicsHost) resumes it when the wait is over.
//
// The sprite keeps its own current frame and pushes it into the animated texture just
// before drawing, so several sprites can show one texture at different frames.
//
// Script state lifetime: none exists until the first Play with an animated texture; Die
// drops it, and the next Play builds a new one (library and animation script run again,
// so script globals start afresh). Scripts and coroutines let go while they may be
// running are deleted later by a TScriptReaper task.
//
// The operations the script reaches as globals (TAnimatedSpriteBinding.h) are public
// here for the engine and the game as well. Main thread only.

#include "engine/foundation/core/TString.h"
#include "engine/graphics/sprite/TSprite.h"
#include "engine/script/TLifeline.h"

#include <cstdint>
#include <memory>

class TAnimatedTexture;
class TClock;
class TScript;
struct lua_State;

class TAnimatedSprite : public TSprite, public TLifeline
{
public:
    // Play's log line when the script has no function of that name (the name).
    static constexpr const char* kNotAFunctionLog =
        "graphics: animated sprite: %s is not a function of its script";

    static TClassId ClassId();
    const char* GetClassName() const override { return "TAnimatedSprite"; }
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TSprite::IsKindOf(id); }

    static std::shared_ptr<TAnimatedSprite> Create(int layer = 0);
    // Lets the script and the coroutine go (to a reaper: they may be running now).
    ~TAnimatedSprite() override;

    // Pushes the sprite's frame into the animated texture, then draws (or probes) as a
    // sprite.
    void Draw(const DrawState& parent, int depth = -1) override;
    void Probe(TCoverageProbe& probe, const DrawState& parent, int depth = -1) override;
    // With an animated texture and no origin of its own, measures around the
    // registration point of the sprite's current frame (mirrored like the drawing), when
    // that frame exists.
    void GetBounds(TRect& out, const DrawState& parent, int depth = -1) override;
    // The animation follows the texture when it is an animated texture; else there is
    // none.
    void SetTexture(std::shared_ptr<TTexture> texture) override;

    // Starts the global function name of the sprite's script as its coroutine, first
    // building the script when there is none (nothing happens then without an animated
    // texture). The function runs at once up to its first wait. An empty name only
    // drops the running coroutine and makes a fresh one that runs nothing.
    void Play(const TString& name);
    // Drops the running coroutine.
    void StopAnimation();
    // The clock the coroutine's waits are timed on (null: the platform timer); not owned,
    // it must outlive the sprite or be replaced. A running coroutine switches at once.
    void SetClock(TClock* clock);
    TClock* GetClock() const { return mClock; }
    int GetCurrentFrame() const { return mCurrentFrame; }
    // The animated texture the script plays (empty for none).
    const std::shared_ptr<TAnimatedTexture>& GetAnimation() const { return mAnimation; }
    // The sprite's script, or null before the first Play and after Die.
    TScript* GetScriptState() const { return mScript; }

    // --- What scripts call ---
    // A frame below -1 is ignored; otherwise it becomes the sprite's frame (-1: nothing
    // is drawn), and the texture's as well when it has that frame.
    void SetCurrentFrame(int frame);
    // WaitLuaNextFrame(ms) makes the coroutine due again in ms (repeating, from now);
    // without an argument (or with more) the coroutine waits until something starts it
    // again (Pause(false, ...)). Then the coroutine yields, unless it was called where a
    // yield cannot be made (from a metamethod or through pcall).
    int WaitLuaNextFrame(lua_State* L);
    // Drops the coroutine and the script; the next Play builds a new script.
    void Die();
    // Stops (pause) or restarts (after 1 ms) the coroutine, then does the same for the
    // animated sprites among the children down to depth. Nothing without a coroutine.
    void Pause(bool pause, int depth);
    // Whether the coroutine is waiting to be resumed, here or in an animated sprite among
    // the children down to depth.
    bool IsPlaying(int depth);
    // The animated texture of file (with image and mask overrides) becomes the one the
    // script plays; the drawn texture stays. False, leaving none, when it cannot be loaded.
    bool Load(const TString& file, const TString& image, const TString& mask);
    // The animated texture's script, "" without one.
    TString GetScript() const;
    // Takes the sprite out of its parent (nothing without one).
    void RemoveSprite();
    // A whole number from a up to, not including, b; a itself when b is not above a.
    int32_t Random(int32_t a, int32_t b);

protected:
    explicit TAnimatedSprite(int layer);

private:
    void InitScript();
    void StartThread();
    void RunGlobal(const TString& name);
    // The coroutine's globals become the script's, and the coroutine goes.
    void ResetThread();
    // The script goes.
    void DropScript();

    int mCurrentFrame = 0;
    std::shared_ptr<TAnimatedTexture> mAnimation;
    TClock* mClock = nullptr;
    // Both owned by the animation task list while the sprite holds them.
    TScript* mScript = nullptr;
    TScript* mThread = nullptr;
};
