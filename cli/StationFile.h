// SPDX-License-Identifier: MIT
#pragma once
// The station file: the options of flash and check, set up once by a line's supervisor, under
// [flash] and [check] of a TOML or INI file (CLI11's configuration file). --config names it before
// the subcommand or after it, to the same effect; the command line wins over the file.

namespace CLI {
class App;
}

// Gives `app` its --config, and each subcommand its own; call once every subcommand is added.
// Usage errors: a key outside [flash] and [check], any other section, a key that its section does
// not have, and --config with a subcommand that reads no station file.
void AddStationFile(CLI::App& app);
