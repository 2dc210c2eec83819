// The process's resident peak, set back before a case so that the case reports its own.
#pragma once

#include <fstream>
#include <string>

inline void PonACeroPico() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

inline double PicoMB() {
    std::ifstream estado("/proc/self/status");
    for (std::string linea; std::getline(estado, linea);)
        if (linea.rfind("VmHWM:", 0) == 0) return std::stod(linea.substr(6)) / 1024.0;
    return 0.0;
}
