#pragma once

// Log lines of the platform layer. This layer sits below the engine's debug log, so it
// writes through a sink that start-up points at the log; until then lines go to stderr.
class TPlatformLog
{
public:
    // Every line starts with it.
    static constexpr const char* kTag = "platform: ";

    using TSink = void (*)(const char* line);

    // Installs the sink for all later lines; null restores stderr. Main thread, at
    // start-up and shutdown only.
    static void SetSink(TSink sink);

    // Formats one line (printf rules) behind kTag and hands it to the sink. Any thread.
    static void Write(const char* format, ...) __attribute__((format(printf, 1, 2)));
};
