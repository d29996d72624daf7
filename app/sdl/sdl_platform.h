// The SDL program's side of the platform seam: error boxes through SDL, key
// state from the program's own table of held keys, kept up to date from the
// events the main loop drains, and close requests as SDL quit events.
#pragma once

#include "app/held_keys.h"
