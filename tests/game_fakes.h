#pragma once
// What every rules test includes: GoogleTest, the stand-ins for the rules'
// ports, the clocks, a new game and Rig, from the shared test support.

#include "clocks.h"
#include "fakes.h"
#include "game/battle.h"
#include "newgame.h"
#include "rig.h"

#include <gtest/gtest.h>

#include <deque>
#include <tuple>
