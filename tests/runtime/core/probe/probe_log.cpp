#include "probe_log.h"

#include <windows.h>

#include <cstdio>

namespace kx::probe {

void Log(const std::string& line) {
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA("KX_PROBE_LOG", path, MAX_PATH)) return;
    if (FILE* file = std::fopen(path, "ab")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

}  // namespace kx::probe
