#pragma once

// The core of morvane: hyphenators of words (the 73 built-in languages,
// your own patterns, exceptions and office dictionaries), which needs no
// ICU. Link morvane::core (pkg-config morvane-core) for these alone.

#include "morvane/case_mapping.hpp"
#include "morvane/char_map.hpp"
#include "morvane/error.hpp"
#include "morvane/exceptions.hpp"
#include "morvane/files.hpp"
#include "morvane/hyphenator.hpp"
#include "morvane/language.hpp"
#include "morvane/languages.hpp"
#include "morvane/lazy.hpp"
#include "morvane/paths.hpp"
#include "morvane/patterns.hpp"
#include "morvane/scores.hpp"
#include "morvane/version.hpp"
