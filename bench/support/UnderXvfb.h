#pragma once

// Benchmarks of the running program on a real window system. SDL's dummy video driver
// polls every millisecond inside its event wait and presents nothing, so figures taken on
// it say little about the game on a desktop; an X server of the benchmark's own (Xvfb)
// gives SDL's X11 driver without a screen.

// Unless SDL_VIDEODRIVER already chooses a driver, runs this program again, with the same
// arguments, under xvfb-run with SDL_VIDEODRIVER=x11 (and does not return). Returns when
// that cannot be done (xvfb-run is not installed); SDL then picks its driver as usual.
void RunUnderXvfb(int argc, char** argv);

// Whether this program was started again by RunUnderXvfb.
bool IsUnderXvfb();
