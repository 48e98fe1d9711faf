// SPDX-License-Identifier: MIT
#pragma once
// A board's cause as JSON data, and back: the journal and the JSON events keep what happened as
// kinds with their data, so that a reader words it in its own language (words/Words.h).
#include <nlohmann/json.hpp>
#include <optional>

#include "line/BoardSessionResult.h"

nlohmann::ordered_json CauseJson(const BoardCause& cause);

// The cause that CauseJson wrote; none for data it cannot have written.
std::optional<BoardCause> CauseFromJson(const nlohmann::json& data);
