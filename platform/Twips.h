#pragma once

// The sizes the program keeps in twips (window sizes, report layouts) become pixels at 96 dpi.
constexpr int kTwipsPerPixel = 15;
