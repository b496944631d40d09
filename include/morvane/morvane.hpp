#pragma once

#include "morvane/cxx20.hpp"

// The whole public interface of morvane.

#include "morvane/char_map.hpp"
#include "morvane/error.hpp"
#include "morvane/exceptions.hpp"
#include "morvane/files.hpp"
#include "morvane/html.hpp"
#include "morvane/hyphenator.hpp"
#include "morvane/language.hpp"
#include "morvane/languages.hpp"
#include "morvane/lazy.hpp"
#include "morvane/lines.hpp"
#include "morvane/paths.hpp"
#include "morvane/patterns.hpp"
#include "morvane/scores.hpp"
#include "morvane/text.hpp"
#include "morvane/version.hpp"
