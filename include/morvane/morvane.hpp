#pragma once

// The whole public interface of morvane: the core, and running text, HTML
// and paragraphs set in lines, which need ICU (morvane::morvane).

#include "morvane/core.hpp"
#include "morvane/html.hpp"
#include "morvane/lines.hpp"
#include "morvane/text.hpp"
