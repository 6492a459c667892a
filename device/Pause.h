#pragma once

#include <functional>

// Every fixed pause of the device transport goes through pause(): the 120 ms
// after each data report, the 128 ms settle, the 8 ms after some commands and
// the 8 ms steps of the channel wait. On the GUI thread of a GUI program it
// waits in a local event loop on a precise timer, so the window stays alive;
// elsewhere it sleeps. Either way it never returns early. Tests install a
// handler instead (for example one that advances the virtual mouse's clock),
// so device tests run in milliseconds and can check the exact schedule.
namespace Pause {

using Handler = std::function<void(int ms)>;

void pause(int ms);

// Whether the calling thread waits by turning its event loop: the GUI thread
// of a GUI program. The transport's hidapi calls wait the same way there
// (HidIo).
bool waitsInEventLoop();

// Replaces the sleep; an empty handler brings the sleep back. Install it
// before device traffic starts: pauses happen on the GUI thread only.
void setHandler(Handler handler);

} // namespace Pause
