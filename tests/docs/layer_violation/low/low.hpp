// A lower layer that reaches up into a higher one, which the layer check must refuse.
#pragma once

#include "high/high.hpp"
