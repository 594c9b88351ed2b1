#pragma once

#include <functional>

class QSlider;

// Makes `slider` the place in the song: a click puts the handle where it
// was clicked (not a page along), and `seek` gets the value the user
// leaves it at, after a click, a drag or a key. While the handle is held
// (isSliderDown) the caller leaves its value alone.
void makeSeekSlider(QSlider& slider, std::function<void(int)> seek);
