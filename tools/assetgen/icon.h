#pragma once
#include <string>

// The desktop icon: the plane over the sea beside a palm island, drawn at
// 32, 64, 128 and 256 pixels as DIR/<n>x<n>/apps/kestova.png, the layout of
// an icon theme folder.
bool writeIcons(const std::string& dir, std::string& error);
