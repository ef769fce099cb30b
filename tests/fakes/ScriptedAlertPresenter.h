#pragma once

#include "fakes/FakePlatform.h"
