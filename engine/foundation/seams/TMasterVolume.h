#pragma once

// The sound system's master volume (group -1) as the game-state store and the host bridge
// see it when they mute and unmute the game. The sound manager installs its
// implementation when it starts and removes it before it goes away; until then mute
// requests change no volume (logged once).
class TMasterVolume
{
public:
    virtual ~TMasterVolume() = default;
    virtual float GetMasterVolume() const = 0;
    virtual void SetMasterVolume(float volume) = 0;

    // Installs the process-wide control (null removes it). The caller keeps ownership and
    // must remove it before destroying it. A later use without a control is logged again.
    static void Install(TMasterVolume* control);

    // Reads the master volume; 0 without an installed control.
    static float Read();

    // Sets the master volume; does nothing without an installed control.
    static void Write(float volume);

private:
    static TMasterVolume* sControl;
};
