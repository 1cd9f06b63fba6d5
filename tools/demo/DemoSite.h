#pragma once

#include "settings/DiallerSettings.h"

// The settings a demonstration dialler starts with: a small business site
// with named inputs and a dozen contacts spread over them, so that every page
// of the program has something believable to show.
DiallerSettings DemoSite();
