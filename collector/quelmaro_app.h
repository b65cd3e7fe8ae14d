#pragma once

#include <string>
#include <vector>

// The whole program behind main(): arguments after the program name in,
// exit status out (0 every drive read, 1 some failed, 2 none could be read or
// the command line was wrong). Messages go to standard error, one line each,
// beginning with "quelmaro: ".
int RunQuelmaro(const std::vector<std::string>& arguments);
