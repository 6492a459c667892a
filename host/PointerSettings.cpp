#include "host/PointerSettings.h"

namespace pointer {

namespace {

// A step past the last one is read as the last one: 900 - 70 x step would
// otherwise wrap around to a huge double-click time.
unsigned clampStep(unsigned step)
{
    return step > MaxStep ? MaxStep : step;
}

} // namespace

unsigned cursorSpeed(unsigned step)
{
    const unsigned speed = 2 * clampStep(step);
    return speed == 0 ? 1 : speed;
}

unsigned doubleClickTime(unsigned step)
{
    return 900 - 70 * clampStep(step);
}

unsigned scrollLines(unsigned lines)
{
    return lines;
}

double desktopSpeed(unsigned step)
{
    return double(clampStep(step)) / (MaxStep / 2.0) - 1.0;
}

} // namespace pointer
