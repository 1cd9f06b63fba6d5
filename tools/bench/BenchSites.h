#pragma once

#include "settings/DiallerSettings.h"

#include <functional>

// The settings the benchmark moves: as much as a dialler holds, so that every
// exchange is as long as it gets.

// 99 contacts with 16-character numbers, reporting by SMS and voice, each
// input reported by as many contacts as the dialler stores (16), every SMS
// message 90 characters long, 6-digit PINs. A dialler takes all of it.
DiallerSettings FullSite();

// FullSite with more inputs on the contacts, round and round, for as long as
// `blockBytes` of the result stays within `limitBytes`: a settings block as
// close to the download's limit as whole phone numbers allow. A dialler
// refuses this many contacts on one input, but the download reads whatever
// block it is sent.
DiallerSettings FullSiteNearBlockLimit(const std::function<int(const DiallerSettings&)>& blockBytes,
                                       int limitBytes);
