#pragma once
#include "picture.h"

// A mock-up of the game screen built from the generated pictures at the places the game puts
// them (island, palms on their arc, cannon, plane, shadow, splash), for checking the fit.
Picture scenePreview();
