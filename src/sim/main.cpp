#include "app/start/Options.h"
#include "sim/Simulator.h"

#include <iostream>

int main(int argc, char** argv) {
    const OptionsResult parsed = parse_options(std::vector<std::string>(argv + 1, argv + argc), Program::Simulator);
    if (!parsed.error.empty()) {
        std::cerr << "timerecorder-sim: " << parsed.error << "\n" << usage_text(Program::Simulator);
        return 2;
    }
    if (parsed.options.help) {
        std::cout << usage_text(Program::Simulator);
        return 0;
    }
    if (!parsed.refusal.empty()) {
        std::cerr << "timerecorder-sim: " << parsed.refusal << "\n";
        return 1;
    }
    Simulator sim(parsed.options, std::cout);
    return sim.run(std::cin);
}
