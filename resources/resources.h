#pragma once
// The program's embedded pictures, icon and reminder sound:
//   ":/pictures/<name>.jpg"  every window picture, button, icon and bar
//   ":/pictures/remindo.png" the tray icon (64 x 64), ":/pictures/remindo.svg"
//   ":/sounds/dobre.wav"     the reminder sound
//
// They live in a static library, whose resource registration the linker
// would drop unless something refers to it: call InitResources() once at
// start-up (and in each test that loads a picture) before the first load.
// Calling it again does nothing.

namespace remindo {

void InitResources();

} // namespace remindo
