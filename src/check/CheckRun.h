#pragma once

#include <ostream>
#include <string>
#include <vector>

// timerecorder-check: checks the head office's member lists and shift plans before they go to the stores.
// Problems go to out, usage errors to err. 0: nothing that changes what a store does, 1: such a problem,
// 2: a usage error.
int run_check(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
