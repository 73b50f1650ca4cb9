// tempik-sim: a simulated card reader on a pseudo-terminal (see --help).
#include "sim/options.h"
#include "sim/simulator.h"

#include <iostream>

int main(int argc, char** argv)
{
    const auto parsed = tempik::sim::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok) {
        std::cerr << "tempik-sim: " << parsed.error << "\nTry 'tempik-sim --help'.\n";
        return 2;
    }
    if (parsed.options.help) {
        std::cout << tempik::sim::helpText();
        return 0;
    }
    return tempik::sim::runSimulator(parsed.options, std::cout, std::cerr);
}
