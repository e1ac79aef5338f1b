// The helper program's subcommands.
#pragma once

int RunLogWriter(int argc, char** argv);
