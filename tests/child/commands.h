// The helper program's subcommands.
#pragma once

int RunLogWriter(char** argv);
