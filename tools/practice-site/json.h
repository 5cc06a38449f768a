#pragma once

#include <nlohmann/json_fwd.hpp>

// The control interface's JSON. Objects keep their members in insertion order so that
// answers read the same on every run. Files that look inside a value include
// <nlohmann/json.hpp>; headers only need this one.
using Json = nlohmann::ordered_json;
