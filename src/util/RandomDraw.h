#pragma once

#include <functional>

// The random choices of start-up (welcome page, banner, links) draw through here, so that
// tests can decide them.

// A source answers an index from 0 to count - 1 for a count of at least 1.
using TRandomSource = std::function<int(int count)>;

// An index from 0 to count - 1, uniformly drawn (count must be at least 1). Each draw is
// independent of the ones before it.
int DrawIndex(int count);

// Installs a source in place of the system's random generator; an empty function restores
// it. An answer outside 0..count-1 is brought into range.
void SetRandomSource(TRandomSource source);
